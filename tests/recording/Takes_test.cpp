// Whole takes through the simulated devices and clock, the files checked byte by
// byte and read back with libsndfile.

#include <cstring>

#include "RecorderFixture.h"
#include "common/LogFiles.h"
#include "common/SndfileCheck.h"
#include "formats/FileHandle.h"
#include "platform/SignalSource.h"

namespace lumora::test {

namespace {

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t offset) {
  uint32_t v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}

using Takes = RecorderFixture;

TEST_F(Takes, OneSecondManualTakeIsTheSourceByteForByte) {
  Use(MakeTone(440.0, -6.0));
  Start();
  ASSERT_EQ(recorder_->State().IsRecording, 1);
  EXPECT_TRUE(view_.captionLock);
  EXPECT_TRUE(view_.tally);
  EXPECT_FALSE(view_.monitorEnabled);
  EXPECT_EQ(view_.fileName, "new.wav");
  RecordFrames(44100);
  Stop();

  const std::string path = dir_.file("new.wav");
  const auto bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 176444u);
  EXPECT_EQ(Le32(bytes, 4), 176436u);
  EXPECT_EQ(Le32(bytes, 40), 176400u);
  auto tone = MakeTone(440.0, -6.0);
  EXPECT_EQ(DataOf(path), Rendered(*tone, 0, 44100, 44100, 16, 2));
  const auto view = ReadWithSndfile(path);
  EXPECT_TRUE(view.opened && view.strict) << view.log;
  EXPECT_EQ(view.frames, 44100);
  EXPECT_EQ(view_.events, (std::vector<std::string>{"start " + path, "stop " + path + " 44100"}));
  EXPECT_FALSE(view_.captionLock);
  EXPECT_FALSE(view_.tally);
  EXPECT_TRUE(view_.monitorEnabled);
  EXPECT_EQ(view_.recTime, "00'01.0");
  EXPECT_NE(LogText().find("録音開始成功"), std::string::npos);
}

TEST_F(Takes, LongTakeGrowsInFlushStepsWithAValidHeaderAfterEach) {
  Use(MakeNoise(-10.0));
  Start();
  const std::string path = dir_.file("new.wav");
  std::vector<int64_t> sizes{FileSizeByName(path)};
  while (recorder_->State().counters.FramesWritten < 7 * 44100) {
    Tick();
    const int64_t size = FileSizeByName(path);
    if (size == sizes.back()) continue;
    sizes.push_back(size);
    const auto bytes = ReadFileBytes(path);
    EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(Le32(bytes, 40), bytes.size() - 44);
    EXPECT_TRUE(ReadWithSndfile(path).strict);
  }
  EXPECT_EQ(sizes, (std::vector<int64_t>{44, 44 + 511560, 44 + 2 * 511560})) << "29 buffers per flush";
  Stop();
  EXPECT_EQ(FileSizeByName(path), 44 + 7 * 176400);
}

// 1 s of silence, 1.05 s of noise, 7 s of silence: the take starts with the
// noise, keeps all of it although its end lies inside a buffer, and is cut back.
// The silence time is longer than a lap of the ring, so buffers that still
// hold the tone from a lap ago are in the device all the while.
TEST_F(Takes, AutomaticTakeStartsOnTheSoundAndKeepsItsEnd) {
  Use(MakeScript({{SignalSegment::Kind::kSilence, 1.0},
                  {SignalSegment::Kind::kNoise, 1.05, 0.0, -6.0},
                  {SignalSegment::Kind::kSilence, 7.0}}));
  recorder_->controls.CheckUseTH = 1;
  recorder_->controls.HScrollRec = {-40, -40, 55};
  Start();
  TickFor(8.5);
  ASSERT_EQ(recorder_->State().IsRecording, 0) << "stopped after 5.5 s of silence";
  const std::string path = dir_.file("new.wav");
  const auto data = DataOf(path);
  ASSERT_FALSE(data.empty());
  // Sound frames in the file: every one of the 46305 frames of the noise.
  const int64_t soundFrames = 46305;
  int64_t first = -1, last = -1;
  for (size_t f = 0; f < data.size() / 4; ++f) {
    if (std::memcmp(&data[f * 4], "\0\0\0\0", 4) == 0) continue;
    if (first < 0) first = static_cast<int64_t>(f);
    last = static_cast<int64_t>(f);
  }
  EXPECT_LE(first, 1) << "writing begins with the buffer that holds the start";
  EXPECT_GE(last - first + 1, soundFrames - 1);
  EXPECT_LE(static_cast<int64_t>(data.size() / 4), soundFrames + 2 * 4410) << "cut back to the sound";
  EXPECT_EQ(view_.events.size(), 3u);
  EXPECT_EQ(view_.events[1], "write " + path);
  EXPECT_TRUE(ReadWithSndfile(path).strict);
}

// The input monitor opens the device for the meters only, in the WAV layout
// whatever the MP3 box says.
TEST_F(Takes, MonitoringUsesTheWavLayoutEvenWithTheMp3BoxChecked) {
  Use(MakeTone(1000.0, -20.0));
  UseMp3Mode();
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

// A tick whose remote poll acted carries out a pending start or stop and
// nothing else, no capture and no playback step.
TEST_F(Takes, ARemoteActionTakesTheWholeTickButItsStartOrStop) {
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
