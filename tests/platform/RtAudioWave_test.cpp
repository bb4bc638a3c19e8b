// The RtAudio backend against the private test server (skipped without it),
// and the embedded default devices where no sound system answers.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"
#include "support/Log.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;
using test::HeaderSet;

const WaveFormat kFormat = MakeWaveFormat(SampleFormat{48000, 16, 2});
constexpr int64_t kTenthBytes = 4800 * 4;

int32_t IdOf(WaveBackend& backend, WaveDirection direction, const std::string& name) {
  const std::vector<std::string> names = backend.DeviceNames(direction);
  for (size_t k = 0; k < names.size(); ++k) {
    if (names[k] == name) return static_cast<int32_t>(k);
  }
  return -2;
}

template <class Until>
bool WaitFor(std::chrono::milliseconds limit, Until&& until) {
  const auto deadline = Clock::now() + limit;
  while (!until()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class RtAudioOnServer : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
    ASSERT_TRUE(sink_.loaded());
    backend_ = CreateRtAudioWave();
  }
  test::PrivateSink sink_;
  std::unique_ptr<WaveBackend> backend_;
};

TEST_F(RtAudioOnServer, ListsTheServersDevicesByName) {
  EXPECT_GE(IdOf(*backend_, WaveDirection::kInput, sink_.MonitorName()), 0);
  EXPECT_GE(IdOf(*backend_, WaveDirection::kInput, "Sine source at 1000 Hz"), 0);
  EXPECT_GE(IdOf(*backend_, WaveDirection::kOutput, sink_.SinkName()), 0);
  EXPECT_EQ(IdOf(*backend_, WaveDirection::kOutput, sink_.MonitorName()), -2);
  std::unique_ptr<WaveDevice> device;
  EXPECT_EQ(backend_->Open(WaveDirection::kInput, 99, kFormat, device), kWaveBadDeviceId);
  WaveFormat odd = kFormat;
  odd.samplesPerSec = 44000;
  odd.avgBytesPerSec = 176000;
  EXPECT_EQ(backend_->Open(WaveDirection::kInput, 0, odd, device), kWaveBadFormat);
  EXPECT_EQ(device, nullptr);
}

// A tone played through our output lands in the sink whole: its monitor,
// recorded through our input, holds every frame, the tail included, even
// though the output is closed as soon as its last buffer is done.
TEST_F(RtAudioOnServer, TheOutputPlaysEveryFrameIntoTheSink) {
  HeaderSet recorded(40, kTenthBytes);
  HeaderSet played(10, kTenthBytes);
  for (size_t k = 0; k < played.size(); ++k) {
    MakeTone(440.0, -6.0)->Render(static_cast<int64_t>(k) * 4800, 4800, kFormat, played.Data(k).data());
  }
  std::unique_ptr<WaveDevice> input;
  ASSERT_EQ(backend_->Open(WaveDirection::kInput, IdOf(*backend_, WaveDirection::kInput, sink_.MonitorName()),
                           kFormat, input),
            0);
  ASSERT_EQ(recorded.Queue(*input, 0, recorded.size()), 0);
  ASSERT_EQ(input->Start(), 0);
  std::unique_ptr<WaveDevice> output;
  ASSERT_EQ(backend_->Open(WaveDirection::kOutput, IdOf(*backend_, WaveDirection::kOutput, sink_.SinkName()),
                           kFormat, output),
            0);
  EXPECT_EQ(output->Start(), 0);
  EXPECT_EQ(output->Stop(), kWaveNotSupported);
  EXPECT_EQ(input->Pause(), kWaveNotSupported);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(played.Queue(*output, 0, played.size()), 0);
  ASSERT_TRUE(WaitFor(std::chrono::seconds(5), [&] { return played.Done(played.size() - 1); }));
  int64_t position = 0;
  EXPECT_EQ(output->Position(position), 0);
  EXPECT_EQ(position, 48000);
  output.reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_EQ(input->Stop(), 0);
  EXPECT_EQ(input->LostFrames(), 0);

  std::vector<uint8_t> heard;
  for (size_t k = 0; k < recorded.size() && recorded.Done(k); ++k) {
    heard.insert(heard.end(), recorded.Data(k).begin(),
                 recorded.Data(k).begin() + recorded[k].bytesRecorded.load());
  }
  const int64_t frames = static_cast<int64_t>(heard.size()) / 4;
  int64_t first = -1;
  int64_t last = -1;
  for (int64_t f = 0; f < frames; ++f) {
    if (std::abs(test::SampleAt(heard.data(), f * 2, 16)) > 4000) {
      if (first < 0) first = f;
      last = f;
    }
  }
  ASSERT_GE(first, 0) << "nothing reached the sink";
  EXPECT_NEAR(static_cast<double>(last - first), 48000.0, 120.0);
  const test::ToneMeasure m = test::MeasureTone(heard, 16, 2, 48000, first + 2400, 43200);
  EXPECT_NEAR(m.frequency, 440.0, 0.5);
  EXPECT_NEAR(m.peak, 16422, 100);  // -6 dB of 32767
}

