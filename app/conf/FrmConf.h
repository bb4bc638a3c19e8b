#pragma once
// FrmConf, the modal dialog "設定": tabs "一般" (folders, display size, level
// history magnification, meter level, font, pre-record, file splits), "キーボード" and "リモート" (the
// assignments of the function keys and of the remote's inputs, and the remote
// device). It opens empty with the busy pointer; Timer1 builds the frame and
// the general page 100 ms later, and the list page, shared by both list tabs,
// is built when one of them is first chosen. OK stores the built pages (see
// ConfModel.h); Cancel stores nothing.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <array>
#include <cstdint>

#include "app/conf/ConfModel.h"
#include "controls/FacePanel.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_ListView.h"
#include "controls/UC_PathText.h"
#include "controls/UC_Tab.h"

namespace lumora {

class FrmConf : public QDialog {
  Q_OBJECT

 public:
  // sizeRate: the main window's "SizeRate" as it took it at start.
  FrmConf(Settings& settings, ConfTarget& target, float sizeRate, QWidget* parent = nullptr);

  // True while a page is being built (the busy pointer shows); tab clicks are ignored.
  bool Busy() const { return busy_; }
  int32_t CurrentTab() const { return currentTab_; }

  void TabConfClick(int32_t tab);
  // 0 "キャンセル", any other "OK".
  void OKCancelButtonsClick(int32_t index);

  FacePanel* Face;
  UC_Tab* TabConf = nullptr;
  std::array<FacePanel*, 2> PictureTab{};
  UC_PathText* TextSoundPath = nullptr;
  UC_PathText* TextMixerApp = nullptr;
  QLineEdit* TextSizeRate = nullptr;
  QLineEdit* TextWaveRate = nullptr;
  QLineEdit* TextVULevelTrim = nullptr;
  QComboBox* ComboAltFont = nullptr;
  QLineEdit* TextPreRecTime = nullptr;
  QLineEdit* TextSplitMinutes = nullptr;
  UC_Check* CheckContinueAtLimit = nullptr;
  UC_ListView* LVSC = nullptr;
  QComboBox* ComboHID = nullptr;
  UC_Check* CheckLatch = nullptr;
  UC_Check* CheckUSBTallyInvert = nullptr;
  UC_Buttons* OKCancelButtons = nullptr;
  QTimer Timer1;

 private:
  int Px(int twips) const;
  float FontSize() const { return 9 * sizeRate_; }
  void SetBusy(bool busy);
  void Timer1Timer();
  void BuildConfTab(int32_t page);
  void BuildFrame();
  void BuildGeneralPage();
  void BuildListPage();
  // A check box on face at left, centred on the field row that starts at top (twips).
  UC_Check* NewCheck(FacePanel& face, const char* caption, int32_t value, int left, int top);
  void ShowPage(int32_t tab);
  void FillAssignmentList(ConfTab tab);
  void CommitAssignmentList(ConfTab tab);
  void CollectGeneralPage();
  void CollectRemoteDevice();

  Settings& settings_;
  ConfTarget& target_;
  float sizeRate_;
  QFont font_;
  ConfEdits edits_;
  bool busy_ = false;
  bool frameBuilt_ = false;
  int32_t currentTab_ = kTabGeneral;
};

}  // namespace lumora
