// The transport as the window drives it (buttons, the position bar, the keys'
// head moves, the tally codes, what the window is told to show), and
// lumora-play end to end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/LogFiles.h"
#include "common/Pcm.h"
#include "common/ProgramRun.h"
#include "common/TempDir.h"
#include "formats/Mp3acm.h"
#include "meters/Levels.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveError.h"
#include "playback/PlayEngine.h"
#include "playback/PlayTransport.h"
#include "playback/RecorderPlaySession.h"
#include "recording/RecorderFixture.h"
#include "support/TimeText.h"

namespace lumora::test {
namespace {

// A session and a view that keep what they are told, and a run of the
// transport's ticks until playback stops.
class FakeSession final : public PlaySession {
 public:
  std::string LastTakePath() const override { return path; }
  int32_t OutputDevice() const override { return -1; }
  int32_t SampleRate() const override { return rate; }
  std::optional<RunningTake> Recording() const override { return recording; }

  std::string path;
  int32_t rate = 44100;
  std::optional<RunningTake> recording;
};

class FakeView final : public PlayView {
 public:
  void SetPlayButtonLook(PlayButtonLook value) override { look = value; }
  void SetPositionMax(int64_t frames) override { max = frames; }
  void SetPosition(int64_t frames) override { position = frames; }
  void ShowPlayTime(const std::string& text) override { time = text; }
  void ClearPlaybackLevels() override {}
  void PlaybackStarted(const std::string& path, int64_t frame) override {
    events.push_back("play " + path + " " + std::to_string(frame));
  }
  void PlaybackEnded(const std::string& path, int64_t frames) override {
    events.push_back("end " + path + " " + std::to_string(frames));
  }

  PlayButtonLook look = PlayButtonLook::kInactive;
  int64_t max = 0;
  int64_t position = 0;
  std::string time;
  std::vector<std::string> events;
};

class FakeTally final : public TallySink {
 public:
  void SendTally(int32_t code) override { codes.push_back(code); }
  int32_t TallyInvert() const override { return invert; }
  std::vector<int32_t> codes;
  int32_t invert = 0;
};

// round(s * g) with halves to even, clipped as the format clips.
int32_t Scaled(int32_t s, float gain, int32_t bits) {
  const double x = std::nearbyint(s * static_cast<double>(gain));
  if (bits == 8) return static_cast<int32_t>(std::clamp(x + 128.0, 0.0, 255.0)) - 128;
  if (bits == 16) return static_cast<int32_t>(std::clamp(x, -32767.0, 32767.0));
  return static_cast<int32_t>(std::clamp(x, -8388608.0, 8388607.0));
}

class PlaybackTest : public testing::Test {
 protected:
  PlaybackTest() {
    output_ = devices_.AddOutput("Speakers");
    session_.path = dir_.file("take.wav");
  }

  void WriteTake(int32_t rate, int32_t bits, int32_t channels, const std::vector<uint8_t>& data) {
    ASSERT_TRUE(WriteWav(session_.path, rate, bits, channels, data));
    session_.rate = rate;
  }
  // 40 ms of simulated time, then one tick of the transport.
  void Tick() {
    devices_.Advance(0.04);
    transport_.Tick(true);
  }
  void Ticks(int32_t n) {
    for (int32_t k = 0; k < n; ++k) Tick();
  }
  // Ticks until playback has stopped (at most `seconds` of simulated time).
  void PlayToEnd(double seconds = 60) {
    for (int n = 0; transport_.PlayRequested() && n < seconds / 0.04; ++n) Tick();
    EXPECT_EQ(transport_.PlayRequested(), 0) << "still playing after " << seconds << " s";
  }
  std::vector<uint8_t> Heard() const { return devices_.OutputBytes(output_); }
  // Plays the take from its start to its end: what the device played.
  std::vector<uint8_t> PlayWhole() {
    const auto before = static_cast<std::ptrdiff_t>(Heard().size());
    transport_.PlayButtonClick(0);  // stop, or rewind
    transport_.PlayButtonClick(2);
    PlayToEnd();
    const std::vector<uint8_t> heard = Heard();
    return std::vector<uint8_t>(heard.begin() + before, heard.end());
  }
  // "play PATH FRAME" of the take.
  std::string PlayEvent(int64_t frame) const { return "play " + session_.path + " " + std::to_string(frame); }

