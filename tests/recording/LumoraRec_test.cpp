// lumora-rec end to end: the program as a user runs it, its events, its files,
// its exit codes, and what a kill leaves behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/ProgramRun.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "formats/Mpeg.h"
#include "formats/Wav.h"
#include "platform/PulseTestKit.h"

namespace lumora::test {
namespace {

const std::string kRec = std::string(LUMORA_BUILD_DIR) + "/lumora-rec";

class LumoraRec : public ::testing::Test {
 protected:
  RunResult Run(const std::string& args, const std::string& shellPrefix = "") {
    return RunRec(dir_, args, shellPrefix);
  }

  // A 16-bit stereo WAV file of `frames` frames: a ramp, or silence and bursts.
  std::string MakeInput(const std::string& name, int32_t rate, const std::vector<int16_t>& samples) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
    EXPECT_TRUE(WriteWav(dir_.file(name), rate, 16, 2, {bytes, bytes + samples.size() * 2}));
    return dir_.file(name);
  }
  static std::vector<int16_t> Ramp(int64_t frames) {
    std::vector<int16_t> s(static_cast<size_t>(frames * 2));
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>((i * 37) % 60000 - 30000);
    return s;
  }

  TempDir dir_;
};

TEST_F(LumoraRec, FastTakeOfAFileIsTheFileWithItsLastBufferCompletedBySilence) {
  const int64_t frames = 48000 * 3 + 1234;  // 3.26 s: the last buffer is partial
  const std::string input = MakeInput("in.wav", 48000, Ramp(frames));
  const RunResult run = Run("--input-file " + input + " --fast --set DebugLogPath=" + dir_.folder() + "logs");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  char today[16];  // simulated time must not reach the log's dates
  const std::time_t now = std::time(nullptr);
  std::strftime(today, sizeof today, "%Y%m%d", std::localtime(&now));
  EXPECT_EQ(
      std::filesystem::directory_iterator(dir_.folder() + "logs")->path().filename().string().substr(0, 8),
      today);
  const std::string take = dir_.file("new.wav");
  const int64_t recorded = 48000 * 3 + 4800;
  EXPECT_EQ(run.out, "start " + take + "\nstop " + take + " " + std::to_string(recorded) + "\n");
  auto expected = DataOf(input);
  expected.resize(static_cast<size_t>(recorded * 4), 0);
  EXPECT_EQ(DataOf(take), expected);
  EXPECT_TRUE(ReadWithSndfile(take).strict);
}

// 150 s split every minute: a start and a stop line per file, in order, and
// the files one after the other are the input.
TEST_F(LumoraRec, ASplitTakePrintsEachFileAndTheFilesAreTheInput) {
  const std::string input = MakeInput("in.wav", 8000, Ramp(150 * 8000));
  const RunResult run = Run("--input-file " + input + " --fast --set SplitMinutes=1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::string expected;
  std::vector<unsigned char> data;
  for (const auto& [name, frames] : {std::pair{"new", 480000}, {"new-2", 480000}, {"new-3", 240000}}) {
    const std::string take = dir_.file(std::string(name) + ".wav");
    expected += "start " + take + "\nstop " + take + " " + std::to_string(frames) + "\n";
    const auto part = DataOf(take);
    data.insert(data.end(), part.begin(), part.end());
  }
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(data, DataOf(input));
}

TEST_F(LumoraRec, SequentialAutomaticTakesOfBursts) {
  std::vector<int16_t> samples;
  for (int burst = 0; burst < 3; ++burst) {
    samples.resize(samples.size() + 44100 * 2, 0);  // 1 s silence
    for (int i = 0; i < 44100 * 2; ++i) samples.push_back(static_cast<int16_t>(i % 2 ? 8000 : -8000));
  }
  samples.resize(samples.size() + 44100 * 2 * 2, 0);
  const std::string input = MakeInput("bursts.wav", 44100, samples);
  const RunResult run =
      Run("--input-file " + input + " --fast --set AutoRec=1 --set Sequential=1 --set EndTime=5");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::string expected;
  for (const char* n : {"01", "02", "03"}) {
    const std::string take = dir_.file(std::string("new") + n + ".wav");
    const auto view = ReadWithSndfile(take);
    EXPECT_TRUE(view.strict) << take;
    expected +=
        "start " + take + "\nwrite " + take + "\nstop " + take + " " + std::to_string(view.frames) + "\n";
    EXPECT_GE(view.frames, 44100) << "the whole burst";
    EXPECT_LE(view.frames, 44100 + 3 * 4410) << "cut back to the burst";
  }
  // Armed when the input ended: stopped with no file.
  expected += "start " + dir_.file("new04.wav") + "\nstop " + dir_.file("new04.wav") + " 0\n";
  EXPECT_EQ(run.out, expected);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("new04.wav")));
}

