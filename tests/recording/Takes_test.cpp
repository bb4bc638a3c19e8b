// Whole takes through the simulated devices and clock, the files checked byte by
// byte and read back with libsndfile.

#include <algorithm>
#include <cstdlib>
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
  EXPECT_EQ(DataOf(path), Render(*tone, kCdFormat, 0, 44100));
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

// Pre-record: an armed take's file begins with what it heard before the start
// level, the input's own frames with none twice and none missing.
using Kind = SignalSegment::Kind;

class PreRecording : public RecorderFixture {
 protected:
  // Quiet noise (under the start level, so every frame tells where it came
  // from), a loud tone at 3.0 s, quiet noise again.
  static std::unique_ptr<SignalSource> ToneAtThree() {
    return MakeScript(
        {{Kind::kNoise, 3.0, 0.0, -55.0}, {Kind::kTone, 1.0, 1000.0, -6.0}, {Kind::kNoise, 3.0, 0.0, -55.0}});
  }
  void Arm(int32_t preRecTime) {
    recorder_->controls.CheckUseTH = 1;
    recorder_->controls.HScrollRec = {-40, -40, 10};
    recorder_->controls.PreRecTime = preRecTime;
  }
};

// Where the take's audio lies in the input: the frame it starts at, or -1
// when it is not one unbroken stretch of it.
int64_t FrameInInput(const std::vector<unsigned char>& input, const std::vector<unsigned char>& take,
                     int32_t blockAlign = 4) {
  const auto at = std::search(input.begin(), input.end(), take.begin(), take.end());
  const int64_t offset = at - input.begin();
  return at == input.end() || offset % blockAlign != 0 ? -1 : offset / blockAlign;
}

// 1.0 s before the tone; 5.0 s asks for more than the 3.0 s armed, which is all there is.
class PreRecordLengths : public PreRecording,
                         public ::testing::WithParamInterface<std::pair<int32_t, int64_t>> {};

TEST_P(PreRecordLengths, TheFileStartsThePreRecordBeforeTheToneOrWhereTheTakeWasArmed) {
  const auto [preRecTime, first] = GetParam();
  Use(ToneAtThree());
  Arm(preRecTime);
  Start();
  TickFor(6.0);
  ASSERT_EQ(recorder_->State().IsRecording, 0) << "stopped after the silence time";
  const auto data = DataOf(dir_.file("new.wav"));
  ASSERT_GT(data.size(), 4u * 44100 * 3 / 2);
  auto source = ToneAtThree();
  EXPECT_EQ(data, Render(*source, kCdFormat, first, static_cast<int64_t>(data.size() / 4)));
}

INSTANTIATE_TEST_SUITE_P(OneSecondAndMoreThanArmed, PreRecordLengths,
                         ::testing::Values(std::pair<int32_t, int64_t>{10, 2 * 44100},
                                           std::pair<int32_t, int64_t>{50, 0}));

TEST_F(PreRecording, AnMp3TakeDecodesWithTheToneAfterThePreRecord) {
  Use(ToneAtThree());
  UseMp3Mode();
  Arm(10);
  Start();
  TickFor(6.0);
  const SndfileView decoded = Decoded(dir_.file("new.mp3"));
  ASSERT_TRUE(decoded.opened);
  const auto loud = std::find_if(decoded.samples.begin(), decoded.samples.end(),
                                 [](int32_t s) { return std::abs(s) > (1 << 28); });
  ASSERT_NE(loud, decoded.samples.end());
  const int64_t toneFrame = (loud - decoded.samples.begin()) / 2;
  EXPECT_GE(toneFrame, 44100) << "a whole second before the tone";
  EXPECT_LE(toneFrame, 44100 + 2 * 1152) << "and not more than the encoder's delay besides";
}

// Bursts with short quiet gaps: each re-armed take's pre-record may reach back
// only as far as its own start, never into the take before.
TEST_F(PreRecording, SequentialTakesNeverShareAFrame) {
  std::vector<SignalSegment> script;
  for (int i = 0; i < 3; ++i) {
    script.push_back({Kind::kNoise, 0.8, 0.0, -55.0});
    script.push_back({Kind::kTone, 0.4, 700.0, -6.0});
  }
  script.push_back({Kind::kNoise, 2.0, 0.0, -55.0});
  Use(MakeScript(script));
  Arm(10);
  recorder_->controls.HScrollRec[2] = 3;
  recorder_->controls.CheckSequential = 1;
  Start();
  TickFor(5.5);
  auto source = MakeScript(script);
  const auto input = Render(*source, kCdFormat, 0, 6 * 44100);
  int64_t end = 0;
  for (const char* n : {"01", "02", "03"}) {
    const auto data = DataOf(dir_.file(std::string("new") + n + ".wav"));
    const int64_t first = FrameInInput(input, data);
    ASSERT_GE(first, 0) << n << ": one stretch of the input";
    EXPECT_GE(first, end) << n << ": after the previous take's last frame";
    end = first + static_cast<int64_t>(data.size() / 4);
  }
}

}  // namespace
}  // namespace lumora::test
