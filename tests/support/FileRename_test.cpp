#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/TempDir.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A stepped clock that moves by `step` seconds each time window events run.
class SteppedWait : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActiveClock(&clock);
    SetEventPump([this] {
      ++pumps;
      clock.Advance(step);
    });
  }
  void TearDown() override {
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
  }
  ManualClock clock;
  double step = 0.001;
  int pumps = 0;
};

using FileRenameTest = SteppedWait;

TEST_F(FileRenameTest, MovesAFileAtOnce) {
  TempDir dir;
  WriteFileBytes(dir.file("a.wav"), {1, 2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("con.wav"), 0), 1);
  EXPECT_EQ(ReadFileBytes(dir.file("con.wav")), (std::vector<unsigned char>{1, 2}));
  EXPECT_EQ(FileExists(dir.file("a.wav")), 0);
  EXPECT_EQ(pumps, 0);
}

TEST_F(FileRenameTest, GivesUpOnAnExistingTargetAfterTenAttempts) {
  TempDir dir;
  WriteFileBytes(dir.file("a.wav"), {1});
  WriteFileBytes(dir.file("b.wav"), {2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 0), 0);
  // Nine waits of 10, 20, ... 90 ms with events running all along.
  EXPECT_GT(clock.MonotonicSeconds(), 0.450);
  EXPECT_LT(clock.MonotonicSeconds(), 0.450 + 9 * 0.0025);
  EXPECT_GE(pumps, 450);
  EXPECT_EQ(ReadFileBytes(dir.file("a.wav")), std::vector<unsigned char>{1});
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), std::vector<unsigned char>{2});
}

TEST_F(FileRenameTest, OverwriteReplacesTheTarget) {
  TempDir dir;
  WriteFileBytes(dir.file("a.wav"), {1});
  WriteFileBytes(dir.file("b.wav"), {2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 1), 1);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), std::vector<unsigned char>{1});
  EXPECT_EQ(FileExists(dir.file("a.wav")), 0);
}

TEST_F(FileRenameTest, AMissingSourceFails) {
  TempDir dir;
  EXPECT_EQ(FileRename(dir.file("none.wav"), dir.file("b.wav"), 1), 0);
  EXPECT_EQ(NameFile(dir.file("none.wav"), dir.file("b.wav")), 0);
  EXPECT_EQ(FileExists(dir.file("b.wav")), 0);
}

using WaitEventsTest = SteppedWait;

TEST_F(WaitEventsTest, RunsEventsUntilTheTimeIsExceeded) {
  step = 0.125;  // exact in binary, so the comparisons are exact
  WaitEvents(250, 0);
  EXPECT_EQ(pumps, 3);  // 250 ms is reached, not exceeded, after two rounds
  pumps = 0;
  WaitEvents(249, 0);
  EXPECT_EQ(pumps, 2);
  pumps = 0;
  WaitEvents(0, 0);
  WaitEvents(-5, 0);
  EXPECT_EQ(pumps, 0);
}

TEST(WaitEvents, SleepsBetweenRoundsOnTheRealClock) {
  int pumps = 0;
  SetEventPump([&] { ++pumps; });
  const auto start = std::chrono::steady_clock::now();
  WaitEvents(30, 10);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  SetEventPump(nullptr);
  EXPECT_GE(elapsed, std::chrono::milliseconds(30));
  EXPECT_GE(pumps, 2);
  EXPECT_LE(pumps, 5);
}

}  // namespace
}  // namespace lumora
