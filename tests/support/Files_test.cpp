#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/TempDir.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(Files, ExistenceAndDeletion) {
  test::TempDir dir;
  const std::string locked = dir.file("locked.wav"), con = dir.file("con.wav");
  WriteFileBytes(locked, {1});
  WriteFileBytes(con, {1});
  chmod(locked.c_str(), 0444);
  EXPECT_EQ(FileExists(locked), 1);
  EXPECT_EQ(FileExists(dir.folder()), 0);
  EXPECT_EQ(FileExists("  "), 0);
  EXPECT_EQ(FileDelete(locked), 1);
  EXPECT_EQ(FileDelete(con), 1);  // an ordinary name here: a take named so must really go
  EXPECT_FALSE(fs::exists(locked) || fs::exists(con));
  EXPECT_EQ(FileDelete(dir.file("no/such.wav")), 1);
  EXPECT_EQ(FileDelete(dir.path().string()), 0);
}

TEST(Folders, CreateOneLevelAndRemoveOnlyWhenEmpty) {
  test::TempDir dir;
  const std::string sub = dir.file("sub");
  EXPECT_EQ(FolderCreate(sub + "/deeper"), 0);
  EXPECT_EQ(FolderCreate(sub + "/"), 1);
  EXPECT_EQ(FolderCreate(sub), 0);
  EXPECT_EQ(FolderExists(sub + "/"), 1);
  EXPECT_EQ(FolderExists("/"), 1);
  WriteFileBytes(sub + "/a.wav", {1});
  EXPECT_EQ(FolderExists(sub + "/a.wav"), 0);
  EXPECT_EQ(FolderRemove(sub), 0);
  fs::remove(sub + "/a.wav");
  chmod(sub.c_str(), 0555);
  EXPECT_EQ(FolderRemove(sub + "/"), 1);
  EXPECT_EQ(FolderRemove(sub), 1);  // missing counts as removed
  EXPECT_EQ(AppFolder().back(), '/');
  EXPECT_TRUE(fs::exists(AppFolder() + "support_tests"));
}

// Renames and waits on a clock that moves 1 ms each time window events run.
class RenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActiveClock(&clock);
    SetEventPump([this] {
      ++pumps;
      clock.Advance(step);
    });
    WriteFileBytes(dir.file("a.wav"), {1});
  }
  void TearDown() override {
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
  }
  test::TempDir dir;
  ManualClock clock;
  double step = 0.001;
  int pumps = 0;
};

TEST_F(RenameTest, AnExistingTargetFailsAfterTenAttemptsUnlessOverwritten) {
  WriteFileBytes(dir.file("b.wav"), {2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 0), 0);
  // Nine waits of 10, 20, ... 90 ms, events running all along.
  EXPECT_GT(clock.MonotonicSeconds(), 0.450);
  EXPECT_LT(clock.MonotonicSeconds(), 0.475);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{2});
  pumps = 0;
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 1), 1);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{1});
  EXPECT_EQ(FileExists(dir.file("a.wav")), 0);
  EXPECT_EQ(pumps, 0);
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("c.wav"), 0), 0);
}

TEST_F(RenameTest, WaitEventsStopsOnceTheTimeIsExceeded) {
  step = 0.125;  // exact in binary
  WaitEvents(250, 0);
  EXPECT_EQ(pumps, 3);  // 250 ms is reached, not exceeded, after two rounds
  WaitEvents(249, 0);
  WaitEvents(0, 0);
  EXPECT_EQ(pumps, 5);
}

}  // namespace
}  // namespace lumora
