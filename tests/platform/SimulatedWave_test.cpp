#include "platform/SimulatedWave.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

using test::HeaderSet;

const WaveFormat kCd = MakeWaveFormat(SampleFormat{44100, 16, 2});
constexpr int64_t kTenthFrames = 4410;
constexpr int64_t kTenthBytes = kTenthFrames * 4;

std::vector<SignalSegment> TestScript() {
  return {{SignalSegment::Kind::kTone, 0.5, 1000.0, -6.0},
          {SignalSegment::Kind::kNoise, 0.5, 0.0, -12.0},
          {SignalSegment::Kind::kTone, 1.0, 440.0, -3.0}};
}

// What the script sounds like from `first` on, rendered directly.
std::vector<uint8_t> Expected(int64_t first, int64_t frames, const WaveFormat& format = kCd) {
  std::vector<uint8_t> bytes(static_cast<size_t>(frames * format.blockAlign));
  MakeScript(TestScript())->Render(first, frames, format, bytes.data());
  return bytes;
}

std::unique_ptr<WaveDevice> OpenOrFail(SimulatedWave& sim, WaveDirection direction, int32_t id,
                                       const WaveFormat& format = kCd) {
  std::unique_ptr<WaveDevice> device;
  EXPECT_EQ(sim.Open(direction, id, format, device), 0);
  return device;
}

TEST(SimulatedInput, FillsQueuedBuffersInOrderOnTheSteppedTimeline) {
  SimulatedWave sim;
  sim.AddInput("mic", MakeScript(TestScript()));
  HeaderSet buffers(4, kTenthBytes);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 4), 0);
  EXPECT_EQ(buffers[0].Flags(), kWavePrepared | kWaveInQueue);
  ASSERT_EQ(device->Start(), 0);

  sim.Advance(0.05);
  EXPECT_FALSE(buffers.Done(0));
  sim.Advance(0.05);
  EXPECT_EQ(buffers[0].Flags(), kWavePrepared | kWaveDone);
  EXPECT_EQ(buffers[0].bytesRecorded.load(), kTenthBytes);
  EXPECT_FALSE(buffers.Done(1));
  sim.Advance(0.3);
  for (size_t k = 0; k < 4; ++k) EXPECT_TRUE(buffers.Done(k)) << k;
  EXPECT_EQ(buffers.Joined(0, 4), Expected(0, 4 * kTenthFrames));

  int64_t position = -1;
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, 4 * kTenthFrames);
  EXPECT_EQ(device->LostFrames(), 0);

  // With nothing queued the device goes on counting, as a real one does.
  sim.Advance(0.1);
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, 5 * kTenthFrames);
  EXPECT_EQ(device->LostFrames(), kTenthFrames);
  // Requeued, a buffer holds the newest frames, not the lost ones.
  ASSERT_EQ(device->Queue(buffers[0]), 0);
  sim.Advance(0.1);
  EXPECT_TRUE(buffers.Done(0));
  EXPECT_EQ(buffers.Data(0), Expected(5 * kTenthFrames, kTenthFrames));
}

TEST(SimulatedInput, TheSourceRunsOnWhileNoDeviceListens) {
  SimulatedWave sim;
  sim.Advance(2.0);  // before the source exists: nothing of it passes
  sim.AddInput("mic", MakeScript(TestScript()));
  sim.Advance(0.75);
  HeaderSet buffers(1, kTenthBytes);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 1), 0);
  sim.Advance(0.25);  // opened but not started: frames still pass by
  ASSERT_EQ(device->Start(), 0);
  sim.Advance(0.1);
  ASSERT_TRUE(buffers.Done(0));
  EXPECT_EQ(buffers.Data(0), Expected(44100, kTenthFrames));
}

