#include "meters/ui/MeterSetup.h"

#include "meters/ui/C_VU.h"
#include "meters/ui/MeterPicture.h"
#include "support/Rounding.h"

namespace lumora {

void SetupVuMeter(C_VU& vu, MeterPicture& picture, float sizeRate, float redPointDb) {
  const float r = sizeRate;
  const int32_t tpp = picture.Tpp();
  picture.SetBackColor(QColor(32, 32, 32));
  picture.SetForeColor(QColor(192, 192, 192));
  vu.SetPictureBox(&picture);
  vu.SetBarMargin(45 * r);
  vu.SetTopMargin(2 * tpp + 30 * r);
  vu.SetMargin(18 * tpp + 150 * r, 600 * r, 3 * tpp, 120 * r);
  vu.SetNumValue(1);
  vu.SetBarWidth(static_cast<int32_t>(RoundHalfEven(6.5 * r)));
  vu.SetFontSize(0, 7.8f * r);
  vu.SetFontSize(1, 8.2f * r);
  vu.SetFontSize(2, 6.0f * r);
  vu.SetStrType(0);
  vu.SetRedPoint(redPointDb);
  picture.SetPictureSize(QSize(picture.Image().width(), vu.PictureHeight() / tpp));
  vu.SetParms();
  vu.DrawScale();
}

void SetupHistoryPicture(MeterPicture& picture) {
  picture.SetBackColor(QColor(32, 32, 32));
  picture.SetForeColor(QColor(80, 112, 144));
  picture.Clear();
}

}  // namespace lumora
