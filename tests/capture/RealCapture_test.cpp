// The capture ring on the real sound stack: RtAudio's PulseAudio API against
// the private test server. Skipped when scripts/with-pulse.sh did not start one.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "capture/CaptureTestKit.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SignalSource.h"
#include "platform/WaveBackends.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;

const WaveFormat kFormat = MakeWaveFormat(SampleFormat{48000, 16, 2});
constexpr int64_t kFrames = 4800;  // 100 ms

class RealCaptureTest : public test::CaptureTest {
 protected:
  void SetUp() override {
    if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
    CaptureTest::SetUp();
    backend_ = CreateRtAudioWave();
  }

  // Opens the named input with the 50-buffer ring.
  void Open(const std::string& name) {
    const int32_t id = FindWaveDevice(*backend_, true, name, false);
    ASSERT_GE(id, 0) << name;
    ASSERT_EQ(ring_.SetupCaptureBuffers(kFormat, kFrames), 1);
    ASSERT_EQ(ring_.OpenCapture(*backend_, id), 1) << (messages_.empty() ? "" : messages_[0].text);
  }

  // Polls the ring every 10 ms until `until` returns true (at most `limit`),
  // collecting each buffer in turn as the recorder's timer does; checks that
  // the collected ranges follow one another.
  template <class Until>
  void Collect(std::chrono::milliseconds limit, Until&& until) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline && !until()) {
      const int32_t i = ring_.NextBuffer();
      if ((ring_.Flags(i) & kWaveDone) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      ring_.Collect(i);
      ASSERT_EQ(ring_.CurrentRange(i).first * kFormat.blockAlign, static_cast<int64_t>(captured_.size()));
      ASSERT_EQ(ring_.BytesRecorded(i), ring_.BufferBytes());
      const uint8_t* bytes = ring_.BufferAddress(i, 0);
      captured_.insert(captured_.end(), bytes, bytes + ring_.BufferBytes());
      ASSERT_EQ(ring_.Requeue(i), 0);
      ring_.MarkRequeued(i);
    }
  }

  int64_t CapturedFrames() const { return static_cast<int64_t>(captured_.size()) / kFormat.blockAlign; }

  std::unique_ptr<WaveBackend> backend_;
  CaptureRing ring_;
  std::vector<uint8_t> captured_;
};

TEST_F(RealCaptureTest, RecordsWhatIsPlayedIntoTheSinkFromItsMonitor) {
  test::PrivateSink sink;
  ASSERT_TRUE(sink.loaded());
  // 1.5 s of 440 Hz at -12 dB.
  const int64_t toneFrames = 72000;
  std::vector<uint8_t> tone(static_cast<size_t>(toneFrames * kFormat.blockAlign));
  MakeTone(440.0, -12.0)->Render(0, toneFrames, kFormat, tone.data());
  test::WriteFileBytes(dir_.file("tone.wav"), test::WavFileBytes(48000, 16, 2, tone));

  Open(sink.MonitorName());
  std::atomic<bool> played{false};
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(sink.Play(dir_.file("tone.wav")));
    played = true;
  });
  Clock::time_point playedAt{};
  Collect(std::chrono::seconds(8), [&] {
    if (!played) return false;
    if (playedAt == Clock::time_point{}) playedAt = Clock::now();
    return Clock::now() - playedAt > std::chrono::milliseconds(600);
  });
  player.join();
  EXPECT_EQ(ring_.LostFrames(), 0);

  // Where the tone is: the first and last frame above a quarter of its level.
  const int64_t total = CapturedFrames();
  int64_t first = -1;
  int64_t last = -1;
  for (int64_t f = 0; f < total; ++f) {
    if (std::abs(test::SampleAt(captured_.data(), f * 2, 16)) > 2000) {
      if (first < 0) first = f;
      last = f;
    }
  }
  ASSERT_GE(first, 0) << "nothing heard in " << total << " frames";
  EXPECT_NEAR(static_cast<double>(last - first), static_cast<double>(toneFrames), 120.0);
  const test::ToneMeasure m = test::MeasureTone(captured_, 16, 2, 48000, first + 4800, 48000);
  EXPECT_NEAR(m.frequency, 440.0, 0.5);
  EXPECT_NEAR(m.peak, 8231, 60);  // -12 dB of 32767
  const test::ToneMeasure right = test::MeasureTone(captured_, 16, 2, 48000, first + 4800, 48000, 1);
  EXPECT_NEAR(right.peak, 8231, 60);
  // No gap inside: a 440 Hz tone never stays near zero for a whole period.
  int64_t quiet = 0;
  for (int64_t f = first; f <= last; ++f) {
    quiet = std::abs(test::SampleAt(captured_.data(), f * 2, 16)) < 500 ? quiet + 1 : 0;
    ASSERT_LT(quiet, 110) << "a gap at frame " << f;
  }
  ring_.CloseCapture();
}

TEST_F(RealCaptureTest, RecordsTheServersSineSource) {
  Open("Sine source at 1000 Hz");
  Collect(std::chrono::seconds(5), [&] { return CapturedFrames() >= 60000; });
  ASSERT_GE(CapturedFrames(), 60000);
  EXPECT_EQ(ring_.LostFrames(), 0);
  int64_t position = 0;
  EXPECT_EQ(ring_.Position(position), 0);
  EXPECT_GE(position, CapturedFrames());
  // The source starts at once; skip its first buffer all the same.
  const test::ToneMeasure m = test::MeasureTone(captured_, 16, 2, 48000, 4800, 48000);
  EXPECT_NEAR(m.frequency, 1000.0, 0.5);
  const test::ToneMeasure late = test::MeasureTone(captured_, 16, 2, 48000, 50000, 9600);
  EXPECT_GT(m.peak, 1000);
  EXPECT_NEAR(late.peak, m.peak, m.peak * 0.02);  // a steady level
}

}  // namespace
}  // namespace lumora
