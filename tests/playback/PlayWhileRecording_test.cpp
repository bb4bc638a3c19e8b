// The take being recorded, played back by the transport from the recorder's
// own tick: what is heard is the file, frame for frame, from the clamped start
// to the end of the finished take; and the playback meter reads it.

#include "playback/PlaybackKit.h"
#include "playback/RecorderPlaySession.h"
#include "recording/RecorderFixture.h"

namespace lumora::test {
namespace {

class LevelsSeen final : public VuMeter {
 public:
  void DrawVU(int32_t bar, float rmsDb, float, const std::string&, float) override { rms[bar] = rmsDb; }
  float rms[2] = {-110.0f, -110.0f};
};

class PlayWhileRecording : public RecorderFixture {};

TEST_F(PlayWhileRecording, TheGrowingTakeIsHeardWholeFromBehindTheTake) {
  Use(MakeTone(440.0, -6.0), 8000);
  RecorderPlaySession session(*recorder_, devices_);
  FakeView view;
  PlayEngine engine(devices_, session);
  PlayTransport transport(engine, view, session);
  LevelsSeen meter;
  transport.scanOutputs.meter = &meter;
  recorder_->playbackStep = [&transport](bool redraw) { transport.Tick(redraw); };
  Start();
  RecordFrames(8000 * 12);
  transport.Seek(8000 * 12);  // as near the end as may be
  transport.PlayButtonClick(2);
  ASSERT_EQ(transport.PlayRequested(), 1);
  const int64_t start = transport.PlayStartFrame();
  EXPECT_EQ(start, recorder_->State().counters.FramesFlushed - 50 * 800 - 3 * 8000);
  TickFor(6.0);
  EXPECT_EQ(transport.PlayRequested(), 1) << "playback does not catch up with the take";
  EXPECT_NEAR(meter.rms[0], -9.03f, 0.2f);  // a sine 6 dB below full scale
  Stop();
  for (int n = 0; transport.PlayRequested() && n < 1000; ++n) Tick();
  ASSERT_EQ(transport.PlayRequested(), 0);
  const std::vector<uint8_t> take = DataOf(recorder_->State().names.RecFileName);
  const std::vector<uint8_t> heard = devices_.OutputBytes(0);
  EXPECT_EQ(heard, std::vector<uint8_t>(take.begin() + start * 4, take.end()));
  EXPECT_EQ(view.position, static_cast<int64_t>(take.size() / 4));
}

}  // namespace
}  // namespace lumora::test
