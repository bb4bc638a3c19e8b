// lumora-rec: the headless recorder. One take (or a sequential series) from an
// input device, a WAV file or the built-in test signal, with the window's
// settings and the same recorder core; see --help.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/rec/CommandDriver.h"
#include "app/rec/RecOptions.h"
#include "app/rec/RecSetup.h"
#include "platform/WaveBackends.h"
#include "recording/Recorder.h"
#include "support/Clock.h"
#include "support/MessageBox.h"
#include "support/StopSignals.h"

namespace lumora::rec {
namespace {

bool g_failed = false;  // an error was shown: the run did not do all it was asked

// The take events on stdout, one line each, at once; the recording tally light
// to the remote when there is one.
class PrintingView final : public SilentRecorderView {
 public:
  void TakeOpened(const std::string& path) override { PrintEvent("start " + path); }
  void TakeWriting(const std::string& path) override { PrintEvent("write " + path); }
  void TakeStopped(const std::string& path, int64_t frames) override {
    PrintEvent("stop " + path + " " + std::to_string(frames));
  }
  void TakeLostFrames(const std::string& path, int64_t frames) override {
    PrintEvent("lost " + path + " " + std::to_string(frames));
  }
  void DiskSpaceLow(int64_t seconds) override { PrintEvent("warn disk " + std::to_string(seconds)); }
  void SetRecordingTally(bool on) override {
    if (tally) tally->SetTallyOutput(2, on);
  }

  TallySink* tally = nullptr;
};

void ListDevices(WaveBackend& devices) {
  for (const auto direction : {WaveDirection::kInput, WaveDirection::kOutput}) {
    std::puts(direction == WaveDirection::kInput ? "input devices:" : "output devices:");
    const auto names = devices.DeviceNames(direction);
    for (size_t id = 0; id < names.size(); ++id) std::printf("  %zu  %s\n", id, names[id].c_str());
  }
}

// Whether every frame of a finished input file has reached the recorder.
bool InputDrained(const SimulatedWave* simulated, const Recorder& recorder) {
  if (!simulated || !simulated->InputFinished(0)) return false;
  const CaptureRing& ring = recorder.Ring();
  return !recorder.State().IsRecording || !(ring.Flags(ring.NextBuffer()) & kWaveDone);
}

class Run {
 public:
  Run(const RecOptions& options, Recorder& recorder, SimulatedWave* simulated, CommandDriver& driver)
      : options_(options), recorder_(recorder), simulated_(simulated), driver_(driver) {
    if (options_.fast) driver_.UseSimulatedTime([this](double seconds) { Advance(seconds); });
  }

  // Ticks until the input ends, the time is up, a signal came, or the takes are
  // over; then stops the running take as the stop button does.
  void Loop() {
    if (options_.fast) SetActiveClock(&clock_);
    while (!ShouldEnd()) Step();
    if (recorder_.State().IsRecording) {
      recorder_.RequestStop();
      recorder_.Tick();
    }
    SetActiveClock(nullptr);
  }

  // The first take, started as the record button starts it, unless commands
  // drive the run.
  bool Start() {
    if (options_.fast) SetActiveClock(&clock_);
    start_ = ActiveClock().MonotonicSeconds();
    if (!options_.CommandDriven()) {
      recorder_.RequestStart();
      recorder_.Tick();
    }
    SetActiveClock(nullptr);
    if (simulated_ && !options_.fast) simulated_->StartPacing();
    return options_.CommandDriven() || recorder_.State().IsRecording == 1;
  }

 private:
  bool ShouldEnd() const {
    if (StopRequested()) return true;
    if (InputDrained(simulated_, recorder_)) return true;
    if (options_.CommandDriven()) {
      return driver_.Finished() || (options_.seconds > 0 && RunSeconds() >= options_.seconds);
    }
    if (TimeIsUp()) return true;
    return !recorder_.State().IsRecording && !recorder_.Loop().pendingStart;
  }

  double RunSeconds() const { return ActiveClock().MonotonicSeconds() - start_; }

  // --seconds of audio. A run whose takes never collect a buffer (automatic
  // takes that stop at once) ends by its clock instead, a second later.
  bool TimeIsUp() const {
    if (options_.seconds <= 0) return false;
    const double frames = options_.seconds * recorder_.Capture().format.nFreq;
    return recorder_.CapturedFrames() >= frames || RunSeconds() >= options_.seconds + 1.0;
  }

  // Simulated time moves 40 ms per tick; real time as the tick asks.
  void Step() {
    if (options_.fast) Advance(0.04);
    driver_.BeforeTick(RunSeconds());
    const int32_t next = recorder_.Tick();
    if (!options_.fast) SleepMs(next);
  }

  void Advance(double seconds) {
    simulated_->Advance(seconds);
    clock_.Advance(seconds);
  }

  const RecOptions& options_;
  Recorder& recorder_;
  SimulatedWave* simulated_;
  CommandDriver& driver_;
  SteppedClock clock_;
  double start_ = 0.0;
};

int Main(int argc, char** argv) {
  std::string error;
  const auto options = ParseRecOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "lumora-rec: %s\n", error.c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(kRecUsage, stdout);
    return 0;
  }
  SetMessagePresenter([](const std::string& text, int32_t style, const std::string&) {
    std::fprintf(stderr, "lumora-rec: %s\n", text.c_str());
    if ((style & 0x70) == kCritical) g_failed = true;
    return (style & 7) == kYesNo ? kAnswerYes : kAnswerOk;
  });
  Settings settings;
  if (!PrepareSettings(options->settings, settings, error)) {
    std::fprintf(stderr, "lumora-rec: %s\n", error.c_str());
    return 2;
  }
  PrepareLog(settings);
  SimulatedWave* simulated = nullptr;
  const auto devices = PrepareDevices(*options, simulated, error);
  if (!devices) {
    std::fprintf(stderr, "lumora-rec: %s\n", error.c_str());
    return 1;
  }
  if (options->listDevices) {
    ListDevices(*devices);
    return 0;
  }
  if (!simulated &&
      devices->DeviceNames(WaveDirection::kInput) == std::vector<std::string>{kTestSignalInputName}) {
    std::fprintf(stderr, "lumora-rec: no input device found; recording the built-in test signal\n");
  }
  PrintingView view;
  Recorder recorder(*devices, view, settings);
  if (!PrepareRecorder(*options, settings, *devices, recorder, error)) {
    std::fprintf(stderr, "lumora-rec: %s\n", error.c_str());
    return 1;
  }
  CommandDriver driver(*options, recorder);
  if (!driver.Prepare(settings, error)) {
    std::fprintf(stderr, "lumora-rec: %s\n", error.c_str());
    return 1;
  }
  view.tally = driver.Tally();
  CatchStopSignals();
  Run run(*options, recorder, simulated, driver);
  if (!run.Start()) {
    std::fprintf(stderr, "lumora-rec: the take did not start (see the reason above)\n");
    return 1;
  }
  run.Loop();
  return g_failed ? 1 : 0;
}

}  // namespace
}  // namespace lumora::rec

int main(int argc, char** argv) { return lumora::rec::Main(argc, argv); }
