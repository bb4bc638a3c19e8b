#include "meters/ui/MeterPicture.h"

#include "controls/Twips.h"

namespace lumora {

MeterPicture::MeterPicture(QWidget* parent) : DrawnWidget(parent) { SetPictureSize(QSize(1, 1)); }

void MeterPicture::SetPictureSize(QSize size) {
  setFixedSize(size);
  surface_.Resize(size);
  Refresh();
}

int32_t MeterPicture::ScaleWidth() const { return PxToTwips(surface_.W()); }
int32_t MeterPicture::ScaleHeight() const { return PxToTwips(surface_.H()); }

void MeterPicture::Clear() {
  surface_.Clear();
  Refresh();
}

}  // namespace lumora
