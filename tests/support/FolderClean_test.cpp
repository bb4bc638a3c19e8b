#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "common/TempDir.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr int64_t kDay = 86400;

// Builds a tree with files last written a given number of days ago.
class FolderCleanTest : public ::testing::Test {
 protected:
  std::string Put(const std::string& relative, int64_t daysAgo) {
    const fs::path path = dir.path() / relative;
    fs::create_directories(path.parent_path());
    test::WriteFileBytes(path.string(), {1, 2, 3});
    const timespec when{static_cast<time_t>(std::time(nullptr) - daysAgo * kDay), 0};
    const timespec times[2] = {when, when};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path.string();
  }
  bool Has(const std::string& relative) const { return fs::exists(dir.path() / relative); }
  TempDir dir;
};

TEST_F(FolderCleanTest, DeletesOldFilesAndTheFoldersTheyLeaveEmpty) {
  Put("old.log", 100);
  Put("young.log", 10);
  Put("old.wav", 91);
  Put("sub/old.txt", 200);
  Put("sub/deeper/old.txt", 200);
  Put("mixed/old.txt", 200);
  Put("mixed/young.txt", 1);
  fs::create_directory(dir.path() / "empty");
  int pumped = 0;
  SetEventPump([&] { ++pumped; });
  EXPECT_EQ(FolderClean(dir.folder(), 1, 90, "", 0), 1);
  SetEventPump(nullptr);
  EXPECT_FALSE(Has("old.log"));
  EXPECT_FALSE(Has("old.wav"));
  EXPECT_FALSE(Has("sub"));
  EXPECT_FALSE(Has("mixed/old.txt"));
  EXPECT_FALSE(Has("empty"));
  EXPECT_TRUE(Has("young.log"));
  EXPECT_TRUE(Has("mixed/young.txt"));
  EXPECT_TRUE(fs::is_directory(dir.path()));
  EXPECT_GE(pumped, 1);
}

TEST_F(FolderCleanTest, WithoutKeepFolderRemovesTheFolderOnlyWhenEmpty) {
  Put("a/old.log", 100);
  Put("a/young.log", 10);
  EXPECT_EQ(FolderClean(dir.file("a"), 0, 90, "", 0), 0);
  EXPECT_TRUE(Has("a/young.log"));
  EXPECT_FALSE(Has("a/old.log"));
  Put("b/old.log", 100);
  EXPECT_EQ(FolderClean(dir.file("b"), 0, 90, "", 0), 1);
  EXPECT_FALSE(Has("b"));
}

TEST_F(FolderCleanTest, TheExtensionFilterAppliesToFilesAndSubfolders) {
  Put("a.wav", 100);
  Put("b.WAV", 100);
  Put("c.mp3", 100);
  Put("x/d.wav", 100);
  Put("y.wav/e.mp3", 100);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 90, "wav", 0), 1);
  EXPECT_FALSE(Has("a.wav"));
  EXPECT_FALSE(Has("b.WAV"));
  EXPECT_TRUE(Has("c.mp3"));
  EXPECT_TRUE(Has("x/d.wav"));  // "x" does not match the filter, so it is not visited
  EXPECT_TRUE(Has("y.wav/e.mp3"));
}

TEST_F(FolderCleanTest, WithoutAgeEverythingGoesAndNoRecurseSparesSubfolders) {
  Put("young.txt", 0);
  Put("sub/young.mp3", 0);
  Put("set.wav/young.mp3", 0);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "", 1), 1);
  EXPECT_FALSE(Has("young.txt"));
  EXPECT_TRUE(Has("sub/young.mp3"));
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, ".wav", 0), 1);
  EXPECT_TRUE(Has("sub/young.mp3"));
  EXPECT_FALSE(Has("set.wav"));  // a visited subfolder is emptied whatever the filter
}

TEST_F(FolderCleanTest, NeverFollowsALinkOutOfTheTree) {
  TempDir outside;
  test::WriteFileBytes(outside.file("precious.txt"), {9});
  fs::create_directory_symlink(outside.path(), dir.path() / "link");
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "", 0), 1);
  EXPECT_TRUE(fs::exists(outside.file("precious.txt")));
  EXPECT_FALSE(fs::is_symlink(dir.path() / "link"));
}

TEST_F(FolderCleanTest, AMissingFolderIsAFailure) {
  EXPECT_EQ(FolderClean(dir.file("missing"), 1, 90, "", 0), 0);
  EXPECT_EQ(FolderClean(dir.file("missing"), 0, 0, "", 0), 0);
}

TEST_F(FolderCleanTest, FolderHasEntriesByFilterAndMode) {
  EXPECT_EQ(FolderHasEntries(dir.folder(), "", 0), 0);
  Put("a.wav", 0);
  EXPECT_EQ(FolderHasEntries(dir.path().string(), "", 0), 1);
  EXPECT_EQ(FolderHasEntries(dir.folder(), "WAV", 0), 1);
  EXPECT_EQ(FolderHasEntries(dir.folder(), "mp3", 0), 0);
  EXPECT_EQ(FolderHasEntries(dir.folder(), "", 1), 0);
  fs::create_directory(dir.path() / "sub");
  EXPECT_EQ(FolderHasEntries(dir.folder(), "", 1), 1);
  EXPECT_EQ(FolderHasEntries(dir.folder(), "", 2), 0);
  EXPECT_EQ(FolderHasEntries(dir.file("missing"), "", 0), 0);
}

}  // namespace
}  // namespace lumora
