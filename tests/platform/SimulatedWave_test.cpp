// The simulated devices, the signal generators and the sample-block
// conversions; the sound system's devices against the test server; and the
// embedded default devices where no sound system answers.

#include "platform/SimulatedWave.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <optional>

#include "common/LogFiles.h"
#include "common/ProgramRun.h"
#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "platform/PcmBlocks.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

using test::HeaderSet;
using test::PositionOf;

const WaveFormat kCd = MakeWaveFormat(SampleFormat{44100, 16, 2});
constexpr int64_t kTenthFrames = 4410;
constexpr int64_t kTenthBytes = kTenthFrames * 4;

std::unique_ptr<SignalSource> Script() {  // 2 s
  return MakeScript({{SignalSegment::Kind::kTone, 0.5, 1000.0, -6.0},
                     {SignalSegment::Kind::kNoise, 0.5, 0.0, -12.0},
                     {SignalSegment::Kind::kTone, 1.0, 440.0, -3.0}});
}

std::vector<uint8_t> Expected(int64_t first, int64_t frames) {
  return test::Render(*Script(), kCd, first, frames);
}

// Input 0 hears the script from time 0 on.
class SimulatedInput : public testing::Test {
 protected:
  SimulatedInput() { sim_.AddInput("mic", Script()); }
  // Opens input `id` with `count` buffers of 100 ms queued; true when all went well.
  bool OpenWith(int count, int32_t id = 0) {
    buffers_.emplace(count, kTenthBytes);
    return sim_.Open(WaveDirection::kInput, id, kCd, device_) == 0 &&
           buffers_->Queue(*device_, 0, count) == 0;
  }
  WaveHeader& Header(size_t k) { return buffers_->headers[k]; }

  SimulatedWave sim_;
  std::optional<HeaderSet> buffers_;
  std::unique_ptr<WaveDevice> device_;
};

TEST_F(SimulatedInput, FillsBuffersInOrderCountsLostFramesStopsAndResets) {
  ASSERT_TRUE(OpenWith(3));
  EXPECT_EQ(Header(0).Flags(), kWavePrepared | kWaveInQueue);
  ASSERT_EQ(device_->Start(), 0);
  sim_.Advance(0.05);
  EXPECT_FALSE(buffers_->Done(0));
  sim_.Advance(0.05);
  EXPECT_EQ(Header(0).Flags(), kWavePrepared | kWaveDone);
  EXPECT_FALSE(buffers_->Done(1));
  sim_.Advance(0.3);  // one tenth with nothing queued: counted, and lost
  EXPECT_EQ(buffers_->Recorded(), Expected(0, 3 * kTenthFrames));
  EXPECT_EQ(PositionOf(*device_), 4 * kTenthFrames);
  EXPECT_EQ(device_->LostFrames(), kTenthFrames);

  // Requeued buffers hold the newest frames; a stop returns the part-filled one.
  ASSERT_EQ(buffers_->Queue(*device_, 0, 3), 0);
  sim_.Advance(0.15);
  ASSERT_EQ(device_->Stop(), 0);
  EXPECT_EQ(buffers_->Recorded(), Expected(4 * kTenthFrames, kTenthFrames * 3 / 2));
  sim_.Advance(0.2);  // stopped: nothing is taken in, nothing counts as lost
  EXPECT_EQ(Header(2).Flags(), kWavePrepared | kWaveInQueue);
  EXPECT_EQ(device_->LostFrames(), kTenthFrames);
  EXPECT_EQ(device_->Reset(), 0);
  EXPECT_EQ(Header(2).Flags(), kWavePrepared | kWaveDone);
  EXPECT_EQ(Header(2).bytesRecorded.load(), 0);
  EXPECT_EQ(PositionOf(*device_), 0);
}

