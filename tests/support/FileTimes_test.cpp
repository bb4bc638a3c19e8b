#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

// Runs each case in a fixed zone (no tz database needed for a POSIX rule).
class FileTimesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    if (zone) savedZone_ = zone;
    hadZone_ = zone != nullptr;
    setenv("TZ", "JST-9", 1);
    tzset();
  }
  void TearDown() override {
    if (hadZone_) {
      setenv("TZ", savedZone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string savedZone_;
  bool hadZone_ = false;
};

// 2026/12/05 13:04:09 in Japan; last access one day and 10 hours earlier.
constexpr int64_t kWritten = 1796443449;
constexpr int64_t kAccessed = kWritten - 86400 - 36000;

TEST_F(FileTimesTest, FileTimeTextIsLocalAndSortable) {
  EXPECT_EQ(FileTimeText(0), "1970/01/01 09:00:00");
  EXPECT_EQ(FileTimeText(kWritten), "2026/12/05 13:04:09");
  EXPECT_LT(FileTimeText(kWritten - 1), FileTimeText(kWritten));
}

TEST_F(FileTimesTest, FileDateTextStylesPartsAndTimes) {
  test::TempDir dir;
  const std::string path = dir.file("take.wav");
  const std::string before = FileTimeText(std::time(nullptr));
  test::WriteFileBytes(path, {1});
  const std::string after = FileTimeText(std::time(nullptr));
  const timespec times[2] = {{kAccessed, 0}, {kWritten, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  EXPECT_EQ(FileDateText(path, 2, 3, 0, 0), "20261205130409");
  EXPECT_EQ(FileDateText(path, 2, 3, 1, 0), "2026/12/05 13:04:09");
  EXPECT_EQ(FileDateText(path, 2, 3, 2, 0), "2026年12月05日 13時04分09秒");
  EXPECT_EQ(FileDateText(path, 2, 1, 1, 0), "2026/12/05");
  EXPECT_EQ(FileDateText(path, 2, 2, 2, 0), "13時04分09秒");
  EXPECT_EQ(FileDateText(path, 1, 3, 1, 0), "2026/12/04 03:04:09");
  // Creation (or status change) happened during this test, not at the times set.
  const std::string created = FileDateText(path, 0, 3, 1, 0);
  EXPECT_GE(created, before);
  EXPECT_LE(created, after);

  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(FileDateText("", 2, 3, 1, fd + 1), "2026/12/05 13:04:09");
  close(fd);
}

TEST_F(FileTimesTest, FileDateTextFailsWithEmptyText) {
  test::TempDir dir;
  test::WriteFileBytes(dir.file("a"), {1});
  EXPECT_EQ(FileDateText(dir.file("missing"), 2, 3, 1, 0), "");
  EXPECT_EQ(FileDateText(dir.file("a"), 3, 3, 1, 0), "");
  EXPECT_EQ(FileDateText(dir.file("a"), 2, 3, 3, 0), "");
  EXPECT_EQ(FileDateText(dir.file("a"), 2, 0, 1, 0), "");
}

}  // namespace
}  // namespace lumora
