#pragma once
// A recorder on simulated devices and simulated time, with a view that keeps
// what it was shown, for whole takes in tests.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/LogFiles.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/SimulatedWave.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"
#include "support/Clock.h"
#include "support/FreeSpace.h"
#include "support/MessageBox.h"

namespace lumora {

class RecorderTestAccess {
 public:
  static RecordingState& State(Recorder& recorder) { return recorder.state_; }
};

namespace test {

// Keeps what the tests look at; the rest of the view shows nothing.
class RecordingView final : public SilentRecorderView {
 public:
  void SetInputMonitorEnabled(bool enabled) override { monitorEnabled = enabled; }
  void ShowFileName(const std::string& name) override { fileName = name; }
  void SetCaptionLock(bool on) override { captionLock = on; }
  void SetRecordingTally(bool on) override { tally = on; }
  void ShowRecTime(const std::string& text) override { recTime = text; }
  void ClearInputLevels() override { ++levelClears; }
  void TakeOpened(const std::string& path) override { events.push_back("start " + path); }
  void TakeWriting(const std::string& path) override { events.push_back("write " + path); }
  void TakeLostFrames(const std::string& path, int64_t frames) override {
    events.push_back("lost " + path + " " + std::to_string(frames));
  }
  void TakeStopped(const std::string& path, int64_t frames) override {
    events.push_back("stop " + path + " " + std::to_string(frames));
  }
  void DiskSpaceLow(int64_t seconds) override { events.push_back("disk " + std::to_string(seconds)); }

  bool monitorEnabled = true;
  std::string fileName;
  bool captionLock = false;
  bool tally = false;
  std::string recTime;
  int32_t levelClears = 0;
  std::vector<std::string> events;
};

// The takes' usual format.
const WaveFormat kCdFormat = MakeWaveFormat({44100, 16, 2});

class RecorderFixture : public ::testing::Test {
 protected:
  RecorderFixture() {
    SetActiveClock(&clock_);
    SetActiveFreeSpace(&freeSpace_);
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
    SetActiveFreeSpace(nullptr);
    SetMessagePresenter(nullptr);
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
  // Ticks until the take has handed `frames` frames to the writer (in all its files).
  void RecordFrames(int64_t frames) {
    const RecordingState& state = recorder_->State();
    for (int guard = 0; state.FramesBefore + state.counters.FramesWritten < frames && guard < 100000;
         ++guard) {
      Tick();
    }
  }
  std::string LogText(const std::string& extension = ".log") const { return log_.Text(extension); }
  // An MP3 take decoded by an independent decoder (the mpg123 program) into WAV.
  SndfileView Decoded(const std::string& mp3) {
    const std::string wav = dir_.file("decoded.wav");
    const std::string command = "mpg123 -q -w " + wav + " " + mp3 + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ReadWithSndfile(wav, true);
  }
  // Records MP3 at the bit rate.
  void UseMp3Mode(const std::string& kbps = "128") {
    recorder_->controls.CheckModemp3 = 1;
    recorder_->controls.CheckModemp3Enabled = true;
    recorder_->controls.ComboBitRate = kbps;
  }

  LogCapture log_;
  TempDir dir_;
  ManualClock clock_;
  FakeFreeSpace freeSpace_{int64_t{1} << 50};  // a disk that never runs low, unless a test says so
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
