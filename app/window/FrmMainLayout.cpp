// The controls of the main window and where they sit: design sizes in twips at
// "SizeRate" 1.0, scaled by SizeRate and turned into pixels.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "app/window/FrmMain.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"
#include "settings/Settings.h"

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

// The labels drawn beside their controls on the setting panels.
constexpr const char* kLabels[] = {"録音デバイス", "再生デバイス", "形式",       "録音レベル",
                                   "再生レベル",   "開始レベル",   "終了レベル", "無音秒数"};

QLabel* MakePanelText(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QSlider* MakeSlider(QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setSingleStep(1);
  slider->setPageStep(10);
  return slider;
}

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
  auto* face = new QWidget(this);
  setCentralWidget(face);
  for (int i = 0; i < 2; ++i) {
    c_.PictureWaveP[i] = NewHistoryPanel(face);
    c_.PictureWave[i] = &c_.PictureWaveP[i]->PictureBox();
    c_.PictureVUP[i] = NewVuPanel(face);
    c_.PictureVU[i] = &c_.PictureVUP[i]->PictureBox();
    c_.PictureF[i] = new QWidget(face);
    c_.ComboDev[i] = new QComboBox(c_.PictureF[i]);
    c_.LevelSlider[i] = MakeSlider(c_.PictureF[i]);
    c_.TextLevel[i] = MakePanelText(c_.PictureF[i]);
    c_.TextInfo[i] = MakePanelText(face);
  }
  QWidget* rec = c_.PictureF[0];
  for (auto& combo : c_.ComboFmt) combo = new QComboBox(rec);
  c_.ComboBitRate = new QComboBox(rec);
  c_.CheckModemp3 = new QCheckBox(QStringLiteral("mp3"), rec);
  for (size_t k = 0; k < 3; ++k) {
    c_.HScrollRec[k] = MakeSlider(rec);
    c_.TextValue[k] = MakePanelText(rec);
  }
  c_.CheckUseTH = new QCheckBox(QStringLiteral("入力検知録音"), rec);
  c_.CheckSequential = new QCheckBox(QStringLiteral("連番録音"), rec);
  c_.CheckInputMon = new QCheckBox(QStringLiteral("入力を表示"), c_.PictureF[1]);
  // Icons: choose the file, record, stop; stop, pause, play.
  c_.RecButtons = MakeStrip(face, {{{12, 13}, {0, 8}, {3, 11}}});
  c_.PlayButtons = MakeStrip(face, {{{3, 11}, {2, 10}, {1, 9}}});
  c_.ProgBar = new UC_Bar(face);
  c_.PicFN = MakePanelText(face);
  c_.PicFN->setCursor(Qt::PointingHandCursor);
  c_.RegButton = new QPushButton(QStringLiteral("登録"), face);
  c_.TextWarn = new QLabel(face);
  c_.TextWarn->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
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
  const auto row = [](int n) { return kRowTop + n * kRowPitch; };
  // The recording panel.
  place(c_.ComboDev[0], kControlLeft, row(0), 3360, 300);
  for (int i = 0; i < 3; ++i) place(c_.ComboFmt[i], kControlLeft + i * (1005 + kGap), row(1), 1005, 300);
  place(c_.CheckModemp3, kControlLeft, row(2), 705, 300);
  place(c_.ComboBitRate, kControlLeft + 705 + kGap, row(2), 1005, 300);
  place(c_.LevelSlider[0], kControlLeft, row(3), 2490, 300);
  place(c_.TextLevel[0], kControlLeft + 2490 + kGap, row(3), 810, 300);
  for (int k = 0; k < 3; ++k) {
    place(c_.HScrollRec[k], kControlLeft, row(4 + k), 2490, 300);
    place(c_.TextValue[k], kControlLeft + 2490 + kGap, row(4 + k), 810, 300);
  }
  place(c_.CheckUseTH, kControlLeft, row(7), 1275, 300);
  place(c_.CheckSequential, kControlLeft + 1275 + kGap, row(7), 1395, 300);
  // The playback panel.
  place(c_.ComboDev[1], kControlLeft, row(0), 3360, 300);
  place(c_.LevelSlider[1], kControlLeft, row(1), 2490, 300);
  place(c_.TextLevel[1], kControlLeft + 2490 + kGap, row(1), 810, 300);
  place(c_.CheckInputMon, kControlLeft, row(2), 1965, 285);
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
  PlaceLabels();
  const int menuHeight = menuBar()->sizeHint().height();
  setFixedSize(Px(kColumn[1] + 5100 + kMargin), Px(bottomTwips_ + kMargin) + meterShiftPx_ + menuHeight);
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

// The labels beside their controls: 90 twips to the left, centred on the row.
void FrmMain::PlaceLabels() {
  const std::array<QWidget*, 8> owners = {c_.ComboDev[0],    c_.ComboDev[1],    c_.ComboFmt[0],
                                          c_.LevelSlider[0], c_.LevelSlider[1], c_.HScrollRec[0],
                                          c_.HScrollRec[1],  c_.HScrollRec[2]};
  for (size_t i = 0; i < owners.size(); ++i) {
    auto* label = new QLabel(QString::fromUtf8(kLabels[i]), owners[i]->parentWidget());
    label->adjustSize();
    const QRect at = owners[i]->geometry();
    label->move(at.left() - label->width() - Px(90), at.top() + (at.height() - label->height()) / 2);
  }
  auto* kbps = new QLabel(QStringLiteral("kbps"), c_.PictureF[0]);
  kbps->adjustSize();
  kbps->move(c_.ComboBitRate->geometry().right() + Px(30), c_.ComboBitRate->y());
}

}  // namespace lumora
