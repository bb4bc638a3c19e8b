// The controls of the main window and where they sit: design sizes in twips at
// "SizeRate" 1.0, scaled by SizeRate and turned into pixels. Everything below
// the menu bar is drawn: a metal face, two setting panels carrying their
// labels, and the program's own sliders, check boxes and text panels.

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cmath>

#include "app/window/FrmMain.h"
#include "controls/FacePanel.h"
#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_Slider.h"
#include "controls/UC_TextPicture.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"
#include "settings/Settings.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

// Twips: the outer margin, the gap between rows, the two columns (input on the
// left, playback on the right) and the inset of the setting panels.
constexpr int kMargin = 90;
constexpr int kGap = 60;
constexpr int kColumn[2] = {kMargin, kMargin + 5100 + 120};
constexpr int kPanelInset = 135;
constexpr int kPanelTop = kMargin + 1440 + kGap + 705 + kGap;  // below the history and the meter
constexpr int kPanelHeight[2] = {2820, 2070};
// Rows inside a setting panel, and where the controls begin (the labels sit to their left).
constexpr int kRowPitch = 345;
constexpr int kRowTop = 60;
constexpr int kControlLeft = 1290;
// Point sizes at "SizeRate" 1: captions and values, and the two time panels.
constexpr float kTextPoints = 9.0f;
constexpr float kTimePoints = 13.0f;
// Flat scheme 6 (light grey on dark grey) for the value texts and the file name,
// in keeping with the meters above them.
constexpr int kReadoutScheme = 6;
// The time panels' colour sets: 0 grey while idle; the recording time turns red (set 2).
constexpr int kIdleSet = 0;
constexpr int kRecordingSet = 2;
// The file name and the warnings start this far in from their panel's left edge.
constexpr int kFileNameLeft = 90;
// The warnings: light red on the read-outs' dark grey.
constexpr Color kWarningText = 0x6060FF;
constexpr Color kReadoutBack = 0x303030;

// The labels drawn beside their controls on the setting panels.
constexpr const char* kLabels[] = {"録音デバイス", "再生デバイス", "形式",       "録音レベル",
                                   "再生レベル",   "開始レベル",   "終了レベル", "無音秒数"};

// A strip of three buttons with a normal and a lit icon each.
UC_Buttons* MakeStrip(QWidget* parent, const std::array<std::array<int, 2>, 3>& icons) {
  auto* strip = new UC_Buttons(parent);
  strip->SetNumButtons(3);
  for (int i = 0; i < 3; ++i) {
    strip->SetPicIndexn(i, icons[i][0]);
    strip->SetPicIndexa(i, icons[i][1]);
  }
  return strip;
}

}  // namespace

int32_t FrmMain::Px(double twips) const {
  return static_cast<int32_t>(std::floor(twips * sizeRate_ / tpp_));
}

void FrmMain::CreateControls() {
  c_.Face = new FacePanel(this, 15);
  setCentralWidget(c_.Face);
  FacePanel* face = c_.Face;
  for (int i = 0; i < 2; ++i) {
    c_.PictureWaveP[i] = NewHistoryPanel(face);
    c_.PictureWave[i] = &c_.PictureWaveP[i]->PictureBox();
    c_.PictureVUP[i] = NewVuPanel(face);
    c_.PictureVU[i] = &c_.PictureVUP[i]->PictureBox();
    c_.PictureF[i] = new FacePanel(face);
    c_.ComboDev[i] = new QComboBox(c_.PictureF[i]);
    c_.LevelSlider[i] = new UC_Slider(c_.PictureF[i]);
    c_.TextLevel[i] = new UC_TextPicture(c_.PictureF[i]);
    c_.TextInfo[i] = new UC_TextPicture(face);
  }
  FacePanel* rec = c_.PictureF[0];
  for (auto& combo : c_.ComboFmt) combo = new QComboBox(rec);
  c_.ComboBitRate = new QComboBox(rec);
  c_.CheckModemp3 = new UC_Check(rec);
  for (size_t k = 0; k < 3; ++k) {
    c_.HScrollRec[k] = new UC_Slider(rec);
    c_.TextValue[k] = new UC_TextPicture(rec);
  }
  c_.CheckUseTH = new UC_Check(rec);
  c_.CheckSequential = new UC_Check(rec);
  c_.CheckInputMon = new UC_Check(c_.PictureF[1]);
  // Icons: choose the file, record, stop; stop, pause, play.
  c_.RecButtons = MakeStrip(face, {{{12, 13}, {0, 8}, {3, 11}}});
  c_.PlayButtons = MakeStrip(face, {{{3, 11}, {2, 10}, {1, 9}}});
  c_.ProgBar = new UC_Bar(face);
  c_.PicFN = new UC_TextPicture(face);
  c_.PicFN->setCursor(Qt::PointingHandCursor);
  c_.RegButton = new UC_Buttons(face);
  c_.TextWarn = new UC_TextPicture(face);
  CreateMenus();
}

