#include "app/conf/ConfFace.h"

#include "controls/Layout.h"
#include "controls/PaintFace.h"

namespace lumora {

void ConfFace::Paint(const QFont& font) {
  surface_.Resize(size());
  PaintFace(surface_, 14);
  surface_.SetFont(font);
  surface_.SetForeColor(SystemColor(kSysButtonText));
  Refresh();
}

void ConfFace::Caption(const QWidget& control, const QString& text, int position, int dxTwips) {
  PlaceCaption(surface_, control, text, position, dxTwips);
  Refresh();
}

}  // namespace lumora
