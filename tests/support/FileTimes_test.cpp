#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

// Japan's zone as a POSIX rule (no zone database needed), restored afterwards.
class FileTimesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    setenv("TZ", "JST-9", 1);
    tzset();
  }
  void TearDown() override {
    saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }
  std::optional<std::string> saved_;
};

constexpr int64_t kWritten = 1796443449;  // 2026/12/05 13:04:09 in Japan

TEST_F(FileTimesTest, FileDateTextOfEachTimeStyleAndPart) {
  test::TempDir dir;
  const std::string path = dir.file("take.wav");
  const std::string before = FileTimeText(std::time(nullptr));
  test::WriteFileBytes(path, {1});
  const timespec times[2] = {{kWritten - 122400, 0}, {kWritten, 0}};  // accessed 34 hours earlier
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  EXPECT_EQ(FileTimeText(0), "1970/01/01 09:00:00");
  EXPECT_EQ(FileDateText(path, 2, 3, 0, 0), "20261205130409");
  EXPECT_EQ(FileDateText(path, 2, 3, 1, 0), "2026/12/05 13:04:09");
  EXPECT_EQ(FileDateText(path, 2, 3, 2, 0), "2026年12月05日 13時04分09秒");
  EXPECT_EQ(FileDateText(path, 2, 1, 1, 0), "2026/12/05");
  EXPECT_EQ(FileDateText(path, 2, 2, 2, 0), "13時04分09秒");
  EXPECT_EQ(FileDateText(path, 1, 3, 1, 0), "2026/12/04 03:04:09");
  const std::string created = FileDateText(path, 0, 3, 1, 0);  // during this test
  EXPECT_GE(created, before);
  EXPECT_LE(created, FileTimeText(std::time(nullptr)));

  const int fd = open(path.c_str(), O_RDONLY);
  EXPECT_EQ(FileDateText("", 2, 3, 1, fd + 1), "2026/12/05 13:04:09");
  close(fd);
  EXPECT_EQ(FileDateText(dir.file("missing"), 2, 3, 1, 0), "");
  EXPECT_EQ(FileDateText(path, 3, 3, 1, 0), "");
  EXPECT_EQ(FileDateText(path, 2, 3, 3, 0), "");
}

}  // namespace
}  // namespace lumora
