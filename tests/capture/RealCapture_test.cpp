// The capture ring on the real sound stack: a PulseAudio source of
// the private test server. Skipped when scripts/with-pulse.sh did not start one.

#include <gtest/gtest.h>

#include "capture/CaptureTestKit.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/WaveBackends.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

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
