// The sound system's devices against the private test server (skipped without it),
// and the embedded default devices where no sound system answers.

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "common/LogFiles.h"
#include "common/ProgramRun.h"
#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using test::HeaderSet;
using test::WaitFor;
constexpr auto kIn = WaveDirection::kInput;
constexpr auto kOut = WaveDirection::kOutput;

const WaveFormat kFormat = MakeWaveFormat(SampleFormat{48000, 16, 2});
constexpr int64_t kTenthBytes = 4800 * 4;

int32_t IdOf(WaveBackend& backend, WaveDirection direction, const std::string& name) {
  const std::vector<std::string> names = backend.DeviceNames(direction);
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -2 : static_cast<int32_t>(it - names.begin());
}

class SoundSystemOnServer : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
    ASSERT_TRUE(sink_.loaded());
    backend_ = CreateSoundSystemWave();
  }
  test::PrivateSink sink_;
  std::unique_ptr<WaveBackend> backend_;
};

// Only devices of the kind open, and only in formats they take. (Playing
// into a sink whole is checked end to end with lumora-play.)
TEST_F(SoundSystemOnServer, RefusesTheWrongKindAndFormat) {
  std::unique_ptr<WaveDevice> refused;
  EXPECT_EQ(backend_->Open(kOut, IdOf(*backend_, kOut, sink_.MonitorName()), kFormat, refused),
            kWaveBadDeviceId);
  WaveFormat odd = kFormat;
  odd.samplesPerSec = 44000;
  odd.avgBytesPerSec = 176000;
  EXPECT_EQ(backend_->Open(kIn, 0, odd, refused), kWaveBadFormat);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(backend_->Open(kOut, IdOf(*backend_, kOut, sink_.SinkName()), kFormat, refused), 0);
}

TEST(SoundServerGone, AnOpenInputFailsClearlyWhenTheServerHangsOrDies) {
  if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
  test::TempDir dir;
  const std::string d = dir.folder();
  test::LogCapture log;
  // A server of the test's own, killed by its PID below; should the test stop
  // before, it leaves by itself two seconds after its last client.
  const test::ScopedEnv server("PULSE_SERVER", "unix:" + d + "run/pulse/native");
  std::ofstream(d + "test.pa") << "load-module module-native-protocol-unix\n"
                                  "load-module module-null-sink sink_name=gone rate=48000 norewinds=1\n";
  const pid_t pid =
      std::atoi(test::CommandOutput("mkdir -m 700 " + d + "run && XDG_RUNTIME_DIR=" + d +
                                    "run XDG_CONFIG_HOME=" + d + " pulseaudio -n -F " + d +
                                    "test.pa --daemonize=no --exit-idle-time=2 >/dev/null 2>&1 & echo $!")
                    .c_str());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(
      WaitFor(5s, [] { return test::CommandOutput("pactl info >/dev/null 2>&1 && echo up") == "up"; }));
  HeaderSet buffers(20, kTenthBytes);
  auto backend = CreateSoundSystemWave();
  std::unique_ptr<WaveDevice> input;
  ASSERT_EQ(backend->Open(kIn, -1, kFormat, input), 0);
  ASSERT_EQ(buffers.Queue(*input, 0, buffers.headers.size()), 0);
  ASSERT_EQ(input->Start(), 0);
  std::unique_ptr<WaveDevice> hung;  // closed while the server hangs: not waited on for ever
  ASSERT_EQ(backend->Open(kIn, -1, kFormat, hung), 0);
  ASSERT_EQ(hung->Start(), 0);
  std::this_thread::sleep_for(300ms);
  kill(pid, SIGSTOP);
  const auto closing = std::chrono::steady_clock::now();
  hung.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - closing, 3s);
  kill(pid, SIGKILL);

  int64_t position = 0;
  EXPECT_TRUE(WaitFor(3s, [&] { return input->Position(position) == kWaveDeviceRemoved; }));
  // A broken stream must not race on and fill the buffers with stale blocks.
  EXPECT_LT(position, 48000 * 5);
  EXPECT_EQ(input->Queue(buffers.headers[0]), kWaveDeviceRemoved);
  input.reset();
  EXPECT_NE(log.Text(".err").find(" PulseAudio: "), std::string::npos);
}

TEST(EmbeddedDefault, StandsInWhereNoSoundServerAnswers) {
  const test::ScopedEnv nowhere("PULSE_SERVER", "unix:/nonexistent/lumora-no-server");
  // A machine with a sound card has ALSA devices of its own.
  if (!CreateSoundSystemWave()->DeviceNames(kIn).empty()) GTEST_SKIP() << "ALSA lists devices";
  auto backend = CreateWaveBackend();
  EXPECT_EQ(backend->DeviceNames(kIn), std::vector<std::string>{kTestSignalInputName});
  EXPECT_EQ(backend->DeviceNames(kOut), std::vector<std::string>{kSilentOutputName});

  HeaderSet buffers(1, 2205 * 4);  // 50 ms at 44100 Hz
  std::unique_ptr<WaveDevice> input;
  std::unique_ptr<WaveDevice> output;
  ASSERT_EQ(backend->Open(kIn, -1, MakeWaveFormat(SampleFormat{}), input), 0);
  ASSERT_EQ(buffers.Queue(*input, 0, 1), 0);
  ASSERT_EQ(input->Start(), 0);
  ASSERT_TRUE(WaitFor(5s, [&] { return buffers.Done(0); }));  // in real time
  const test::ToneMeasure m = test::MeasureTone(buffers.data[0], 16, 2, 44100, 0, 2205);
  EXPECT_NEAR(m.frequency, 1000.0, 1.0);
  EXPECT_NEAR(m.peak, 3277, 2);  // -20 dB
  EXPECT_EQ(backend->Open(kOut, 0, MakeWaveFormat(SampleFormat{}), output), 0);
}

TEST(EmbeddedDefault, StandsInOnlyForTheKindWithoutDevices) {
  auto real = std::make_unique<SimulatedWave>();
  real->AddOutput("Speakers");
  SimulatedWave* realDevices = real.get();
  auto backend = WithEmbeddedDefault(std::move(real));
  EXPECT_EQ(backend->DeviceNames(kIn), std::vector<std::string>{kTestSignalInputName});
  EXPECT_EQ(backend->DeviceNames(kOut), std::vector<std::string>{"Speakers"});
  HeaderSet buffers(1, 400);
  std::unique_ptr<WaveDevice> device;
  ASSERT_EQ(backend->Open(kOut, 0, MakeWaveFormat(SampleFormat{}), device), 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 1), 0);
  realDevices->Advance(0.01);
  EXPECT_TRUE(buffers.Done(0));  // it was the real output that played

  // A real input that appears later replaces the stand-in at the next listing.
  realDevices->AddInput("Microphone", MakeSilence());
  EXPECT_EQ(backend->DeviceNames(kIn), std::vector<std::string>{"Microphone"});
  ASSERT_EQ(backend->Open(kIn, 0, MakeWaveFormat(SampleFormat{}), device), 0);
  EXPECT_EQ(backend->Open(kIn, 1, MakeWaveFormat(SampleFormat{}), device), kWaveBadDeviceId);
}

}  // namespace
}  // namespace lumora
