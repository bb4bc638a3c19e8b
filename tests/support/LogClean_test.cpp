#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "common/TempDir.h"
#include "support/Log.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A folder that a user chose as log folder: old log files among the user's own
// old files and folders.
class CleanLogFolderTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative, int64_t daysAgo) {
    const fs::path path = dir.path() / relative;
    fs::create_directories(path.parent_path());
    test::WriteFileBytes(path.string(), {'x'});
    const timespec when{static_cast<time_t>(std::time(nullptr) - daysAgo * 86400), 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
  bool Has(const std::string& relative) const { return fs::exists(dir.path() / relative); }
  TempDir dir;
};

TEST_F(CleanLogFolderTest, OnlyTheProgramsOldLogFilesGo) {
  Put("20260101 - STUDIO1 - lumora.log", 200);
  Put("20260101 - STUDIO1 - lumoraB.err", 200);
  Put("20260101 -  - lumora.log", 200);
  Put("20261201 - STUDIO1 - lumora.log", 5);
  Put("notes.txt", 400);
  Put("20260101 - STUDIO1 - lumora.log.bak", 400);
  Put("2026010 - PC - lumora.log", 400);
  Put("20260101 - lumora.log", 400);
  Put("archive/2025/20250101 - PC - lumora.log", 400);
  Put("mixed/20250101 - PC - lumora.err", 400);
  Put("mixed/letter.doc", 400);
  Put("photos/old.jpg", 400);
  fs::create_directory(dir.path() / "empty");

  EXPECT_EQ(CleanLogFolder(dir.folder(), 90), 1);

  EXPECT_FALSE(Has("20260101 - STUDIO1 - lumora.log"));
  EXPECT_FALSE(Has("20260101 - STUDIO1 - lumoraB.err"));
  EXPECT_FALSE(Has("20260101 -  - lumora.log"));
  EXPECT_FALSE(Has("archive"));  // emptied of log files, so removed with its subfolder
  EXPECT_FALSE(Has("mixed/20250101 - PC - lumora.err"));
  EXPECT_TRUE(Has("20261201 - STUDIO1 - lumora.log"));
  EXPECT_TRUE(Has("notes.txt"));
  EXPECT_TRUE(Has("20260101 - STUDIO1 - lumora.log.bak"));
  EXPECT_TRUE(Has("2026010 - PC - lumora.log"));
  EXPECT_TRUE(Has("20260101 - lumora.log"));
  EXPECT_TRUE(Has("mixed/letter.doc"));
  EXPECT_TRUE(Has("photos/old.jpg"));
  EXPECT_TRUE(Has("empty"));
}

TEST_F(CleanLogFolderTest, TheLogFolderStaysAndLinksAreNotFollowed) {
  TempDir outside;
  test::WriteFileBytes(outside.file("20200101 - PC - lumora.log"), {'x'});
  fs::create_directory_symlink(outside.path(), dir.path() / "elsewhere");
  Put("logs/20200101 - PC - lumora.log", 400);
  EXPECT_EQ(CleanLogFolder(dir.file("logs"), 90), 1);
  EXPECT_TRUE(fs::is_directory(dir.path() / "logs"));
  EXPECT_EQ(CleanLogFolder(dir.folder(), 0), 1);
  EXPECT_TRUE(fs::exists(outside.file("20200101 - PC - lumora.log")));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "elsewhere"));
}

TEST_F(CleanLogFolderTest, AMissingFolderReportsFailure) {
  EXPECT_EQ(CleanLogFolder(dir.file("missing"), 90), 0);
}

}  // namespace
}  // namespace lumora
