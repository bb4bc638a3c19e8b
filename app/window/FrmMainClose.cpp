// The window's end: asked before a running take is abandoned, then the devices
// closed and the settings saved.

#include <QCloseEvent>
#include <QComboBox>

#include "app/window/DialogPresenter.h"
#include "app/window/FrmMain.h"
#include "controls/FontRegistry.h"
#include "controls/UC_Check.h"
#include "controls/UC_Slider.h"
#include "settings/Settings.h"
#include "settings/WindowPlacement.h"
#include "support/MessageBox.h"

namespace lumora {

namespace {

bool IsNumber(const QString& text) {
  bool ok = false;
  text.toDouble(&ok);
  return ok;
}

}  // namespace

void FrmMain::closeEvent(QCloseEvent* event) {
  if (!loaded_ || unloaded_ || FormUnload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool FrmMain::FormUnload() {
  if (recorder_->State().IsRecording) {
    if (dialogs_->Message("終了しますか？", kYesNo | kQuestion, "lumora") != kAnswerYes) return false;
    recorder_->RecordCommand(2);
  }
  if (recorder_->State().IsMonitoring) {
    recorder_->controls.CheckInputMon = 0;
    recorder_->InputMonitorClicked();
  }
  transport_->PlayStop(0);
  remote_.Close();
  TimerRec.stop();
  SaveSettings();
  WindowPlacement current;
  current.left = static_cast<float>(x() * tpp_);
  current.top = static_cast<float>(y() * tpp_);
  current.state = isMinimized() ? kWindowMinimized : isMaximized() ? kWindowMaximized : kWindowNormal;
  SaveWindowPlacement(settings_, "", current, {.skipSize = true});
  ReleaseFonts();
  unloaded_ = true;
  return true;
}

// In the order the settings have always been saved in.
void FrmMain::SaveSettings() {
  const auto checked = [](const UC_Check* box) { return box->Value() == 1 ? 1 : 0; };
  settings_.WriteWhole("StartLevel", c_.HScrollRec[0]->Value());
  settings_.WriteWhole("EndLevel", c_.HScrollRec[1]->Value());
  settings_.WriteWhole("EndTime", c_.HScrollRec[2]->Value());
  settings_.WriteWhole("Sequential", checked(c_.CheckSequential));
  settings_.WriteWhole("AutoRec", checked(c_.CheckUseTH));
  settings_.WriteText("DeviceInName", c_.ComboDev[0]->currentText().toStdString());
  settings_.WriteText("DeviceOutName", c_.ComboDev[1]->currentText().toStdString());
  settings_.WriteWhole("InputMon", checked(c_.CheckInputMon));
  settings_.WriteWhole("RMSP3mon", c_.MenuRMSP3->isChecked() ? 1 : 0);
  settings_.WriteWhole("nFreq", c_.ComboFmt[0]->currentText().toInt());
  // The format as the selectors show it: the choice survives even when no take
  // or monitoring has used it yet.
  const int bitsIndex = c_.ComboFmt[1]->currentIndex();
  settings_.WriteWhole("nBit", bitsIndex == 1 ? 16 : bitsIndex == 2 ? 8 : 24);
  settings_.WriteWhole("nCh", c_.ComboFmt[2]->currentIndex() == 0 ? 2 : 1);
  settings_.WriteDecimal("PlayLevel", static_cast<float>(c_.LevelSlider[1]->Value()) / 10.0f);
  settings_.WriteDecimal("RecLevel", static_cast<float>(c_.LevelSlider[0]->Value()) / 10.0f);
  settings_.WriteWhole("Modemp3", checked(c_.CheckModemp3));
  if (IsNumber(c_.ComboBitRate->currentText())) {
    settings_.WriteText("mp3BitRate", c_.ComboBitRate->currentText().toStdString());
  }
}

}  // namespace lumora
