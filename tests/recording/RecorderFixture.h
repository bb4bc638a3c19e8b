#pragma once
// A recorder on simulated devices and simulated time, with a view that keeps
// what it was shown, for whole takes in tests.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "platform/SimulatedWave.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"
#include "support/Clock.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora {

class RecorderTestAccess {
 public:
  static RecordingState& State(Recorder& recorder) { return recorder.state_; }
};

namespace test {

class RecordingView final : public RecorderView {
 public:
  void SetRecButtonOn(int32_t index, int32_t value) override { recButton[index] = value; }
  void SetInputMonitorEnabled(bool enabled) override { monitorEnabled = enabled; }
  void ShowFileName(const std::string& name) override { fileName = name; }
  void SetCaptionLock(bool on) override { captionLock = on; }
  void SetRecordingTally(bool on) override { tally = on; }
  void SetRecTimeColours(int32_t colourSet) override { colours = colourSet; }
  void ShowRecTime(const std::string& text) override { recTime = text; }
  void ShowSliderValue(int32_t k, const std::string& text) override { sliderText[k] = text; }
  void SetRecordedExtent(int64_t frames) override { extent = frames; }
  void ClearInputLevels() override { ++levelClears; }
  void StopPlaybackForTake(const std::string& zero) override { playTime = zero; }
  std::string SaveFileDialog(const std::string& folder, const std::string& label,
                             const std::string& pattern) override {
    dialog = {folder, label, pattern};
    return dialogAnswer;
  }
  void TakeOpened(const std::string& path) override { events.push_back("start " + path); }
  void TakeWriting(const std::string& path) override { events.push_back("write " + path); }
  void TakeStopped(const std::string& path, int64_t frames) override {
    events.push_back("stop " + path + " " + std::to_string(frames));
  }
  void TakeLostFrames(const std::string& path, int64_t frames) override {
    events.push_back("lost " + path + " " + std::to_string(frames));
  }

  int32_t recButton[3] = {0, 0, 0};
  bool monitorEnabled = true;
  std::string fileName;
  bool captionLock = false;
  bool tally = false;
  int32_t colours = 0;
  std::string recTime;
  std::string sliderText[3];
  int64_t extent = 0;
  int32_t levelClears = 0;
  std::string playTime;
  std::vector<std::string> dialog;
  std::string dialogAnswer;
  std::vector<std::string> events;
};

class RecorderFixture : public ::testing::Test {
 protected:
  RecorderFixture() {
    SetActiveClock(&clock_);
    LogConfig log;
    log.folder = dir_.folder() + "log/";
    log.machine = "TEST";
    log.session = "lumora";
    ConfigureLog(log);
    SetMessagePresenter([this](const std::string& text, int32_t style, const std::string&) {
      messages_.push_back(text);
      critical_ += (style & 0x70) == kCritical ? 1 : 0;
      return kAnswerOk;
    });
    settings_.UseIniFile(dir_.file("lumora.ini"));
    settings_.FixSession(0);
  }
  ~RecorderFixture() override {
    SetActiveClock(nullptr);
    SetMessagePresenter(nullptr);
    ConfigureLog({});
  }

  // An input on the simulated timeline and a recorder reading it in the format.
  void Use(std::unique_ptr<SignalSource> source, int32_t rate = 44100, int32_t bits = 16,
           int32_t channels = 2) {
    input_ = devices_.AddInput("Mic", std::move(source));
    devices_.AddOutput("Speakers");
    recorder_ = std::make_unique<Recorder>(devices_, view_, settings_);
    recorder_->selectors.inputDevice = "Mic";
    recorder_->selectors.rateText = std::to_string(rate);
    recorder_->selectors.bitsIndex = bits == 24 ? 0 : bits == 8 ? 2 : 1;
    recorder_->selectors.channelsIndex = channels == 2 ? 0 : 1;
    recorder_->controls.DataPath = dir_.folder();
  }

  // One timer tick after 40 ms of simulated time.
  void Tick() {
    devices_.Advance(0.04);
    clock_.Advance(0.04);
    recorder_->Tick();
  }
  void TickFor(double seconds) {
    for (int64_t n = std::llround(seconds / 0.04); n > 0; --n) Tick();
  }
  void Start() {
    recorder_->RequestStart();
    recorder_->Tick();
  }
  void Stop() {
    recorder_->RequestStop();
    recorder_->Tick();
  }
  // Ticks until the take has handed `frames` frames to the writer.
  void RecordFrames(int64_t frames) {
    for (int guard = 0; recorder_->State().counters.FramesWritten < frames && guard < 100000; ++guard) Tick();
  }
  std::string LogText(const std::string& extension = ".log") const;

  TempDir dir_;
  ManualClock clock_;
  SimulatedWave devices_;
  RecordingView view_;
  Settings settings_{dir_.folder()};
  std::unique_ptr<Recorder> recorder_;
  int32_t input_ = -1;
  std::vector<std::string> messages_;
  int32_t critical_ = 0;  // messages shown as critical errors
};

}  // namespace test
}  // namespace lumora
