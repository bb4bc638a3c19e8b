#pragma once
// A brushed-metal face for the configuration dialog and its pages: the
// background its drawn controls copy, and the surface its captions are printed on.

#include "controls/DrawnWidget.h"

namespace lumora {

class ConfFace : public DrawnWidget {
  Q_OBJECT

 public:
  using DrawnWidget::DrawnWidget;

  // Repaints the face at the widget's size, in the caption font.
  void Paint(const QFont& font);
  // Prints text beside control (a child of this face), as PlaceCaption's position.
  void Caption(const QWidget& control, const QString& text, int position = 6, int dxTwips = 0);
};

}  // namespace lumora