void FrmMain::CreateMenus() {
  c_.MenuConf = menuBar()->addAction(QStringLiteral("設定(&C)"));
  c_.MenuMixer = menuBar()->addAction(QStringLiteral("ミキサー(&M)"));
  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  c_.MenuHelp[0] = help->addAction(QStringLiteral("ヘルプ"));
  c_.MenuHelp[1] = help->addAction(QStringLiteral("情報"));
  c_.MenuRC = new QMenu(this);
  c_.MenuRMSP3 = c_.MenuRC->addAction(QStringLiteral("RMS+3db"));
  c_.MenuRMSP3->setCheckable(true);
}

void FrmMain::LayOut() {
  SetUpMeters();
  // Below the meters everything moves down by what they need beyond their design height.
  const auto place = [this](QWidget* w, int x, int y, int width, int height) {
    w->setGeometry(Px(x), Px(y) + meterShiftPx_, Px(width), Px(height));
  };
  for (int i = 0; i < 2; ++i) place(c_.PictureF[i], kColumn[i] + kPanelInset, kPanelTop, 4830, kPanelHeight[i]);
  // Controls on a setting panel are placed in the panel's own coordinates.
  const auto inPanel = [this](QWidget* w, int x, int y, int width, int height) {
    w->setGeometry(Px(x), Px(y), Px(width), Px(height));
  };
  const auto row = [](int n) { return kRowTop + n * kRowPitch; };
  // The recording panel.
  inPanel(c_.ComboDev[0], kControlLeft, row(0), 3360, 300);
  for (int i = 0; i < 3; ++i) inPanel(c_.ComboFmt[i], kControlLeft + i * (1005 + kGap), row(1), 1005, 300);
  inPanel(c_.CheckModemp3, kControlLeft, row(2), 705, 300);
  inPanel(c_.ComboBitRate, kControlLeft + 705 + kGap, row(2), 1005, 300);
  inPanel(c_.LevelSlider[0], kControlLeft, row(3), 2490, 300);
  inPanel(c_.TextLevel[0], kControlLeft + 2490 + kGap, row(3), 810, 300);
  for (int k = 0; k < 3; ++k) {
    inPanel(c_.HScrollRec[k], kControlLeft, row(4 + k), 2490, 300);
    inPanel(c_.TextValue[k], kControlLeft + 2490 + kGap, row(4 + k), 810, 300);
  }
  inPanel(c_.CheckUseTH, kControlLeft, row(7), 1275, 300);
  // The caption of 入力検知録音 runs past its design width: more room before the next box.
  inPanel(c_.CheckSequential, kControlLeft + 1275 + 4 * kGap, row(7), 1395, 300);
  // The playback panel.
  inPanel(c_.ComboDev[1], kControlLeft, row(0), 3360, 300);
  inPanel(c_.LevelSlider[1], kControlLeft, row(1), 2490, 300);
  inPanel(c_.TextLevel[1], kControlLeft + 2490 + kGap, row(1), 810, 300);
  inPanel(c_.CheckInputMon, kControlLeft, row(2), 1965, 285);
  // The strips, the time panels, the position bar, the file name and 登録.
  const int recRow = kPanelTop + kPanelHeight[0] + kGap;
  const int playRow = kPanelTop + kPanelHeight[1] + kGap;
  place(c_.RecButtons, kColumn[0], recRow, 2220, 465);
  place(c_.PlayButtons, kColumn[1], playRow, 2220, 465);
  c_.RecButtons->Layout();
  c_.PlayButtons->Layout();
  place(c_.TextInfo[0], kColumn[0] + 2220 + kGap, recRow, 2820, 465);
  place(c_.TextInfo[1], kColumn[1] + 2220 + kGap, playRow, 2820, 465);
  place(c_.ProgBar, kColumn[1], playRow + 465 + kGap, 5100, 390);
  place(c_.RegButton, kColumn[1] + 5100 - 1905, playRow + 465 + kGap + 390 + kGap, 1905, 345);
  place(c_.TextWarn, kColumn[1], playRow + 465 + kGap + 390 + kGap, 5100 - 1905 - kGap, 345);
  place(c_.PicFN, kColumn[0], recRow + 465 + kGap, 5100, 345);
  bottomTwips_ = recRow + 465 + kGap + 345;
  SetUpTextPanels();
  SetUpRegButton();
  const int menuHeight = menuBar()->sizeHint().height();
  const QSize faceSize(Px(kColumn[1] + 5100 + kMargin), Px(bottomTwips_ + kMargin) + meterShiftPx_);
  setFixedSize(faceSize.width(), faceSize.height() + menuHeight);
  const QFont captionFont = SharedFont(kTextPoints * sizeRate_);
  c_.Face->resize(faceSize);
  c_.Face->Paint(captionFont);
  for (FacePanel* panel : c_.PictureF) panel->Paint(captionFont);
  PlaceLabels();
}

