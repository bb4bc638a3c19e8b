#include "app/conf/FrmConf.h"

#include <QCursor>

#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "support/FileSystem.h"

namespace lumora {

namespace {

// Design geometry in twips at "SizeRate" 1.
constexpr int kMargin = 120;
constexpr int kPageWidth = 6600;
constexpr int kPageHeight = 4080;
constexpr int kTabHeight = 360;
constexpr int kButtonsWidth = 2400;
constexpr int kButtonsHeight = 330;
constexpr int kPageTop = kMargin + kTabHeight;
constexpr int kButtonsTop = kPageTop + kPageHeight + kMargin;

}  // namespace

FrmConf::FrmConf(Settings& settings, ConfTarget& target, float sizeRate, QWidget* parent)
    : QDialog(parent), Face(new FacePanel(this)), settings_(settings), target_(target), sizeRate_(sizeRate) {
  // Form_Load: the face and the busy pointer now, the pages from Timer1.
  setWindowTitle(QStringLiteral("設定"));
  font_ = SharedFont(FontSize());
  setFont(font_);
  setFixedSize(Px(kPageWidth + 2 * kMargin), Px(kButtonsTop + kButtonsHeight + kMargin));
  Face->setGeometry(rect());
  Face->Paint(font_);
  SetBusy(true);
  Timer1.setSingleShot(true);
  Timer1.setInterval(100);
  connect(&Timer1, &QTimer::timeout, this, &FrmConf::Timer1Timer);
  Timer1.start();
}

int FrmConf::Px(int twips) const { return ScaledPx(twips, sizeRate_); }

void FrmConf::SetBusy(bool busy) {
  busy_ = busy;
  if (busy) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
  }
  if (TabConf) TabConf->SetClickDisabled(busy ? 1 : 0);
}

void FrmConf::Timer1Timer() {
  Timer1.stop();
  BuildConfTab(-1);
  BuildConfTab(kTabGeneral);
  TabConf->show();
  PictureTab[0]->show();
  OKCancelButtons->show();
  SetBusy(false);
}

void FrmConf::BuildConfTab(int32_t page) {
  if (page < 0) {
    if (!frameBuilt_) BuildFrame();
    frameBuilt_ = true;
  } else if (page == kTabGeneral) {
    if (!edits_.general) BuildGeneralPage();
  } else if (!edits_.list) {
    BuildListPage();
  }
}

void FrmConf::BuildFrame() {
  TabConf = new UC_Tab(Face);
  TabConf->setGeometry(Px(kMargin), Px(kMargin), Px(kPageWidth), Px(kTabHeight));
  TabConf->SetBGPic(TabConf->x() * Tpp(), TabConf->y() * Tpp(), &Face->Face());
  TabConf->SetFontSize(FontSize());
  TabConf->SetUseIndpWidth(1);
  TabConf->SetNumTab(3);
  TabConf->SetTabStr(kTabGeneral, QStringLiteral("一般"));
  TabConf->SetTabStr(kTabKeyboard, QStringLiteral("キーボード"));
  TabConf->SetTabStr(kTabRemote, QStringLiteral("リモート"));
  TabConf->SetSelectedTab(kTabGeneral);
  TabConf->SetClickDisabled(busy_ ? 1 : 0);
  connect(TabConf, &UC_Tab::TabClicked, this, [this](int tab) { TabConfClick(tab); });

  for (FacePanel*& page : PictureTab) {
    page = new FacePanel(Face);
    page->setGeometry(Px(kMargin), Px(kPageTop), Px(kPageWidth), Px(kPageHeight));
    page->Paint(font_);
    page->hide();
  }

  OKCancelButtons = new UC_Buttons(Face);
  OKCancelButtons->SetFontSize(FontSize());
  OKCancelButtons->setGeometry(Px(kMargin + kPageWidth - kButtonsWidth), Px(kButtonsTop), Px(kButtonsWidth),
                               Px(kButtonsHeight));
  OKCancelButtons->SetOKCancel(0, 1);
  connect(OKCancelButtons, &UC_Buttons::ButtonClicked, this,
          [this](int index) { OKCancelButtonsClick(index); });
}

void FrmConf::TabConfClick(int32_t tab) {
  if (busy_ || tab < kTabGeneral || tab > kTabRemote) return;
  SetBusy(true);
  if (currentTab_ != kTabGeneral) CommitAssignmentList(static_cast<ConfTab>(currentTab_));
  BuildConfTab(tab);
  ShowPage(tab);
  currentTab_ = tab;
  SetBusy(false);
}

void FrmConf::ShowPage(int32_t tab) {
  PictureTab[0]->setVisible(tab == kTabGeneral);
  PictureTab[1]->setVisible(tab != kTabGeneral);
  if (tab != kTabGeneral) FillAssignmentList(static_cast<ConfTab>(tab));
}

void FrmConf::OKCancelButtonsClick(int32_t index) {
  setEnabled(false);
  WaitEvents(5, 1);
  if (index != 0) {
    if (currentTab_ != kTabGeneral) CommitAssignmentList(static_cast<ConfTab>(currentTab_));
    CollectGeneralPage();
    CollectRemoteDevice();
    SaveConf(edits_, settings_, target_);
    accept();
  } else {
    reject();
  }
}

}  // namespace lumora