TEST(SimulatedInput, StopReturnsThePartBufferAndResetReturnsEveryBuffer) {
  SimulatedWave sim;
  sim.AddInput("mic", MakeScript(TestScript()));
  HeaderSet buffers(3, kTenthBytes);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 3), 0);
  ASSERT_EQ(device->Start(), 0);
  sim.Advance(0.15);
  ASSERT_EQ(device->Stop(), 0);
  EXPECT_TRUE(buffers.Done(1));
  EXPECT_EQ(buffers[1].bytesRecorded.load(), kTenthBytes / 2);
  EXPECT_EQ(buffers[2].Flags(), kWavePrepared | kWaveInQueue);
  sim.Advance(0.2);  // stopped: nothing is taken in, nothing counts as lost
  EXPECT_EQ(buffers[2].Flags(), kWavePrepared | kWaveInQueue);
  EXPECT_EQ(device->LostFrames(), 0);

  EXPECT_EQ(device->Reset(), 0);
  EXPECT_EQ(buffers[2].Flags(), kWavePrepared | kWaveDone);
  EXPECT_EQ(buffers[2].bytesRecorded.load(), 0);
  int64_t position = -1;
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, 0);
}

TEST(SimulatedInput, ChecksTheQueueRules) {
  SimulatedWave sim;
  sim.AddInput("mic", MakeSilence());
  HeaderSet buffers(kWaveQueueCapacity + 1, 400);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  EXPECT_EQ(device->Queue(buffers[0]), kWaveUnprepared);
  ASSERT_EQ(device->Prepare(buffers[0]), 0);
  ASSERT_EQ(device->Queue(buffers[0]), 0);
  EXPECT_EQ(device->Queue(buffers[0]), kWaveStillPlaying);
  EXPECT_EQ(device->Unprepare(buffers[0]), kWaveStillPlaying);
  EXPECT_EQ(buffers.Queue(*device, 1, kWaveQueueCapacity), 0);
  EXPECT_EQ(buffers.Queue(*device, kWaveQueueCapacity, kWaveQueueCapacity + 1), kWaveQueueFull);

  WaveHeader odd;
  std::vector<uint8_t> bytes(402);
  odd.data = bytes.data();
  odd.length = 402;  // not whole 4-byte frames
  ASSERT_EQ(device->Prepare(odd), 0);
  EXPECT_EQ(device->Queue(odd), kWaveInvalidParam);
  WaveHeader empty;
  ASSERT_EQ(device->Prepare(empty), 0);
  EXPECT_EQ(device->Queue(empty), kWaveInvalidParam);
  EXPECT_EQ(device->Pause(), kWaveNotSupported);
  EXPECT_EQ(device->Restart(), kWaveNotSupported);
}

// A file of every format in, the same bytes out, then silence; the source says
// when its last frame has come back in a done buffer.
class SimulatedFileInput : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SimulatedFileInput, DeliversTheFileBytesThenSilence) {
  const auto [bits, channels] = GetParam();
  const WaveFormat format =
      MakeWaveFormat(SampleFormat{8000, static_cast<int16_t>(bits), static_cast<int16_t>(channels)});
  const int64_t frames = 1000;  // 125 ms at 8000 Hz
  std::vector<uint8_t> data(static_cast<size_t>(frames * format.blockAlign));
  for (size_t k = 0; k < data.size(); ++k) data[k] = static_cast<uint8_t>(k * 7 + 3);
  test::TempDir dir;
  test::WriteFileBytes(dir.file("in.wav"), test::WavFileBytes(8000, bits, channels, data));
  int32_t error = -1;
  auto source = OpenWaveFileSource(dir.file("in.wav"), error);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(source->PreferredFormat().bitsPerSample, bits);

