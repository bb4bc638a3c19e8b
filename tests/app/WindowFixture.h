#pragma once
// The main window on simulated devices and a simulated clock, with a dialog
// presenter that answers in place of a person and a settings file of its own.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/window/DialogPresenter.h"
#include "app/window/FrmMain.h"
#include "common/TempDir.h"
#include "controls/FacePanel.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_Slider.h"
#include "controls/UC_TextPicture.h"
#include "platform/SimulatedWave.h"
#include "remote/SimulatedBox.h"
#include "settings/Settings.h"
#include "settings/SettingsTestKit.h"
#include "support/Clock.h"
#include "support/FreeSpace.h"

namespace lumora::test {

class FakeDialogs final : public DialogPresenter {
 public:
  int32_t Message(const std::string& text, int32_t flags, const std::string& caption) override {
    messages.push_back(caption + ": " + text);
    (void)flags;
    if (answers.empty()) return 1;
    const int32_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::string File(bool, const std::string& filter, const std::string& folder, const std::string&,
                   int32_t) override {
    fileRequests.push_back(folder + " " + filter);
    return fileAnswer;
  }
  std::string Folder(const std::string&, const std::string&) override { return {}; }

  std::vector<std::string> messages;
  std::deque<int32_t> answers;
  std::vector<std::string> fileRequests;
  std::string fileAnswer;
};

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    SetActiveClock(&clock_);
    SetActiveFreeSpace(&freeSpace_);
    devices_.AddInput("Mic", MakeTone(1000.0, -20.0));
    devices_.AddOutput("Speakers");
  }
  ~WindowTest() override {
    window_.reset();
    SetActiveClock(nullptr);
    SetActiveFreeSpace(nullptr);
  }

  // The ini file holds these lines before the window starts.
  void Load(const std::string& iniLines = "") {
    WriteText(ini_, "[conf]\n" + iniLines);
    settings_.UseIniFile(ini_);
    settings_.FixSession(0);
    settings_.AddOverride("DataPath=" + dir_.folder());
    settings_.AddOverride("DebugLogPath=" + dir_.folder() + "log/");
    window_ = std::make_unique<FrmMain>(settings_, devices_, hid_, &dialogs_);
    window_->FormLoad(false);
  }
  // One timer tick after 40 ms of simulated time.
  void Tick(double seconds = 0.04) {
    for (int64_t n = std::llround(seconds / 0.04); n > 0; --n) {
      devices_.Advance(0.04);
      clock_.Advance(0.04);
      window_->Tick();
    }
  }
  std::string IniText() const { return ReadText(ini_); }
  const MainControls& c() const { return window_->controls(); }
  // A click on button index of a drawn strip.
  static void Click(UC_Buttons* strip, int index) {
    const QPoint at(strip->ButtonLeft(index) + strip->ButtonWidth() / 2, strip->height() / 2);
    QTest::mouseClick(strip, Qt::LeftButton, {}, at);
  }
  bool Recording() { return window_->recorder().State().IsRecording == 1; }
  static std::string Shown(const UC_TextPicture* panel) { return panel->TextMes(0).toStdString(); }

  TempDir dir_;
  std::string ini_ = dir_.file("lumora.ini");
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.folder() + "config"};
  ScopedEnv data_{"XDG_DATA_HOME", dir_.folder() + "data"};
  ManualClock clock_;
  FakeFreeSpace freeSpace_{int64_t{1} << 50};
  SimulatedWave devices_;
  SimulatedHid hid_;
  Settings settings_{dir_.folder()};
  FakeDialogs dialogs_;
  std::unique_ptr<FrmMain> window_;
};

}  // namespace lumora::test