// Refusals exit 1 (the run cannot do what it was asked) or 2 (bad options)
// with the reason on stderr, promptly: a pipe as the input file is refused,
// not waited on.
TEST_F(LumoraRec, RefusalsExitNonZeroWithTheReason) {
  const std::string input = MakeInput("in.wav", 44100, Ramp(4410));
  ASSERT_EQ(mkfifo(dir_.file("fifo.wav").c_str(), 0600), 0);
  const std::tuple<std::string, int, std::string> cases[] = {
      {"--input-file " + input + " --fast --set DataPath=/proc/", 1, "書き込み失敗"},
      {"--input-file=" + input + " --fast --set=DataPath=" + dir_.folder() + "gone/", 1, "gone/"},
      {"--input-file " + dir_.file("missing.wav") + " --fast", 1, "missing.wav"},
      {"--input-file " + dir_.file("fifo.wav") + " --fast", 1, "fifo.wav"},
      {"--input \"No such microphone\" --seconds 1", 1, "No such microphone"},
      {"--set NoSuchKey=1 --test-signal --seconds 1", 2, "NoSuchKey"},
      {"--test-signal --seconds nan", 2, "nan"},
      {"--test-signal --seconds inf", 2, "inf"},
  };
  for (const auto& [args, code, reason] : cases) {
    const RunResult run = Run(args, "timeout 20 ");
    EXPECT_EQ(run.exitCode, code) << args;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << args;
  }
}

// Settings out of range and takes that stop at once: brought into range, and
// every run ends.
TEST_F(LumoraRec, OutOfRangeSettingsNeitherSizeNorLoopForEver) {
  const std::string tone = MakeInput("tone.wav", 44100, std::vector<int16_t>(44100 * 2 * 8, 3000));
  RunResult run = Run("--test-signal --seconds 0.5 --set nFreq=100000000", "timeout 20 ");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadWithSndfile(dir_.file("new.wav")).rate, 44100);
  // Loud enough to start, never above the end level: takes that stop at once.
  run =
      Run("--input-file " + tone + " --fast --seconds 3 --set AutoRec=1 --set Sequential=1 --set EndTime=0 " +
              "--set StartLevel=-60 --set EndLevel=0",
          "timeout 20 ");
  EXPECT_EQ(run.exitCode, 0) << run.err;
}

// Past a file-size limit the take ends as on a full disk, not by the signal.
TEST_F(LumoraRec, AFileSizeLimitEndsTheTakeAsAFullDiskDoes) {
  const std::string input = MakeInput("in.wav", 44100, Ramp(44100 * 10));
  const RunResult run = Run("--input-file " + input + " --fast", "ulimit -f 2000; ");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("書き込み失敗"), std::string::npos) << run.err;
  const std::string take = dir_.file("new.wav");
  const auto view = ReadWithSndfile(take);
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(run.out, "start " + take + "\nstop " + take + " " + std::to_string(view.frames) + "\n");
  EXPECT_GT(view.frames, 0);
}

// lumora-rec in a process of its own, its stdout to `out`.
pid_t Spawn(const std::vector<std::string>& args, const std::string& out = "/dev/null") {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (!freopen(out.c_str(), "w", stdout)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int WaitExit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A second recorder on the folder must not empty the file a running take
// writes. SIGTERM ends the take as the stop button does; SIGKILL leaves a
// valid file of every whole flush.
TEST_F(LumoraRec, ARunningTakesFileIsLeftAloneAndASignalLeavesAValidFile) {
  const std::string input = MakeInput("long.wav", 44100, Ramp(44100 * 20));
  const std::string take = dir_.file("new.wav");
  for (const int signal : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove(take);
    const pid_t pid = Spawn(
        {kRec, "--ini", dir_.file("rec.ini"), "--set", "DataPath=" + dir_.folder(), "--input-file", input});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    if (signal == SIGTERM) {
      const RunResult second = Run("--input-file " + input + " --fast --ini " + dir_.file("second.ini"));
      EXPECT_EQ(second.exitCode, 1);
      EXPECT_NE(second.err.find("書き込み失敗"), std::string::npos) << second.err;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    kill(pid, signal);
    EXPECT_EQ(WaitExit(pid), signal == SIGTERM ? 0 : -1);
    const auto view = ReadWithSndfile(take, signal == SIGKILL);
    ASSERT_TRUE(view.opened && view.strict) << view.log;
    EXPECT_GE(view.frames, 29 * 4410);
    EXPECT_EQ(view.frames % (signal == SIGKILL ? 29 * 4410 : 4410), 0) << "whole flushes only";
    const auto data = DataOf(take);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), DataOf(input).begin())) << "the file's start, unchanged";
  }
}

