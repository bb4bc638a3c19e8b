// The transport as the window drives it: buttons, the position bar, the keys'
// head moves, the tally codes and what the window is told to show.

#include "meters/Levels.h"
#include "platform/WaveError.h"
#include "playback/PlaybackKit.h"
#include "support/TimeText.h"

namespace lumora::test {
namespace {

constexpr int64_t kTakeFrames = 44100 * 3;

class TransportTest : public PlaybackTest {
 protected:
  TransportTest() { WriteTake(44100, 16, 2, Pcm(Ramp(kTakeFrames, 2, 16), 16)); }
};

// Pause holds the place and play is ignored meanwhile; every change sends its
// tally code, inverted or not; stopping while paused turns both lights off.
TEST_F(TransportTest, PauseHoldsThePlaceAndEveryChangeSendsItsTally) {
  struct Case {
    int32_t invert;
    std::vector<int32_t> codes;  // started, paused, resumed, paused, stopped, stopped while paused
  };
  for (const Case& c : {Case{0, {1, 3, 103, 3, 101, 103}}, Case{1, {101, 103, 3, 103, 1, 3}}}) {
    SCOPED_TRACE(c.invert);
    tally_.codes.clear();
    tally_.invert = c.invert;
    transport_.PlayButtonClick(0);
    transport_.PlayButtonClick(2);
    EXPECT_EQ(view_.look, PlayButtonLook::kActive);
    Ticks(10);
    transport_.PlayButtonClick(1);
    EXPECT_EQ(view_.look, PlayButtonLook::kPaused);
    const int64_t held = transport_.PlayPosition();
    const size_t heard = Heard().size();
    transport_.PlayButtonClick(2);  // ignored while paused
    Ticks(10);
    EXPECT_EQ(transport_.PlayPosition(), held);
    EXPECT_EQ(Heard().size(), heard);
    transport_.PlayButtonClick(1);
    EXPECT_EQ(view_.look, PlayButtonLook::kActive);
    Ticks(10);
    EXPECT_GT(transport_.PlayPosition(), held);
    transport_.PlayButtonClick(1);
    transport_.PlayButtonClick(0);
    EXPECT_EQ(view_.look, PlayButtonLook::kInactive);
    EXPECT_EQ(transport_.PlayPaused(), 0);
    EXPECT_EQ(tally_.codes, c.codes);
  }
  // Stop when stopped rewinds to 0.
  transport_.PlayButtonClick(0);
  EXPECT_EQ(view_.position, 0);
  EXPECT_EQ(view_.time, TimeText(0, 1));
}

// A natural end leaves the bar at its maximum with the total time; a start at
// the very end plays nothing and ends at once the same way.
TEST_F(TransportTest, TheEndLeavesTheBarAtItsMaximum) {
  for (const int64_t from : {int64_t{0}, kTakeFrames}) {
    SCOPED_TRACE(from);
    view_.events.clear();
    transport_.Seek(from);
    transport_.PlayButtonClick(2);
    PlayToEnd();
    EXPECT_EQ(view_.max, kTakeFrames);
    EXPECT_EQ(view_.position, kTakeFrames);
    EXPECT_EQ(transport_.PlayPosition(), kTakeFrames);
    EXPECT_EQ(view_.time, TimeText(3000, 1));
    EXPECT_EQ(view_.look, PlayButtonLook::kInactive);
    EXPECT_EQ(view_.events,
              (std::vector<std::string>{PlayEvent(from),
                                        "end " + session_.path + " " + std::to_string(kTakeFrames - from)}));
  }
}

// Dragging the bar while playing does not move playback; the release restarts
// it from the place released. Stopped, the bar only moves the next start.
TEST_F(TransportTest, TheBarSeeksOnRelease) {
  transport_.PlayButtonClick(2);
  Ticks(5);
  transport_.BarPressed();
  EXPECT_EQ(transport_.SeekPending(), 1);
  transport_.BarDragged(88200);
  Ticks(5);
  EXPECT_EQ(transport_.PlayPosition(), 88200);
  EXPECT_EQ(view_.time, TimeText(2000, 1));
  transport_.BarReleased(88200);
  EXPECT_EQ(transport_.SeekPending(), 0);
  EXPECT_EQ(view_.events.back(), PlayEvent(88200));
  Ticks(5);
  EXPECT_EQ(transport_.PlayPosition(), 88200 + engine_.PlayedFrames());

  transport_.PlayButtonClick(0);
  transport_.BarPressed();
  EXPECT_EQ(transport_.SeekPending(), 0);
  transport_.BarDragged(44100);
  transport_.BarReleased(44100);
  EXPECT_EQ(transport_.PlayRequested(), 0);
  transport_.PlayButtonClick(2);
  EXPECT_EQ(view_.events.back(), PlayEvent(44100));
}

// Head moves go half a second (rounded half to even) and never below 0; while
// playing, playback goes on from the new place.
TEST_F(TransportTest, HeadMovesStepHalfASecond) {
  session_.rate = 11025;
  transport_.HeadPlus();
  EXPECT_EQ(transport_.PlayPosition(), 5512);
  transport_.Seek(5513);  // the whole sum is rounded: 11025.5 -> 11026, 1.5 -> 2
  transport_.HeadPlus();
  EXPECT_EQ(transport_.PlayPosition(), 11026);
  transport_.HeadMinus();
  transport_.HeadMinus();
  EXPECT_EQ(transport_.PlayPosition(), 2);
  transport_.HeadMinus();
  EXPECT_EQ(transport_.PlayPosition(), 0);
  transport_.PlayButtonClick(2);
  transport_.HeadPlus();
  EXPECT_EQ(view_.events.back(), PlayEvent(5512));
  transport_.HeadHome();
  EXPECT_EQ(view_.events.back(), PlayEvent(0));
}

// The file being recorded plays 3 s and 50 buffers behind the take, but never
// from before its start.
TEST_F(TransportTest, PlayingWhileRecordingNeverStartsBeforeTheTake) {
  session_.recording = RunningTake{session_.path, 44100, 441};
  transport_.Seek(44100);
  transport_.PlayButtonClick(2);
  EXPECT_EQ(view_.events.back(), PlayEvent(0));
}

// No file, no play; a device that does not open returns the display to stopped.
TEST_F(TransportTest, PlaysNothingWithoutAFileOrADevice) {
  const std::string take = session_.path;
  session_.path = dir_.file("missing.wav");
  transport_.PlayButtonClick(2);
  EXPECT_EQ(transport_.PlayRequested(), 0);
  EXPECT_TRUE(tally_.codes.empty());
  session_.path = take;
  devices_.FailOpen(kWaveAllocated);
  transport_.PlayButtonClick(2);
  EXPECT_EQ(transport_.PlayRequested(), 0);
  EXPECT_EQ(engine_.Failure(), PlayFailure::kDevice);
  EXPECT_EQ(view_.look, PlayButtonLook::kInactive);
  EXPECT_EQ(tally_.codes, std::vector<int32_t>{101});
}

}  // namespace
}  // namespace lumora::test
