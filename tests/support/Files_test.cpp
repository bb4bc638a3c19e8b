#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(Files, ExistenceDeletionAndFolders) {
  test::TempDir dir;
  const std::string con = dir.file("con.wav"), sub = dir.file("sub");
  WriteFileBytes(con, {1});
  EXPECT_EQ(FileDelete(con), 1);  // an ordinary name here: a take named so must really go
  EXPECT_FALSE(fs::exists(con));
  EXPECT_EQ(FolderCreate(sub + "/deeper"), 0);  // one level only
  EXPECT_EQ(FolderCreate(sub + "/"), 1);
  WriteFileBytes(sub + "/a.wav", {1});
  EXPECT_EQ(FolderRemove(sub), 0);
  fs::remove(sub + "/a.wav");
  EXPECT_EQ(FolderRemove(sub + "/"), 1);
  EXPECT_EQ(FolderRemove(sub), 1);  // missing counts as removed
}

// A clock that moves `step` seconds each time window events run.
class WaitTest : public ::testing::Test {
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
  test::TempDir dir;
  ManualClock clock;
  double step = 0.001;
  int pumps = 0;
};

TEST_F(WaitTest, RenameTriesTenTimesUnlessOverwriting) {
  WriteFileBytes(dir.file("a.wav"), {1});
  WriteFileBytes(dir.file("b.wav"), {2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 0), 0);
  // Nine waits of 10, 20, ... 90 ms (cut short by real time on a busy
  // machine), events running all along.
  EXPECT_LT(clock.MonotonicSeconds(), 0.475);
  EXPECT_GT(pumps, 9);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{2});
  pumps = 0;
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 1), 1);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{1});
  EXPECT_EQ(pumps, 0);
}

TEST_F(WaitTest, WaitEventsStopsOnceTheTimeIsExceeded) {
  step = 0.125;  // exact in binary
  WaitEvents(250, 0);
  EXPECT_EQ(pumps, 3);  // 250 ms is reached, not exceeded, after two rounds
  step = 0;             // a clock that stands still: real time ends the wait
  WaitEvents(20, 1);
  EXPECT_GT(pumps, 3);
}

TEST(FileTimes, FileDateTextOfEachTimeStyleAndPart) {
  {
    const test::ScopedEnv japan("TZ", "JST-9");  // a POSIX rule: no zone database needed
    tzset();
    test::TempDir dir;
    const std::string path = dir.file("take.wav");
    const std::string before = FileTimeText(std::time(nullptr));
    WriteFileBytes(path, {1});
    constexpr time_t kWritten = 1796443449;  // 2026/12/05 13:04:09 in Japan, accessed 34 hours earlier
    const timespec times[2] = {{kWritten - 122400, 0}, {kWritten, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FileDateText(path, 2, 2, 2, 0), "13時04分09秒");
    EXPECT_EQ(FileDateText(path, 1, 3, 1, 0), "2026/12/04 03:04:09");
    EXPECT_GE(FileDateText(path, 0, 3, 1, 0), before);  // created during this test
    const int fd = open(path.c_str(), O_RDONLY);
    EXPECT_EQ(FileDateText("", 2, 3, 1, fd + 1), "2026/12/05 13:04:09");
    close(fd);
    EXPECT_EQ(FileDateText(dir.file("missing"), 2, 3, 1, 0), "");
  }
  tzset();  // the zone of the machine again
}

// File handles: how they open, and that a failed write closes them.
bool IsOpen(FileHandle handle) { return handle > 0 && fcntl(handle - 1, F_GETFD) != -1; }

TEST(GetFH, ModesOpenOrCreateButNeverTruncate) {
  test::TempDir dir;
  const std::string existing = dir.file("existing");
  WriteFileBytes(existing, {1, 2, 3});
  for (int32_t mode : {0, 1, 2}) {
    FileHandle h = GetFH(existing, mode);
    ASSERT_TRUE(IsOpen(h)) << mode;
    EXPECT_TRUE(fcntl(h - 1, F_GETFD) & FD_CLOEXEC);
    CloseFH(h);
    EXPECT_EQ(ReadFileBytes(existing), (Bytes{1, 2, 3})) << "mode " << mode;
    EXPECT_EQ(GetFH(dir.path().string(), mode), 0) << "a folder is no file";
  }
  EXPECT_EQ(GetFH(dir.file("missing"), 0) + GetFH(dir.file("missing"), 3), 0);
  EXPECT_EQ(access(dir.file("missing").c_str(), F_OK), -1) << "nothing was created";
}

TEST(WriteMemToFileEX, AppendsOverwritesExtendsAndFailsOnAFullDisk) {
  test::TempDir dir;
  const std::string path = dir.file("created");
  const unsigned char abc[3] = {'a', 'b', 'c'};
  FileHandle h = WriteMemToFileEX(abc, 3, -1, 0, path, 0);  // a missing file is created
  h = WriteMemToFileEX(abc, 2, -1, h, "", 0);
  h = WriteMemToFileEX("Z", 1, 1, h, "", 0);
  EXPECT_EQ(WriteMemToFileEX("Q", 1, 7, h, "", 1), 1);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'Z', 'c', 'a', 'b', 0, 0, 'Q'}));
  EXPECT_EQ(WriteMemToFileEX(abc, 3, 0, 0, dir.file("no/folder"), 1), 0);

  FileHandle full = GetFH("/dev/full", 2);
  ASSERT_NE(full, 0);
  const Bytes block(4096, 7);
  EXPECT_EQ(WriteMemToFileEX(block.data(), 4096, -1, full, "", 0), 0);
  EXPECT_FALSE(IsOpen(full));
}

}  // namespace
}  // namespace lumora