// Four sequential recorders started at once on one folder: four numbers.
TEST_F(LumoraRec, SequentialRecordersSharingAFolderClaimDistinctNumbers) {
  const std::string input = MakeInput("in.wav", 44100, Ramp(44100 * 2));
  std::vector<pid_t> pids;
  for (int k = 0; k < 4; ++k) {
    const std::string n = std::to_string(k);
    pids.push_back(Spawn({kRec, "--ini", dir_.file(n + ".ini"), "--set", "DataPath=" + dir_.folder(), "--set",
                          "Sequential=1", "--input-file", input, "--fast"},
                         dir_.file(n + ".out")));
  }
  for (const pid_t pid : pids) EXPECT_EQ(WaitExit(pid), 0);
  std::set<std::string> takes;
  for (int k = 0; k < 4; ++k) {
    const std::string out = ReadText(dir_.file(std::to_string(k) + ".out"));
    const size_t at = out.find("stop ");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string path = out.substr(at + 5, out.rfind(' ') - at - 5);
    takes.insert(path);
    EXPECT_EQ(ReadWithSndfile(path).frames, std::stoll(out.substr(out.rfind(' ')))) << path;
  }
  EXPECT_EQ(takes.size(), 4u);
}

TEST_F(LumoraRec, RecordsFiveSecondsFromTheSoundServer) {
  if (!getenv("LUMORA_TEST_PULSE")) GTEST_SKIP() << "no test sound server";
  const RunResult run = Run("--seconds 5");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto view = ReadWithSndfile(dir_.file("new.wav"));
  ASSERT_TRUE(view.opened && view.strict) << view.log;
  EXPECT_EQ(view.frames, 5 * 44100);
  EXPECT_EQ(run.out.rfind("start ", 0), 0u);
}

// Two identical microphones: both are offered, and each records its own sound.
TEST_F(LumoraRec, RecordsTheChosenOfTwoInputsDescribedAlike) {
  if (!getenv("LUMORA_TEST_PULSE")) GTEST_SKIP() << "no test sound server";
  const std::string twin = "twin_" + std::to_string(getpid());
  const PrivateSink first(twin);
  const PrivateSink second(twin);
  ASSERT_TRUE(first.loaded() && second.loaded());
  const std::string listed = Run("--list-devices").out;
  EXPECT_NE(listed.find(first.MonitorName() + "\n"), std::string::npos) << listed;
  EXPECT_NE(listed.find(first.MonitorName() + " (2)\n"), std::string::npos) << listed;
  // A full-scale 1 kHz tone plays into the second sink only, around each take.
  const std::string tone = "sox -V1 -n -r 48000 -c 2 -b 16 -t raw - synth 3 sine 1000 | pacat -d " +
                           second.SinkName() +
                           " --format=s16le --rate=48000 --channels=2 & t=$!; sleep 0.3; ";
  for (const std::string suffix : {"", " (2)"}) {
    const RunResult run =
        Run("--input '" + first.MonitorName() + suffix + "' --seconds 1; s=$?; wait $t; exit $s", tone);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto view = ReadWithSndfile(dir_.file("new.wav"), true);
    ASSERT_EQ(view.frames, 44100);
    int32_t peak = 0;
    for (const int32_t sample : view.samples) peak = std::max(peak, std::abs(sample >> 16));
    if (suffix.empty()) {
      EXPECT_EQ(peak, 0) << "the first heard the second's tone";
    } else {
      EXPECT_GT(peak, 30000) << "the second did not hear its tone";
    }
  }
}

}  // namespace
}  // namespace lumora::test
