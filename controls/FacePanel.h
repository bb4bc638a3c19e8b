#pragma once
// A window's painted face (a PaintFace style, brushed metal by default): the
// background its drawn controls copy, and the surface its captions are printed
// on. A new size repaints the face and drops the captions, so the owner prints
// them after its layout.

#include "controls/DrawnWidget.h"

namespace lumora {

class FacePanel : public DrawnWidget {
  Q_OBJECT

 public:
  explicit FacePanel(QWidget* parent = nullptr, int style = 14) : DrawnWidget(parent), style_(style) {}

  // Repaints the face at the widget's size, in the caption font.
  void Paint(const QFont& font);
  // Prints text beside control (a child of this face), as PlaceCaption's position.
  void Caption(const QWidget& control, const QString& text, int position = 6, int dxTwips = 0);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  int style_;
};

}  // namespace lumora