  SimulatedWave sim;
  sim.AddInput("file", std::move(source));
  const int64_t bufferFrames = 400;  // 50 ms
  HeaderSet buffers(4, bufferFrames * format.blockAlign);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0, format);
  ASSERT_EQ(buffers.Queue(*device, 0, 4), 0);
  ASSERT_EQ(device->Start(), 0);
  sim.Advance(0.125);  // the last frame is in, but its buffer is not full yet
  EXPECT_TRUE(buffers.Done(1));
  EXPECT_FALSE(buffers.Done(2));
  EXPECT_FALSE(sim.InputFinished(0));
  sim.Advance(0.025);
  ASSERT_TRUE(buffers.Done(2));
  EXPECT_TRUE(sim.InputFinished(0));

  std::vector<uint8_t> expected = data;
  expected.resize(static_cast<size_t>(3 * bufferFrames * format.blockAlign), bits == 8 ? 0x80 : 0);
  EXPECT_EQ(buffers.Joined(0, 3), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, SimulatedFileInput,
                         testing::Combine(testing::Values(8, 16, 24), testing::Values(1, 2)));

TEST(SimulatedFileInputErrors, BadFilesAndFormatsGiveClearCodes) {
  test::TempDir dir;
  int32_t error = 0;
  test::WriteFileBytes(dir.file("junk.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
  EXPECT_EQ(OpenWaveFileSource(dir.file("junk.wav"), error), nullptr);
  EXPECT_EQ(error, kWaveSourceUnreadable);
  error = 0;
  EXPECT_EQ(OpenWaveFileSource(dir.file("missing.wav"), error), nullptr);
  EXPECT_EQ(error, kWaveSourceUnreadable);

  // Six channels are a valid file, but no device takes them.
  test::WriteFileBytes(dir.file("six.wav"), test::WavFileBytes(48000, 16, 6, std::vector<uint8_t>(1200)));
  auto six = OpenWaveFileSource(dir.file("six.wav"), error);
  ASSERT_NE(six, nullptr);
  SimulatedWave sim;
  sim.AddInput("six", std::move(six));
  test::WriteFileBytes(dir.file("mono.wav"), test::WavFileBytes(22050, 16, 1, std::vector<uint8_t>(100)));
  sim.AddInput("mono", OpenWaveFileSource(dir.file("mono.wav"), error));
  std::unique_ptr<WaveDevice> device;
  EXPECT_EQ(sim.Open(WaveDirection::kInput, 0, MakeWaveFormat(SampleFormat{48000, 16, 2}), device),
            kWaveBadFormat);
  // A file takes only its own format: no silent conversion.
  EXPECT_EQ(sim.Open(WaveDirection::kInput, 1, kCd, device), kWaveBadFormat);
  EXPECT_EQ(sim.Open(WaveDirection::kInput, 1, MakeWaveFormat(SampleFormat{22050, 16, 1}), device), 0);
}

TEST(SimulatedFileInputErrors, AFileCutShortPlaysWhatItHolds) {
  test::TempDir dir;
  const std::vector<uint8_t> data(800, 0x11);  // 200 frames; the header claims 2000
  test::WriteFileBytes(dir.file("cut.wav"), test::WavFileBytes(8000, 16, 2, data, 8000));
  int32_t error = 0;
  auto source = OpenWaveFileSource(dir.file("cut.wav"), error);
  ASSERT_NE(source, nullptr);
  const WaveFormat format = source->PreferredFormat();
  EXPECT_EQ(source->Length(format), 200);
  std::vector<uint8_t> out(1600, 0xEE);
  source->Render(100, 400, format, out.data());
  EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 400, [](uint8_t b) { return b == 0x11; }));
  EXPECT_TRUE(std::all_of(out.begin() + 400, out.end(), [](uint8_t b) { return b == 0; }));
}

TEST(SimulatedInput, AnInputHeardByNobodyFinishesWithItsTimeline) {
  SimulatedWave sim;
  sim.AddInput("script", MakeScript(TestScript()));
  sim.AddInput("endless", MakeTone(1000, -20));
  sim.Advance(1.999);
  EXPECT_FALSE(sim.InputFinished(0));
  sim.Advance(0.001);
  EXPECT_TRUE(sim.InputFinished(0));
  EXPECT_FALSE(sim.InputFinished(1));
  EXPECT_FALSE(sim.InputFinished(7));
}