// The histories and the meters at the top, laid out for "SizeRate" with the
// red point at "VULevelTrim".
void FrmMain::SetUpMeters() {
  const float redPoint = settings_.ReadDecimal("VULevelTrim");
  int meterHeight = 0;
  for (int i = 0; i < 2; ++i) {
    c_.PictureWaveP[i]->setGeometry(Px(kColumn[i]), Px(kMargin), Px(5100), Px(1440));
    SetupHistoryPanel(*c_.PictureWaveP[i]);
    history_[i].SetPicture(c_.PictureWave[i]);
    c_.PictureVUP[i]->setGeometry(Px(kColumn[i]), Px(kMargin + 1440 + kGap), Px(5100), Px(705));
    SetupVuMeter(vu_[i], *c_.PictureVUP[i], sizeRate_, redPoint);
    meterHeight = std::max(meterHeight, c_.PictureVUP[i]->height());
  }
  meterShiftPx_ = std::max(0, meterHeight - Px(705));
}

// The value texts, the time panels, the file name and the warnings: one text space each.
void FrmMain::SetUpTextPanels() {
  const float points = kTextPoints * sizeRate_;
  const auto readout = [points](UC_TextPicture* panel, int32_t left) {
    panel->SetColor(kReadoutScheme);
    panel->AddTextSpace(points, false, false, {}, left, -1);
    panel->Redraw();
  };
  for (UC_TextPicture* panel : c_.TextLevel) readout(panel, -1);
  for (UC_TextPicture* panel : c_.TextValue) readout(panel, -1);
  readout(c_.PicFN, kFileNameLeft);
  c_.PicFN->SetUseClick(0, 1);
  readout(c_.TextWarn, kFileNameLeft);
  c_.TextWarn->SetColorEx(kWarningText, kReadoutBack, 1);
  for (UC_TextPicture* panel : c_.TextInfo) {
    panel->AddStdColorSet(kIdleSet);
    panel->AddStdColorSet(kRecordingSet);
    panel->AddTextSpace(kTimePoints * sizeRate_, true, false, {}, -1, -1);
    panel->Redraw();
  }
  ShowPlayTime(TimeText(0, 1));
}

void FrmMain::SetUpRegButton() {
  c_.RegButton->SetFontSize(kTextPoints * sizeRate_);
  c_.RegButton->SetNumButtons(1);
  c_.RegButton->SetButtonChar(0, QStringLiteral("登録"));
  c_.RegButton->Layout();
}

// The labels beside their controls, printed on the setting panels.
void FrmMain::PlaceLabels() {
  const std::array<QWidget*, 8> owners = {c_.ComboDev[0],    c_.ComboDev[1],    c_.ComboFmt[0],
                                          c_.LevelSlider[0], c_.LevelSlider[1], c_.HScrollRec[0],
                                          c_.HScrollRec[1],  c_.HScrollRec[2]};
  for (size_t i = 0; i < owners.size(); ++i) {
    auto* panel = static_cast<FacePanel*>(owners[i]->parentWidget());
    panel->Caption(*owners[i], QString::fromUtf8(kLabels[i]), 6);
  }
  c_.PictureF[0]->Caption(*c_.ComboBitRate, QStringLiteral("kbps"), 7);
}

// A check box on its design row: captioned, centred on the row's height, and
// showing the panel under it.
void FrmMain::SkinCheck(UC_Check* box, const char* caption, int32_t value) {
  const QRect row = box->geometry();
  const auto* panel = static_cast<const FacePanel*>(box->parentWidget());
  SetupSkinnedControl(*box, QString::fromUtf8(caption), value, &panel->Face(), kTextPoints * sizeRate_,
                      nullptr, sizeRate_);
  MoveSkinnedControl(*box, {row.x(), row.y() + (row.height() - box->height()) / 2}, &panel->Face());
}

// A slider of the setting panels: step 1 at the arrows, the thumb scaled with
// the window, the panel under its track.
void FrmMain::SkinSlider(UC_Slider* slider, int32_t min, int32_t max, int32_t value) {
  const QRect at = TwipsRect(*slider);
  slider->SetBGPic(at.x(), at.y(), &static_cast<const FacePanel*>(slider->parentWidget())->Face());
  slider->SetSmallChange(1);
  slider->SetPointerSize(static_cast<int32_t>(std::lround(480 * sizeRate_)));
  slider->SetMin(min);
  slider->SetMax(max);
  slider->Init2();
  slider->SetValue(value);
}

}  // namespace lumora
