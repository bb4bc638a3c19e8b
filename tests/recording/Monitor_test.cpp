// The input monitor: the device open for the meters only, in the WAV layout
// whatever the MP3 box says.

#include "RecorderFixture.h"
#include "platform/SignalSource.h"

namespace lumora::test {
namespace {

using Monitor = RecorderFixture;

TEST_F(Monitor, MonitoringUsesTheWavLayoutEvenWithTheMp3BoxChecked) {
  Use(MakeTone(1000.0, -20.0));
  recorder_->controls.CheckModemp3 = 1;
  recorder_->controls.CheckModemp3Enabled = true;
  recorder_->controls.ComboBitRate = "128";
  recorder_->controls.CheckInputMon = 1;
  recorder_->InputMonitorClicked();
  ASSERT_EQ(recorder_->State().IsMonitoring, 1);
  EXPECT_EQ(recorder_->State().Mp3Mode, 0);
  EXPECT_EQ(recorder_->Ring().FramesPerBuffer(), 4410) << "100 ms buffers, not 6912";
  TickFor(1.0);
  EXPECT_GE(recorder_->Ring().FrameCounter(), 50 * 4410 + 9 * 4410) << "buffers keep cycling";
  EXPECT_TRUE(view_.events.empty()) << "monitoring writes nothing";

  recorder_->controls.CheckInputMon = 0;
  const int32_t clears = view_.levelClears;
  recorder_->InputMonitorClicked();
  EXPECT_EQ(recorder_->State().IsMonitoring, 0);
  EXPECT_FALSE(recorder_->Ring().IsOpen());
  EXPECT_EQ(view_.levelClears, clears + 1);
  EXPECT_EQ(recorder_->Levels().lastHistoryPosition[0], -1);
}

}  // namespace
}  // namespace lumora::test
