#include "controls/FacePanel.h"

#include "controls/Layout.h"
#include "controls/PaintFace.h"

namespace lumora {

void FacePanel::Paint(const QFont& font) {
  surface_.Resize(size());
  PaintFace(surface_, style_);
  surface_.SetFont(font);
  surface_.SetForeColor(SystemColor(kSysButtonText));
  Refresh();
}

void FacePanel::Caption(const QWidget& control, const QString& text, int position, int dxTwips) {
  PlaceCaption(surface_, control, text, position, dxTwips);
  Refresh();
}

void FacePanel::resizeEvent(QResizeEvent*) {
  if (SizeChanged()) Paint(surface_.Font());
}

}  // namespace lumora
