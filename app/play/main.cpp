// lumora-play: the headless player. One WAV or MP3 file on an output device, or
// through the simulated output into a WAV file, with the window's settings and
// the same engine and transport; see --help.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/play/PlayOptions.h"
#include "app/play/PlayOutputFile.h"
#include "meters/Levels.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"
#include "playback/PlayTransport.h"
#include "recording/CaptureDevice.h"
#include "support/FileSystem.h"
#include "support/Rounding.h"
#include "support/StopSignals.h"

namespace lumora::play {
namespace {

constexpr double kTickSeconds = 0.04;  // the window's timer interval

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// The playback events on stdout; the window's displays are not shown.
class PrintingView final : public PlayView {
 public:
  void SetPlayButtonLook(PlayButtonLook) override {}
  void SetPositionMax(int64_t) override {}
  void SetPosition(int64_t) override {}
  void ShowPlayTime(const std::string&) override {}
  void ClearPlaybackLevels() override {}
  void PlaybackStarted(const std::string& path, int64_t frame) override {
    Print("play " + path + " " + std::to_string(frame));
  }
  void PlaybackEnded(const std::string& path, int64_t frames) override {
    Print("end " + path + " " + std::to_string(frames));
  }
};

// One file, never being recorded.
class FileSession final : public PlaySession {
 public:
  FileSession(std::string path, int32_t device, int32_t rate)
      : path_(std::move(path)), device_(device), rate_(rate) {}
  std::string LastTakePath() const override { return path_; }
  int32_t OutputDevice() const override { return device_; }
  int32_t SampleRate() const override { return rate_; }
  std::optional<RunningTake> Recording() const override { return std::nullopt; }

 private:
  std::string path_;
  int32_t device_;
  int32_t rate_;
};

std::string FailureText(PlayFailure failure, int32_t deviceError, const std::string& path) {
  switch (failure) {
    case PlayFailure::kUnreadable:
      return "the file cannot be read: " + path;
    case PlayFailure::kUnplayable:
      return "not a playable file (PCM WAV of 8, 16 or 24 bit mono or stereo at a device rate, or MP3): " +
             path;
    case PlayFailure::kDecoder:
      return "the MP3 decoder cannot play the file: " + path;
    case PlayFailure::kDevice:
      return "the output device does not open: " + WaveErrorText(deviceError, true);
    case PlayFailure::kNone:
      break;
  }
  return "playback did not start: " + path;
}

// The device id: --output must name a device; a stored name that is gone falls
// back to the default, as in the window. -1 and an error when --output is unknown.
int32_t ChooseOutput(const PlayOptions& options, const Settings& settings, WaveBackend& devices,
                     std::string& error) {
  if (!options.outputFile.empty()) return 0;
  const std::string name =
      options.outputName.empty() ? settings.ReadText("DeviceOutName") : options.outputName;
  if (name.empty()) return -1;
  const int32_t id = FindWaveDevice(devices, false, name, false);
  if (id < 0 && !options.outputName.empty() && name != "-1") {
    error = "この名前のデバイスを検出できませんでした " + name;
  }
  return id;
}

class Run {
 public:
  Run(const PlayOptions& options, PlayTransport& transport, SimulatedWave* simulated)
      : options_(options), transport_(transport), simulated_(simulated) {}

  // Ticks until the end of the file, a signal, or a failed write; then stops
  // as the stop button does.
  void Loop(const PlayOutputFile& output) {
    if (simulated_ && !options_.fast) simulated_->StartPacing();
    while (transport_.PlayRequested() && !StopRequested() && !output.Failed()) {
      if (options_.fast) {
        simulated_->Advance(kTickSeconds);
      } else {
        SleepMs(static_cast<int32_t>(kTickSeconds * 1000));
      }
      transport_.Tick(false);
    }
    if (transport_.PlayRequested()) transport_.PlayButtonClick(0);
    if (simulated_) simulated_->StopPacing();
  }

 private:
  const PlayOptions& options_;
  PlayTransport& transport_;
  SimulatedWave* simulated_;
};

int Fail(const std::string& reason) {
  std::fprintf(stderr, "lumora-play: %s\n", reason.c_str());
  return 1;
}

int Main(int argc, char** argv) {
  std::string error;
  const auto options = ParsePlayOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "lumora-play: %s\n", error.c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(kPlayUsage, stdout);
    return 0;
  }
  Settings settings;
  if (!PrepareSettings(options->settings, settings, error)) {
    std::fprintf(stderr, "lumora-play: %s\n", error.c_str());
    return 2;
  }
  PrepareLog(settings);
  const std::string& path = options->file;
  if (!FileExists(path)) return Fail("no such file: " + path);
  FileHandle handle = 0;
  const PlayFileInfo file = DescribePlayFile(path, handle);
  CloseFH(handle);
  if (file.failure != PlayFailure::kNone) return Fail(FailureText(file.failure, 0, path));

  PlayOutputFile output;
  std::unique_ptr<WaveBackend> devices;
  SimulatedWave* simulated = nullptr;
  if (!options->outputFile.empty()) {
    auto backend = std::make_unique<SimulatedWave>();
    backend->AddOutput(options->outputFile,
                       [&output](const uint8_t* bytes, int64_t count) { output.Append(bytes, count); });
    simulated = backend.get();
    devices = std::move(backend);
  } else {
    devices = CreateWaveBackend();
  }
  const int32_t device = ChooseOutput(*options, settings, *devices, error);
  if (!error.empty()) return Fail(error);
  if (!simulated &&
      devices->DeviceNames(WaveDirection::kOutput) == std::vector<std::string>{kSilentOutputName}) {
    std::fprintf(stderr, "lumora-play: no output device found; playing into the built-in silent output\n");
  }

  FileSession session(path, device, file.format.nFreq);
  PrintingView view;
  PlayEngine engine(*devices, session);
  const float gain = DbToLin(options->levelDb.value_or(settings.ReadDecimal("PlayLevel")));
  engine.PlaybackGain = {gain, gain};
  PlayTransport transport(engine, view, session);
  transport.Seek(RoundHalfEven(options->fromSeconds * file.format.nFreq));
  if (simulated && !output.Open(options->outputFile, file.format)) {
    return Fail("the output file cannot be written: " + options->outputFile);
  }
  CatchStopSignals();
  transport.PlayButtonClick(2);
  if (!transport.PlayRequested()) {
    if (simulated) FileDelete(options->outputFile);
    return Fail(FailureText(engine.Failure(), engine.DeviceError(), path));
  }
  Run(*options, transport, simulated).Loop(output);
  if (simulated && !output.Close()) return Fail("the output file cannot be written: " + options->outputFile);
  return 0;
}

}  // namespace
}  // namespace lumora::play

int main(int argc, char** argv) { return lumora::play::Main(argc, argv); }
