#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "common/TempDir.h"
#include "support/FileSystem.h"
#include "support/Log.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

// A folder tree of files last written a given number of days ago.
class CleanupTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative, int64_t daysAgo) {
    const fs::path path = dir.path() / relative;
    fs::create_directories(path.parent_path());
    test::WriteFileBytes(path.string(), {1});
    const timespec when{static_cast<time_t>(std::time(nullptr) - daysAgo * 86400), 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
  bool Has(const std::string& relative) const { return fs::exists(dir.path() / relative); }
  test::TempDir dir;
};

TEST_F(CleanupTest, FolderCleanDeletesOldFilesAndTheFoldersTheyLeaveEmpty) {
  Put("old.log", 100);
  Put("young.log", 10);
  Put("sub/deeper/old.txt", 200);
  Put("mixed/old.txt", 200);
  Put("mixed/young.txt", 1);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 90, "", 0), 1);
  EXPECT_FALSE(Has("old.log") || Has("sub") || Has("mixed/old.txt"));
  EXPECT_TRUE(Has("young.log") && Has("mixed/young.txt"));

  // The extension filter takes files and subfolders alike.
  Put("a.WAV", 100);
  Put("c.mp3", 100);
  Put("x/d.wav", 100);
  Put("set.wav/e.mp3", 0);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "wav", 1), 1);
  EXPECT_FALSE(Has("a.WAV"));
  EXPECT_TRUE(Has("set.wav/e.mp3"));  // noRecurse
  EXPECT_TRUE(Has("c.mp3") && Has("x/d.wav"));
  EXPECT_EQ(FolderHasEntries(dir.folder(), "MP3", 0), 1);
}

TEST_F(CleanupTest, NeitherCleanUpFollowsALinkOutOfTheTree) {
  test::TempDir outside;
  test::WriteFileBytes(outside.file("20200101 - PC - lumora.log"), {1});
  fs::create_directory_symlink(outside.path(), dir.path() / "link");
  EXPECT_EQ(CleanLogFolder(dir.folder(), 0, "PC"), 1);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link"));
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "", 0), 1);
  EXPECT_FALSE(fs::is_symlink(dir.path() / "link"));
  EXPECT_TRUE(fs::exists(outside.file("20200101 - PC - lumora.log")));
}

// The log folder setting may name a folder of the user's own: the start-up
// purge must take nothing but old log files from it.
TEST_F(CleanupTest, CleanLogFolderDeletesOnlyOldLogFiles) {
  const char* const gone[] = {"20260101 - STUDIO1 - lumora.log", "20260101 - STUDIO1 - lumoraB.err",
                              "20250101 - STUDIO1 - lumoraD.log"};
  const char* const kept[] = {"notes.txt", "20260101 - PC - lumora.log",
                              "mixed/20250101 - STUDIO1 - lumora.err", "20260101 - STUDIO1 - lumora.log.bak"};
  for (const char* name : gone) Put(name, 200);
  for (const char* name : kept) Put(name, 400);
  Put("20261201 - STUDIO1 - lumora.log", 5);
  EXPECT_EQ(CleanLogFolder(dir.folder(), 90, "STUDIO1"), 1);
  for (const char* name : gone) EXPECT_FALSE(Has(name)) << name;
  for (const char* name : kept) EXPECT_TRUE(Has(name)) << name;
  EXPECT_TRUE(Has("20261201 - STUDIO1 - lumora.log")) << "younger than 90 days";
}

}  // namespace
}  // namespace lumora