TEST_F(SimulatedInput, AWithheldBufferIsFilledButNeverMarkedDone) {
  ASSERT_TRUE(OpenWith(3));
  sim_.WithholdDoneAfter(1);
  ASSERT_EQ(device_->Start(), 0);
  sim_.Advance(0.3);
  EXPECT_EQ(Header(1).Flags(), kWavePrepared | kWaveInQueue);
  EXPECT_EQ(Header(1).bytesRecorded.load(), kTenthBytes);
  EXPECT_TRUE(buffers_->Done(0) && buffers_->Done(2));
  EXPECT_EQ(buffers_->data[2], Expected(2 * kTenthFrames, kTenthFrames));
  // The device has let go of it, so even a reset does not hand it back.
  EXPECT_EQ(device_->Reset(), 0);
  EXPECT_EQ(Header(1).Flags(), kWavePrepared | kWaveInQueue);
}

// A file of every format in, the same bytes out, then silence; the source says
// when its last frame has come back in a done buffer.
class SimulatedFileInput : public testing::TestWithParam<std::tuple<int, int>> {};

// The file's own format only (no silent conversion); a file cut short plays
// what it holds. Junk and missing files give a clear code.
TEST_P(SimulatedFileInput, DeliversTheFileBytesThenSilence) {
  const auto [bits, channels] = GetParam();
  const WaveFormat format =
      MakeWaveFormat(SampleFormat{8000, static_cast<int16_t>(bits), static_cast<int16_t>(channels)});
  std::vector<uint8_t> data(static_cast<size_t>(1200 * format.blockAlign));
  for (size_t k = 0; k < data.size(); ++k) data[k] = static_cast<uint8_t>(k * 7 + 3);
  test::TempDir dir;
  const std::string path = dir.file("in.wav");
  ASSERT_TRUE(test::WriteWav(path, 8000, bits, channels, data));
  std::filesystem::resize_file(path,
                               std::filesystem::file_size(path) - 200 * format.blockAlign);  // 125 ms left
  int32_t error = -1;
  SimulatedWave sim;
  sim.AddInput("file", OpenWaveFileSource(path, error));
  ASSERT_EQ(error, 0);
  HeaderSet buffers(4, 400 * format.blockAlign);  // 50 ms each
  std::unique_ptr<WaveDevice> device;
  EXPECT_EQ(sim.Open(WaveDirection::kInput, 0, kCd, device), kWaveBadFormat);
  ASSERT_EQ(sim.Open(WaveDirection::kInput, 0, format, device), 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 4), 0);
  ASSERT_EQ(device->Start(), 0);
  sim.Advance(0.125);  // the last frame is in, but its buffer is not full yet
  EXPECT_FALSE(sim.InputFinished(0));
  sim.Advance(0.025);
  EXPECT_TRUE(sim.InputFinished(0));
  std::fill(data.begin() + 1000 * format.blockAlign, data.end(), bits == 8 ? 0x80 : 0);
  EXPECT_EQ(buffers.Recorded(), data);

  test::WriteFileBytes(dir.file("junk.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
  for (const char* name : {"junk.wav", "missing.wav"}) {
    EXPECT_EQ(OpenWaveFileSource(dir.file(name), error), nullptr);
    EXPECT_EQ(std::exchange(error, 0), kWaveSourceUnreadable);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, SimulatedFileInput,
                         testing::Combine(testing::Values(8, 16, 24), testing::Values(1, 2)));

// The generators and the sample-block conversions, measured on their output.
using test::MeasureTone;
using test::Render;

WaveFormat Format(int32_t rate, int32_t bits, int32_t channels) {
  return MakeWaveFormat(SampleFormat{rate, static_cast<int16_t>(bits), static_cast<int16_t>(channels)});
}

class ToneInEveryFormat : public testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(ToneInEveryFormat, HasItsFrequencyAndLevelOnEveryChannel) {
  const auto [rate, bits, channels] = GetParam();
  const std::vector<uint8_t> bytes =
      Render(*MakeTone(1000.0, -6.0), Format(rate, bits, channels), 12345, rate);
  const double fullScale = bits == 8 ? 127 : bits == 16 ? 32767 : 8388607;
  for (int32_t channel = 0; channel < channels; ++channel) {
    const test::ToneMeasure m = MeasureTone(bytes, bits, channels, rate, 0, rate, channel);
    EXPECT_NEAR(m.frequency, 1000.0, 0.1);
    EXPECT_NEAR(m.peak, 0.501187 * fullScale, 0.002 * fullScale + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneInEveryFormat,
                         testing::Combine(testing::Values(8000, 192000), testing::Values(8, 16, 24),
                                          testing::Values(1, 2)));

TEST(Generators, AScriptPlaysItsSegmentsAndEndsInSilence) {
  const WaveFormat format = Format(8000, 8, 2);  // silence is 128 here
  auto script = MakeScript({{SignalSegment::Kind::kSilence, 0.5},
                            {SignalSegment::Kind::kTone, 0.25, 500.0, -20.0},
                            {SignalSegment::Kind::kNoise, 0.125, 0.0, 0.0}});
  EXPECT_EQ(script->Length(format), 7000);
  const std::vector<uint8_t> bytes = Render(*script, format, 0, 8000);
  EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 8000, 0x80), 8000);
  const test::ToneMeasure tone = MeasureTone(bytes, 8, 2, 8000, 4000, 2000, 1);
  EXPECT_NEAR(tone.frequency, 500.0, 0.5);
  EXPECT_EQ(tone.peak, 13);  // -20 dB of 127
  EXPECT_GT(MeasureTone(bytes, 8, 2, 8000, 6000, 1000).peak, 120);
  EXPECT_EQ(std::count(bytes.begin() + 14000, bytes.end(), 0x80), 2000);
}

TEST(PcmBlocks, ConvertBetweenMonoAndStereoInEveryDepth) {
  using Bytes = std::vector<uint8_t>;
  const Bytes mono16 = {0x01, 0x80, 0xFF, 0x7F};  // -32767, 32767
  Bytes stereo16(8);
  DuplicateMono(mono16.data(), 2, 2, stereo16.data());
  EXPECT_EQ(stereo16, (Bytes{0x01, 0x80, 0x01, 0x80, 0xFF, 0x7F, 0xFF, 0x7F}));

  const Bytes stereo24 = {0x00, 0x00, 0x80, 0x02, 0x00, 0x00,   // -8388608 and 2
                          0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0x7F};  // 8388607 twice
  Bytes mono24(6);
  MixToMono(stereo24.data(), 2, 3, mono24.data());
  EXPECT_EQ(mono24, (Bytes{0x01, 0x00, 0xC0, 0xFF, 0xFF, 0x7F}));

  Bytes eight = {0x80, 0x00, 0xFF};  // unsigned 0, -128, 127
  FlipSign(eight.data(), 3);
  EXPECT_EQ(eight, (Bytes{0x00, 0x80, 0x7F}));
  uint8_t mixed = 0xEE;
  MixToMono(eight.data() + 1, 1, 1, &mixed);  // signed -128 and 127: toward zero
  EXPECT_EQ(mixed, 0x00);
}

// The sound system's devices against the private test server (skipped without it),
// and the embedded default devices where no sound system answers.
using namespace std::chrono_literals;
using test::WaitFor;
constexpr auto kIn = WaveDirection::kInput;
constexpr auto kOut = WaveDirection::kOutput;

const WaveFormat kFormat = MakeWaveFormat(SampleFormat{48000, 16, 2});
constexpr int64_t kServerTenthBytes = 4800 * 4;  // 100 ms of kFormat

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
  HeaderSet buffers(20, kServerTenthBytes);
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
  EXPECT_NEAR(test::MeasureTone(buffers.data[0], 16, 2, 44100, 0, 2205).peak, 3277, 2);  // -20 dB
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
