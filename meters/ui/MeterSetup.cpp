#include "meters/ui/MeterSetup.h"

#include "controls/Twips.h"
#include "meters/ui/C_VU.h"
#include "meters/ui/MeterPanel.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr Color kPictureBack = 0x202020;  // RGB(32, 32, 32)
constexpr Color kScaleColour = 0xC0C0C0;  // RGB(192, 192, 192)
constexpr Color kLineColour = 0x907050;   // RGB(80, 112, 144)
// The panel's frame and inset take 6 pixels of each extent.
QSize InnerSize(const MeterPanel& panel) { return (panel.size() - QSize(6, 6)).expandedTo(QSize(1, 1)); }
}  // namespace

MeterPanel* NewVuPanel(QWidget* parent) { return new MeterPanel(MakeColor(96, 96, 96), parent); }
MeterPanel* NewHistoryPanel(QWidget* parent) { return new MeterPanel(MakeColor(80, 80, 80), parent); }

void SetupVuMeter(C_VU& vu, MeterPanel& panel, float sizeRate, float redPointDb) {
  const float r = sizeRate;
  const int tpp = Tpp();
  Surface& surface = panel.PictureBox().Drawing();
  surface.SetBackColor(kPictureBack);
  surface.SetForeColor(kScaleColour);
  vu.SetPictureBox(&panel.PictureBox());
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
  panel.SetPictureSize(QSize(InnerSize(panel).width(), TwipsToPx(vu.PictureHeight())));
  vu.SetParms();
  vu.DrawScale();
}

void SetupHistoryPanel(MeterPanel& panel) {
  Surface& surface = panel.PictureBox().Drawing();
  surface.SetBackColor(kPictureBack);
  surface.SetForeColor(kLineColour);
  panel.SetPictureSize(InnerSize(panel));
}

}  // namespace lumora