  LogCapture log_;
  TempDir dir_;
  SimulatedWave devices_;
  int32_t output_ = -1;
  FakeSession session_;
  FakeView view_;
  FakeTally tally_;
  PlayEngine engine_{devices_, session_};
  PlayTransport transport_{engine_, view_, session_, &tally_};
};

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

// Whole files played through the engine into the simulated output: what comes
// out is compared sample by sample with what should be heard.
// Unity gain plays every format exactly as stored (even -32768); a play level
// scales every sample to round(s * g), clipped. A take of more buffers than
// the ring holds and one shorter than a buffer alike.
TEST_F(PlaybackTest, EverySampleComesOutAtThePlayLevel) {
  for (const float db : {0.0f, -6.0f, 20.0f}) {
    for (const int32_t bits : {8, 16, 24}) {
      for (const int32_t channels : {1, 2}) {
        const int64_t frames = bits == 16 && channels == 2 ? 8000 * 6 : 500;
        SCOPED_TRACE(testing::Message() << db << " dB, " << bits << " bit, " << channels << " ch");
        const std::vector<int32_t> samples = Ramp(frames, channels, bits);
        WriteTake(8000, bits, channels, Pcm(samples, bits));
        const float gain = DbToLin(db);
        engine_.PlaybackGain = {gain, gain};
        std::vector<int32_t> expected;
        for (const int32_t s : samples) expected.push_back(db == 0.0f ? s : Scaled(s, gain, bits));
        EXPECT_EQ(PlayWhole(), Pcm(expected, bits));
      }
    }
  }
}

// What the take claims beyond what its file holds (a read that fails) plays as
// silence, not as the sound the buffers held a lap of the ring ago.
TEST_F(PlaybackTest, WhatCannotBeReadIsSilence) {
  const std::vector<uint8_t> data = Pcm(Ramp(60000, 1, 8), 8);
  WriteTake(8000, 8, 1, data);
  session_.recording = RunningTake{session_.path, 100000, 800};
  std::vector<uint8_t> expected = data;
  expected.resize(100000, 0x80);
  EXPECT_EQ(PlayWhole(), expected);
  EXPECT_NE(log_.Text(".err").find("Play Read Error"), std::string::npos);
}

class Mp3Test : public PlaybackTest {
 protected:
  void SetUp() override {
    if (std::system("mpg123 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no mpg123 to compare with";
  }
  // An MP3 take of a tone (a bare stream, as the recorder writes it).
  void EncodeTake(int64_t frames) {
    const std::string wav = dir_.file("source.wav");
    ASSERT_TRUE(WriteWav(wav, 44100, 16, 2, Pcm(Ramp(frames, 2, 16), 16)));
    session_.path = dir_.file("take.mp3");
    C_mp3acm codec;
    int32_t ok = 0;
    codec.EncFromWavfile(wav, session_.path, 128, ok);
    ASSERT_EQ(ok, 1);
  }
  // mpg123's own decoding of a file.
  std::vector<uint8_t> Mpg123(const std::string& mp3) {
    const std::string wav = mp3 + ".ref.wav";
    EXPECT_EQ(std::system(("mpg123 -q -w " + wav + " " + mp3).c_str()), 0);
    return DataOf(wav);
  }
};

// An MP3 take comes out as mpg123 decodes it, the short last block included,
// and a take of fewer than three MPEG frames too.
TEST_F(Mp3Test, ComesOutAsMpg123DecodesIt) {
  for (const int64_t frames : {44100 * 9, 2000}) {
    SCOPED_TRACE(frames);
    EncodeTake(frames);
    EXPECT_EQ(PlayWhole(), Mpg123(session_.path));
  }
}

// A damaged stretch costs its block: playback goes on behind it and ends at
// the end of the file, where it matches the undamaged decoding again.
TEST_F(Mp3Test, ADamagedBlockIsPassedOver) {
  EncodeTake(44100 * 4);
  const std::vector<uint8_t> whole = Mpg123(session_.path);
  std::vector<unsigned char> bytes = ReadFileBytes(session_.path);
  std::fill(bytes.begin() + 20000, bytes.begin() + 28000, 0);
  WriteFileBytes(session_.path, bytes);
  const std::vector<uint8_t> heard = PlayWhole();
  const size_t tail = 44100 * 4;  // the last second
  ASSERT_GT(heard.size(), whole.size() / 2);
  ASSERT_LT(heard.size(), whole.size());
  EXPECT_TRUE(std::equal(heard.end() - tail, heard.end(), whole.end() - tail));
}

// The take being recorded, played back by the transport from the recorder's
// own tick: what is heard is the file, frame for frame, from the clamped start
// to the end of the finished take; and the playback meter reads it.
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
