// lumora-rec driven by commands: a scripted remote box and command names on
// standard input start and stop the takes; the takes are checked as files.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"

namespace lumora::test {
namespace {

const std::string kRec = std::string(LUMORA_BUILD_DIR) + "/lumora-rec";
constexpr int32_t kRate = 48000;

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class RemoteRec : public ::testing::Test {
 protected:
  void SetUp() override { WriteInput(5 * kRate); }

  // lumora-rec with its settings and folders inside the test's folder; feed is
  // a shell command whose output becomes standard input.
  RunResult Run(const std::string& args, const std::string& feed = "true") {
    const std::string err = dir_.file("stderr.txt");
    const std::string command = feed + " | XDG_CONFIG_HOME=" + dir_.folder() +
                                "config XDG_STATE_HOME=" + dir_.folder() + "state " + kRec + " --ini " +
                                dir_.file("rec.ini") + " --set DataPath=" + dir_.folder() + " " + args +
                                " 2>" + err;
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe)) result.out.append(chunk.data(), n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto bytes = ReadFileBytes(err);
    result.err.assign(bytes.begin(), bytes.end());
    return result;
  }

  // 16-bit stereo whose every frame tells its own number: left the high part,
  // right the low part.
  void WriteInput(int32_t frames) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(input_.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<int16_t> samples;
    for (int32_t f = 0; f < frames; ++f) {
      samples.push_back(static_cast<int16_t>(f >> 15));
      samples.push_back(static_cast<int16_t>((f & 0x7FFF) - 0x4000));
    }
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
  }

  // A take of the input: its first frame's number and its length in frames.
  // Fails unless the frames are consecutive input frames.
  static std::pair<int64_t, int64_t> SliceOf(const std::string& take) {
    const SndfileView view = ReadWithSndfile(take, true);
    EXPECT_TRUE(view.strict) << take;
    if (view.frames == 0) return {-1, 0};
    const auto frameAt = [&](int64_t i) {
      return (int64_t{view.samples[2 * i] >> 16} << 15) + (view.samples[2 * i + 1] >> 16) + 0x4000;
    };
    for (int64_t i = 0; i < view.frames; ++i) {
      if (frameAt(i) != frameAt(0) + i) {
        ADD_FAILURE() << take << ": frame " << i << " is not the next input frame";
        break;
      }
    }
    return {frameAt(0), view.frames};
  }

  std::string Script(const std::string& lines) {
    const std::string path = dir_.file("script.txt");
    WriteFileBytes(path, {lines.begin(), lines.end()});
    return path;
  }

  TempDir dir_;
  std::string input_ = dir_.file("in.wav");
};

TEST_F(RemoteRec, ScriptedBoxRecordsInPulseAndLatchMode) {
  struct Case {
    const char* mode;
    const char* script;
    double startSeconds;
    double lengthSeconds;
  };
  const std::vector<Case> cases{
      // Input 1 records and input 2 stops: a press each.
      {"", "1.0 press 1\n1.1 release 1\n3.0 press 2\n3.1 release 2\n", 1.0, 2.0},
      // Latched: input 1 records while it is held, from half a second (its
      // delay, on simulated time) after it closed.
      {"--set USBHID_Latch=1 --set HIDwaitms-01=500", "# held for 1.5 s\n1.0 press 1\n2.5 release 1\n", 1.5,
       1.0},
  };
  for (const Case& c : cases) {
    const RunResult run =
        Run(std::string(c.mode) + " --input-file " + input_ + " --fast --remote-script " + Script(c.script));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string take = dir_.file("new.wav");
    const auto [first, frames] = SliceOf(take);
    EXPECT_NEAR(first, c.startSeconds * kRate, 0.1 * kRate) << c.mode;
    EXPECT_NEAR(frames, c.lengthSeconds * kRate, 0.2 * kRate) << c.mode;
    // The box's tally lights: all off at the start, recording on and off, all off at the end.
    EXPECT_EQ(run.out, "tally 101\ntally 102\ntally 103\ntally 2\nstart " + take + "\ntally 102\nstop " +
                           take + " " + std::to_string(frames) + "\ntally 101\ntally 102\ntally 103\n")
        << c.mode;
  }
}

TEST_F(RemoteRec, CommandsFromStandardInput) {
  const RunResult run =
      Run("--commands --set Sequential=1 --input-file " + input_,
          "(sleep 1.5; echo REC; sleep 1; echo BOGUS; echo REC_STOP; sleep 0.2; echo REC; sleep 0.5)");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("not a command: \"BOGUS\""), std::string::npos) << run.err;
  const std::string first = dir_.file("new01.wav"), second = dir_.file("new02.wav");
  const auto [start1, frames1] = SliceOf(first);
  const auto [start2, frames2] = SliceOf(second);
  // Real time, after the program is up (slow under the sanitizers).
  EXPECT_GT(frames1, 0.5 * kRate);
  EXPECT_LT(frames1, 1.2 * kRate);
  EXPECT_GT(frames2, 0.2 * kRate);
  EXPECT_GT(start2, start1 + frames1);
  // The second take ran until standard input ended.
  EXPECT_EQ(run.out, "start " + first + "\nstop " + first + " " + std::to_string(frames1) + "\nstart " +
                         second + "\nstop " + second + " " + std::to_string(frames2) + "\n");
}

TEST_F(RemoteRec, RefusalsOfTheRemoteOptions) {
  const RunResult noBox = Run("--remote --test-signal");
  EXPECT_EQ(noBox.exitCode, 1);
  EXPECT_NE(noBox.err.find("tessaronHID not found"), std::string::npos) << noBox.err;
  const RunResult badLine = Run("--test-signal --remote-script " + Script("1.0 press 9\n"));
  EXPECT_EQ(badLine.exitCode, 1);
  EXPECT_NE(badLine.err.find("script.txt:1:"), std::string::npos) << badLine.err;
  EXPECT_EQ(Run("--remote --remote-script " + Script("")).exitCode, 2);
}

}  // namespace
}  // namespace lumora::test
