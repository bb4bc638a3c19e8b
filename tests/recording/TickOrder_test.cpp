// The order inside one tick: a tick whose remote poll acted carries out a
// pending start or stop and nothing else, no capture and no playback step.

#include "RecorderFixture.h"
#include "platform/SignalSource.h"

namespace lumora::test {
namespace {

using TickOrder = RecorderFixture;

TEST_F(TickOrder, ARemoteActionTakesTheWholeTickButItsStartOrStop) {
  Use(MakeTone(1000.0, -20.0));
  int32_t polls = 0, steps = 0;
  bool acts = false, stops = false;
  recorder_->remotePoll = [&] {
    ++polls;
    if (stops) recorder_->RequestStop();
    return acts ? 1 : 0;
  };
  recorder_->playbackStep = [&](bool) { ++steps; };
  Start();
  TickFor(0.48);  // 12 ticks
  const int64_t written = recorder_->State().counters.FramesWritten;
  EXPECT_GT(written, 0);
  EXPECT_EQ(steps, 12);  // every tick after the start's
  acts = true;
  TickFor(0.4);
  EXPECT_EQ(recorder_->State().counters.FramesWritten, written);
  EXPECT_EQ(steps, 12);
  stops = true;
  Tick();  // the stop the poll asked for runs in the same tick
  EXPECT_EQ(recorder_->State().IsRecording, 0);
  EXPECT_EQ(polls, 1 + 12 + 10 + 1);
}

}  // namespace
}  // namespace lumora::test