TEST_F(RtAudioOnServer, PauseHoldsTheOutputAndResetReturnsItsBuffers) {
  HeaderSet played(20, kTenthBytes);
  std::unique_ptr<WaveDevice> output;
  ASSERT_EQ(backend_->Open(WaveDirection::kOutput, -1, kFormat, output), 0);
  ASSERT_EQ(played.Queue(*output, 0, played.size()), 0);
  ASSERT_TRUE(WaitFor(std::chrono::seconds(3), [&] { return played.Done(0); }));
  ASSERT_EQ(output->Pause(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  int64_t held = 0;
  ASSERT_EQ(output->Position(held), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int64_t still = 0;
  ASSERT_EQ(output->Position(still), 0);
  EXPECT_EQ(still, held);
  ASSERT_EQ(output->Restart(), 0);
  ASSERT_TRUE(WaitFor(std::chrono::seconds(3), [&] {
    int64_t now = 0;
    output->Position(now);
    return now > held;
  }));
  ASSERT_EQ(output->Reset(), 0);
  for (size_t k = 0; k < played.size(); ++k) EXPECT_TRUE(played.Done(k)) << k;
  int64_t position = -1;
  ASSERT_EQ(output->Position(position), 0);
  EXPECT_EQ(position, 0);
}

// Restores an environment variable when the test is over.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    had_ = std::getenv(name) != nullptr;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// A sound server of the test's own, killed by its PID while a device is open.
class OwnServer {
 public:
  OwnServer()
      : runtime_("XDG_RUNTIME_DIR", (dir_.path() / "run").c_str()),
        config_("XDG_CONFIG_HOME", (dir_.path() / "config").c_str()),
        server_("PULSE_SERVER", ("unix:" + (dir_.path() / "run/pulse/native").string()).c_str()) {
    mkdir((dir_.path() / "run").c_str(), 0700);
    mkdir((dir_.path() / "config").c_str(), 0700);
    std::ofstream(dir_.file("test.pa"))
        << "load-module module-native-protocol-unix\n"
        << "load-module module-null-sink sink_name=gone rate=48000 norewinds=1\n";
    const std::string script = dir_.file("test.pa");
    const std::string log = "--log-target=file:" + dir_.file("pulse.log");
    const char* argv[] = {"pulseaudio",          "-n",        "-F",   script.c_str(), "--daemonize=no",
                          "--exit-idle-time=-1", log.c_str(), nullptr};
    if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
      pid_ = 0;
  }
  ~OwnServer() { Kill(); }
  bool Up() const {
    return pid_ != 0 && WaitFor(std::chrono::seconds(5), [] {
             return test::CommandOutput("pactl info >/dev/null 2>&1 && echo up") == "up";
           });
  }
  void Kill() {
    if (pid_ == 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  test::TempDir dir_;
  ScopedEnv runtime_;
  ScopedEnv config_;
  ScopedEnv server_;
  pid_t pid_ = 0;
};

TEST(RtAudioServerGone, AnOpenInputFailsClearlyWhenTheServerDies) {
  if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
  test::TempDir logs;
  ConfigureLog(LogConfig{1, logs.folder(), "host", "test"});
  OwnServer server;
  ASSERT_TRUE(server.Up());
  auto backend = CreateRtAudioWave();
  HeaderSet buffers(20, kTenthBytes);
  std::unique_ptr<WaveDevice> input;
  ASSERT_EQ(backend->Open(WaveDirection::kInput, -1, kFormat, input), 0);
  ASSERT_EQ(buffers.Queue(*input, 0, buffers.size()), 0);
  ASSERT_EQ(input->Start(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  server.Kill();

  int64_t position = 0;
  EXPECT_TRUE(
      WaitFor(std::chrono::seconds(3), [&] { return input->Position(position) == kWaveDeviceRemoved; }));
  // A broken stream must not race on and fill the buffers with stale blocks.
  EXPECT_LT(position, 48000 * 5);
  EXPECT_EQ(input->Queue(buffers[0]), kWaveDeviceRemoved);
  input.reset();
  std::string errors;
  for (const auto& entry : std::filesystem::directory_iterator(logs.path())) {
    std::ifstream in(entry.path());
    errors.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_NE(errors.find(" RtAudio: "), std::string::npos) << errors;
}

TEST(EmbeddedDefault, StandsInWhereNoSoundServerAnswers) {
  const ScopedEnv nowhere("PULSE_SERVER", "unix:/nonexistent/lumora-no-server");
  if (!CreateRtAudioWave()->DeviceNames(WaveDirection::kInput).empty()) {
    // RtAudio keeps the list of a server it reached earlier in this process
    // (as when the whole program runs at once), or the machine has devices.
    GTEST_SKIP() << "RtAudio lists devices without a server";
  }
  auto backend = CreateWaveBackend();
  EXPECT_EQ(backend->DeviceNames(WaveDirection::kInput), std::vector<std::string>{kTestSignalInputName});
  EXPECT_EQ(backend->DeviceNames(WaveDirection::kOutput), std::vector<std::string>{kSilentOutputName});

  // The test signal arrives in real time: 1 kHz at -20 dB.
  HeaderSet buffers(1, 2205 * 4);  // 50 ms at 44100 Hz
  std::unique_ptr<WaveDevice> input;
  ASSERT_EQ(backend->Open(WaveDirection::kInput, -1, MakeWaveFormat(SampleFormat{}), input), 0);
  ASSERT_EQ(buffers.Queue(*input, 0, 1), 0);
  ASSERT_EQ(input->Start(), 0);
  ASSERT_TRUE(WaitFor(std::chrono::seconds(5), [&] { return buffers.Done(0); }));
  const test::ToneMeasure m = test::MeasureTone(buffers.Data(0), 16, 2, 44100, 0, 2205);
  EXPECT_NEAR(m.frequency, 1000.0, 1.0);
  EXPECT_NEAR(m.peak, 3277, 2);
  std::unique_ptr<WaveDevice> output;
  EXPECT_EQ(backend->Open(WaveDirection::kOutput, 0, MakeWaveFormat(SampleFormat{}), output), 0);
}

TEST(EmbeddedDefault, StandsInOnlyForTheKindWithoutDevices) {
  auto real = std::make_unique<SimulatedWave>();
  real->AddOutput("Speakers");
  SimulatedWave* realDevices = real.get();
  auto backend = WithEmbeddedDefault(std::move(real));
  EXPECT_EQ(backend->DeviceNames(WaveDirection::kInput), std::vector<std::string>{kTestSignalInputName});
  EXPECT_EQ(backend->DeviceNames(WaveDirection::kOutput), std::vector<std::string>{"Speakers"});
  HeaderSet buffers(1, 400);
  std::unique_ptr<WaveDevice> output;
  ASSERT_EQ(backend->Open(WaveDirection::kOutput, 0, MakeWaveFormat(SampleFormat{}), output), 0);
  ASSERT_EQ(buffers.Queue(*output, 0, 1), 0);
  realDevices->Advance(0.01);
  EXPECT_TRUE(buffers.Done(0));  // it was the real output that played

  // A real input that appears later replaces the stand-in at the next listing.
  realDevices->AddInput("Microphone", MakeSilence());
  EXPECT_EQ(backend->DeviceNames(WaveDirection::kInput), std::vector<std::string>{"Microphone"});
  std::unique_ptr<WaveDevice> input;
  ASSERT_EQ(backend->Open(WaveDirection::kInput, 0, MakeWaveFormat(SampleFormat{}), input), 0);
  EXPECT_EQ(backend->Open(WaveDirection::kInput, 1, MakeWaveFormat(SampleFormat{}), input), kWaveBadDeviceId);
}

}  // namespace
}  // namespace lumora
