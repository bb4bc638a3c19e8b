// The capture ring over the simulated devices and over the test sound server.

#include <gtest/gtest.h>

#include <functional>

#include "capture/CaptureTestKit.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

const WaveFormat kCd = MakeWaveFormat(SampleFormat{44100, 16, 2});
constexpr int64_t kFrames = 4410;  // 100 ms at 44100 Hz

std::unique_ptr<SignalSource> Script() {
  return MakeScript({{SignalSegment::Kind::kTone, 2.0, 1000.0, -6.0},
                     {SignalSegment::Kind::kSilence, 1.0},
                     {SignalSegment::Kind::kNoise, 3.0, 0.0, -20.0},
                     {SignalSegment::Kind::kTone, 20.0, 440.0, -1.0}});
}

std::vector<uint8_t> Expected(int64_t first, int64_t frames) {
  return test::Render(*Script(), kCd, first, frames);
}

class CaptureRingTest : public test::CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    sim_.AddInput("Microphone (2- USB Audio)", Script());
  }
  bool Open() { return ring_.SetupCaptureBuffers(kCd, kFrames) == 1 && ring_.OpenCapture(sim_, 0) == 1; }

  // One timer tick's capture work, as the recorder does it: the expected
  // buffer, when done, is collected, copied out and queued again.
  bool CollectNext(std::vector<uint8_t>& captured) {
    const int32_t i = ring_.NextBuffer();
    if ((ring_.Flags(i) & kWaveDone) == 0) return false;
    ring_.Collect(i);
    EXPECT_EQ(ring_.CurrentRange(i).first * kCd.blockAlign, std::ssize(captured)) << "buffer " << i;
    const uint8_t* bytes = ring_.BufferAddress(i, 0);
    captured.insert(captured.end(), bytes, bytes + ring_.BytesRecorded(i));
    EXPECT_EQ(ring_.Requeue(i), 0);
    ring_.MarkRequeued(i);
    return true;
  }
  bool AllIdle() const {
    for (int32_t i = 0; i < kCaptureBuffers; ++i) {
      if (ring_.BufferStatus(i) != kBufferIdle || (ring_.Flags(i) & kWaveInQueue) != 0) return false;
    }
    return true;
  }

  SimulatedWave sim_;
  CaptureRing ring_;
};

// A refused requeue is reported and keeps the ranges; a reopen counts frames
// from its own start.
TEST_F(CaptureRingTest, ARefusedRequeueKeepsTheRangesAndAReopenStartsAfresh) {
  ASSERT_TRUE(Open());
  sim_.Advance(0.1);
  ring_.Collect(0);
  sim_.FailQueueAfter(0, kWaveRefused);
  EXPECT_EQ(ring_.Requeue(0), kWaveRefused);
  EXPECT_EQ(ring_.FrameCounter(), 220500);
  ASSERT_EQ(ring_.Requeue(0), 0);
  EXPECT_EQ(ring_.CurrentRange(0).first, 220500);
  ring_.CloseCapture();
  EXPECT_TRUE(AllIdle());
  sim_.Advance(1.0);  // heard by no one
  ASSERT_EQ(ring_.OpenCapture(sim_, 0), 1);
  EXPECT_EQ(ring_.PreviousRange(0).first, -1);
  sim_.Advance(0.1);
  std::vector<uint8_t> captured;
  ASSERT_TRUE(CollectNext(captured));
  EXPECT_EQ(captured, Expected(48510, kFrames));  // 1.1 s in
}

TEST_F(CaptureRingTest, ARefusedOpenIsShownLeavesTheDeviceClosedAndTheNextStartsAfresh) {
  struct Case {
    std::function<void()> fault;
    int32_t id;
    std::string text;
  };
  const Case cases[] = {
      {[&] { sim_.FailOpen(kWaveAllocated); }, 0, "デバイスは別のプログラムが使用中です。"},
      {[&] { sim_.FailOpen(0); }, 5, "指定されたデバイスはありません。"},
      {[&] { sim_.FailQueueAfter(10, kWaveRefused); }, 0,
       "デバイスが要求を拒否しました (シミュレーション)。"},
  };
  ASSERT_EQ(ring_.SetupCaptureBuffers(kCd, kFrames), 1);
  for (const Case& c : cases) {
    c.fault();
    EXPECT_EQ(ring_.OpenCapture(sim_, c.id), 0) << c.text;
    EXPECT_FALSE(ring_.IsOpen());
    EXPECT_TRUE(AllIdle()) << c.text;
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "録音デバイス: " + c.text);
  }
  ASSERT_EQ(ring_.OpenCapture(sim_, -1), 1);  // the default device, with fresh ranges
  EXPECT_EQ(ring_.PreviousRange(10).first, -1);
}

// The capture ring on the real sound stack: a PulseAudio source of
// the private test server. Skipped when scripts/with-pulse.sh did not start one.
class RealCapture : public test::CaptureTest {};

// Polled as the recorder's timer does, the ring hands over the server's sine
// source whole: every buffer full, each range following the last, no gap.
TEST_F(RealCapture, RecordsTheServersSineSourceWithoutAGap) {
  if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
  auto backend = CreateSoundSystemWave();
  const int32_t id = FindWaveDevice(*backend, true, "Sine source at 1000 Hz", false);
  ASSERT_GE(id, 0);
  CaptureRing ring;
  ASSERT_EQ(ring.SetupCaptureBuffers(MakeWaveFormat(SampleFormat{48000, 16, 2}), 4800), 1);
  ASSERT_EQ(ring.OpenCapture(*backend, id), 1) << (messages_.empty() ? "" : messages_[0]);
  std::vector<uint8_t> captured;
  ASSERT_TRUE(test::WaitFor(std::chrono::seconds(5), [&] {
    for (int32_t i = ring.NextBuffer(); ring.Flags(i) & kWaveDone; i = ring.NextBuffer()) {
      ring.Collect(i);
      EXPECT_EQ(ring.CurrentRange(i).first * 4, std::ssize(captured));
      EXPECT_EQ(ring.BytesRecorded(i), ring.BufferBytes());
      captured.insert(captured.end(), ring.BufferAddress(i, 0),
                      ring.BufferAddress(i, 0) + ring.BufferBytes());
      EXPECT_EQ(ring.Requeue(i), 0);
      ring.MarkRequeued(i);
    }
    return captured.size() >= 60000 * 4;
  }));
  EXPECT_EQ(ring.LostFrames(), 0);
  const int64_t frames = std::ssize(captured) / 4;
  int64_t position = 0;
  EXPECT_EQ(ring.Position(position), 0);
  EXPECT_GE(position, frames);

  // The source starts at once; skip its first buffer all the same.
  const test::ToneMeasure m = test::MeasureTone(captured, 16, 2, 48000, 4800, 48000);
  EXPECT_NEAR(m.frequency, 1000.0, 0.5);
  EXPECT_GT(m.peak, 1000);
  EXPECT_NEAR(test::MeasureTone(captured, 16, 2, 48000, 50000, 9600).peak, m.peak, m.peak * 0.02);
  int64_t quiet = 0;  // a 1 kHz tone never stays near zero for a whole period
  for (int64_t f = 4800; f < frames; ++f) {
    quiet = std::abs(test::SampleAt(captured.data(), f * 2, 16)) < m.peak / 10 ? quiet + 1 : 0;
    ASSERT_LT(quiet, 48) << "a gap at frame " << f;
  }
}

}  // namespace
}  // namespace lumora
