// lumora-play end to end: the program as a user runs it, what it writes and
// prints, its exit codes, a signal, and a real sound server.

#include <cstring>

#include "common/ProgramRun.h"
#include "platform/PulseTestKit.h"
#include "playback/PlaybackKit.h"

namespace lumora::test {
namespace {

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
          "parecord -d " + sink.SinkName() + ".monitor --raw --format=s16le --rate=48000 --channels=2 " + raw +
              " & r=$!; sleep 0.3; ");
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