TEST(SimulatedOutput, PlaysQueuedBuffersIntoMemoryAtTheirRate) {
  SimulatedWave sim;
  sim.AddOutput("speaker");
  HeaderSet buffers(3, kTenthBytes);
  auto device = OpenOrFail(sim, WaveDirection::kOutput, 0);
  for (size_t k = 0; k < 3; ++k) {
    for (size_t b = 0; b < buffers.Data(k).size(); ++b) buffers.Data(k)[b] = static_cast<uint8_t>(k * 31 + b);
  }
  sim.Advance(0.5);  // nothing queued: silence, which is neither kept nor counted
  ASSERT_EQ(buffers.Queue(*device, 0, 3), 0);
  sim.Advance(0.1);
  EXPECT_TRUE(buffers.Done(0));
  EXPECT_FALSE(buffers.Done(1));

  ASSERT_EQ(device->Pause(), 0);
  sim.Advance(1.0);
  EXPECT_FALSE(buffers.Done(1));
  int64_t position = -1;
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, kTenthFrames);
  ASSERT_EQ(device->Restart(), 0);
  sim.Advance(0.5);
  EXPECT_TRUE(buffers.Done(2));
  EXPECT_EQ(sim.OutputBytes(0), buffers.Joined(0, 3));
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, 3 * kTenthFrames);
  EXPECT_EQ(device->Stop(), kWaveNotSupported);
  EXPECT_EQ(device->Start(), 0);

  // A reset hands back what is still queued, unplayed, and starts the count anew.
  ASSERT_EQ(buffers.Queue(*device, 0, 2), 0);
  sim.Advance(0.05);
  ASSERT_EQ(device->Reset(), 0);
  EXPECT_TRUE(buffers.Done(0) && buffers.Done(1));
  EXPECT_EQ(sim.OutputBytes(0).size(), static_cast<size_t>(3 * kTenthBytes + kTenthBytes / 2));
  EXPECT_EQ(device->Position(position), 0);
  EXPECT_EQ(position, 0);
}

TEST(SimulatedFaults, AWithheldBufferIsFilledButNeverMarkedDone) {
  SimulatedWave sim;
  sim.AddInput("mic", MakeScript(TestScript()));
  HeaderSet buffers(3, kTenthBytes);
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 3), 0);
  sim.WithholdDoneAfter(1);
  ASSERT_EQ(device->Start(), 0);
  sim.Advance(0.3);
  EXPECT_TRUE(buffers.Done(0));
  EXPECT_EQ(buffers[1].Flags(), kWavePrepared | kWaveInQueue);
  EXPECT_EQ(buffers[1].bytesRecorded.load(), kTenthBytes);
  EXPECT_TRUE(buffers.Done(2));
  EXPECT_EQ(buffers.Data(2), Expected(2 * kTenthFrames, kTenthFrames));
  // The device has let go of it, so even a reset does not hand it back.
  EXPECT_EQ(device->Reset(), 0);
  EXPECT_EQ(buffers[1].Flags(), kWavePrepared | kWaveInQueue);
}

TEST(SimulatedPacing, AClockThreadCompletesBuffersInRealTime) {
  SimulatedWave sim;
  sim.AddInput("mic", MakeTone(1000, -6));
  HeaderSet buffers(1, 441 * 4);  // 10 ms
  auto device = OpenOrFail(sim, WaveDirection::kInput, 0);
  ASSERT_EQ(buffers.Queue(*device, 0, 1), 0);
  ASSERT_EQ(device->Start(), 0);
  sim.StartPacing();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!buffers.Done(0) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(buffers.Done(0));
  sim.StopPacing();
  const double stopped = sim.Now();
  EXPECT_GE(stopped, 0.01);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(sim.Now(), stopped);
}

}  // namespace
}  // namespace lumora
