#include "meters/ui/MeterPanel.h"

#include "controls/PaintFace.h"

namespace lumora {

namespace {
constexpr int kInset = 3;
constexpr Color kFrameDark = 0x090909;
constexpr int kFrameRings = 2;
}  // namespace

MeterPanel::MeterPanel(Color frameLight, QWidget* parent)
    : DrawnWidget(parent), frameLight_(frameLight), picture_(new MeterPicture(this)) {
  picture_->move(kInset, kInset);
  SetPictureSize(QSize(1, 1));
}

void MeterPanel::SetPictureSize(QSize size) {
  picture_->SetPictureSize(size);
  const QSize outer = size + QSize(2 * kInset, 2 * kInset);
  resize(outer);
  surface_.Resize(outer);
  surface_.SetBackColor(0x000000);
  BevelBorder(surface_, kFrameDark, frameLight_, true, kFrameRings);
  Refresh();
}

}  // namespace lumora
