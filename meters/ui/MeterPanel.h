#pragma once
// The black panel behind a meter or a level history picture: a bevelled frame
// with the picture 3 pixels inside.

#include "controls/DrawnWidget.h"
#include "meters/ui/MeterPicture.h"

namespace lumora {

class MeterPanel : public DrawnWidget {
 public:
  // frameLight: the light colour of the bevel (the dark one is RGB(9, 9, 9)).
  explicit MeterPanel(Color frameLight, QWidget* parent = nullptr);

  MeterPicture& PictureBox() { return *picture_; }
  const MeterPicture& PictureBox() const { return *picture_; }
  // Sizes the picture and the panel round it, and draws the frame.
  void SetPictureSize(QSize size);

 private:
  Color frameLight_;
  MeterPicture* picture_;  // a child widget
};

}  // namespace lumora
