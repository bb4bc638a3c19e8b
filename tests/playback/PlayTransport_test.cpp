// The transport as the window drives it (buttons, the position bar, the keys'
// head moves, the tally codes, what the window is told to show), and
// lumora-play end to end.

#include <cstring>

#include "common/ProgramRun.h"
#include "meters/Levels.h"
#include "platform/PulseTestKit.h"
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

// lumora-play end to end: the program as a user runs it, what it writes and
// prints, its exit codes, a signal, and a real sound server.
class LumoraPlay : public testing::Test {
 protected:
  LumoraPlay() { EXPECT_TRUE(WriteWav(wav_, 48000, 16, 2, data_)); }

  RunResult Run(const std::string& args, const std::string& before = "") {
    return RunOurProgram(dir_, "lumora-play", args, before);
  }

  TempDir dir_;
  const std::string wav_ = dir_.file("in.wav");
  const std::string out_ = dir_.file("out.wav");
  const std::vector<int32_t> samples_ = Ramp(48000 * 2, 2, 16);
  const std::vector<uint8_t> data_ = Pcm(samples_, 16);
};

// Every frame the device played is in the output file: from 0.5 s at -6 dB,
// the rest of the file's samples, scaled.
TEST_F(LumoraPlay, WritesWhatThePlayerHeard) {
  const RunResult run = Run("--fast --output-file=" + out_ + " --level=-6 --from 0.5 " + wav_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "play " + wav_ + " 24000\nend " + wav_ + " 72000\n");
  const float gain = DbToLin(-6.0f);
  std::vector<int32_t> expected;
  for (size_t k = 48000; k < samples_.size(); ++k) expected.push_back(Scaled(samples_[k], gain, 16));
  EXPECT_EQ(DataOf(out_), Pcm(expected, 16));
}

TEST_F(LumoraPlay, RefusesWhatItCannotPlay) {
  WriteFileBytes(dir_.file("notes.txt"), std::vector<unsigned char>(4000, 'x'));
  struct Case {
    std::string args;
    int exitCode;
    std::string said;
  };
  for (const Case& c :
       {Case{dir_.file("missing.wav"), 1, "missing.wav"}, Case{dir_.file("notes.txt"), 1, "notes.txt"},
        Case{"--output \"No such speaker\" " + wav_, 1, "No such speaker"},
        Case{"--level 30 " + wav_, 2, "--level"}, Case{"--fast " + wav_, 2, "--output-file"},
        Case{"--bogus " + wav_, 2, "--bogus"}, Case{"--set NoSuchKey=1 " + wav_, 2, "NoSuchKey"}}) {
    SCOPED_TRACE(c.args);
    const RunResult run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// SIGTERM stops playback in real time as the stop button does: the end line
// counts the frames in the (valid) output file.
TEST_F(LumoraPlay, SigtermStopsCleanly) {
  const RunResult run = Run("--output-file " + out_ + " " + wav_ + " & p=$!; sleep 0.7; kill $p; wait $p");
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<uint8_t> heard = DataOf(out_);
  ASSERT_GT(heard.size(), 0u);
  ASSERT_LT(heard.size(), data_.size());
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), data_.begin()));
  EXPECT_EQ(run.out, "play " + wav_ + " 0\nend " + wav_ + " " + std::to_string(heard.size() / 4) + "\n");
}

// Stereo 16-bit frames without the all-zero ones: a busy machine may let the
// server play silence while a stream is late, which is no fault of ours.
std::vector<uint32_t> SoundingFrames(const uint8_t* bytes, size_t count) {
  std::vector<uint32_t> frames;
  for (size_t k = 0; k + 4 <= count; k += 4) {
    uint32_t frame;
    std::memcpy(&frame, bytes + k, 4);
    if (frame != 0) frames.push_back(frame);
  }
  return frames;
}

// Through RtAudio into a null sink of the test sound server: its monitor hears
// every frame of the file unchanged, in order.
TEST_F(LumoraPlay, PlaysIntoTheSoundServer) {
  if (!PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
  PrivateSink sink;
  ASSERT_TRUE(sink.loaded());
  const std::string raw = dir_.file("monitor.raw");
  const RunResult run =
      Run("--output " + sink.SinkName() + " " + wav_ + "; s=$?; sleep 0.5; kill $r; wait $r; exit $s",
          "parecord -d " + sink.SinkName() + ".monitor --raw --format=s16le --rate=48000 --channels=2 " +
              raw + " & r=$!; sleep 0.3; ");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "play " + wav_ + " 0\nend " + wav_ + " 96000\n");
  const std::vector<unsigned char> monitor = ReadFileBytes(raw);
  const std::vector<uint32_t> heard = SoundingFrames(monitor.data(), monitor.size());
  const std::vector<uint32_t> played = SoundingFrames(data_.data(), data_.size());
  const auto at = std::search(heard.begin(), heard.end(), played.begin(), played.end());
  EXPECT_NE(at, heard.end()) << "the sink heard " << heard.size() << " sounding frames, not ours whole";
}

}  // namespace
}  // namespace lumora::test
