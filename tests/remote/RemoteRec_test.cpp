// lumora-rec driven by commands: a scripted remote box and command names on
// standard input start and stop the takes; the takes are checked as files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/ProgramRun.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"

namespace lumora::test {
namespace {

constexpr int32_t kRate = 48000;

class RemoteRec : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(std::system(("sox -n -r 48000 -c 2 -b 16 " + input_ + " synth 5 sine 440").c_str()), 0);
  }

  // lumora-rec; feed is a shell command whose output becomes standard input.
  RunResult Run(const std::string& args, const std::string& feed = "true") {
    return RunRec(dir_, args, feed + " | ");
  }

  // The length of a take in frames, which must read as a strict WAV file.
  static int64_t FramesOf(const std::string& take) {
    const SndfileView view = ReadWithSndfile(take);
    EXPECT_TRUE(view.strict) << take;
    return view.frames;
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
    double lengthSeconds;
  };
  const std::vector<Case> cases{
      // Input 1 records and input 2 stops: a press each.
      {"", "1.0 press 1\n1.1 release 1\n3.0 press 2\n3.1 release 2\n", 2.0},
      // Latched: input 1 records while it is held, from half a second (its
      // delay, on simulated time) after it closed.
      {"--set USBHID_Latch=1 --set HIDwaitms-01=500", "# held for 1.5 s\n1.0 press 1\n2.5 release 1\n", 1.0},
  };
  for (const Case& c : cases) {
    const RunResult run =
        Run(std::string(c.mode) + " --input-file " + input_ + " --fast --remote-script " + Script(c.script));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string take = dir_.file("new.wav");
    const int64_t frames = FramesOf(take);
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
  const int64_t frames1 = FramesOf(first), frames2 = FramesOf(second);
  // Real time, after the program is up (slow under the sanitizers).
  EXPECT_GT(frames1, 0.5 * kRate);
  EXPECT_LT(frames1, 1.2 * kRate);
  EXPECT_GT(frames2, 0.2 * kRate);
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
