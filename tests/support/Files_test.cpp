#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

using test::TempDir;
using test::WriteFileBytes;
namespace fs = std::filesystem;

TEST(FileExists, CountsFilesButNeverFoldersOrBlanks) {
  TempDir dir;
  WriteFileBytes(dir.file("a.wav"), {1, 2});
  EXPECT_EQ(FileExists(dir.file("a.wav")), 1);
  EXPECT_EQ(FileExists(dir.file("b.wav")), 0);
  EXPECT_EQ(FileExists(dir.folder()), 0);
  EXPECT_EQ(FileExists(dir.path().string()), 0);
  EXPECT_EQ(FileExists(""), 0);
  EXPECT_EQ(FileExists("   "), 0);
}

TEST(FileDelete, DeletesReadOnlyAndDeviceNamedFiles) {
  TempDir dir;
  const std::string locked = dir.file("locked.wav");
  WriteFileBytes(locked, {1});
  chmod(locked.c_str(), 0444);
  EXPECT_EQ(FileDelete(locked), 1);
  EXPECT_FALSE(fs::exists(locked));
  // An ordinary name on this system: a take named con.wav must really go.
  const std::string con = dir.file("con.wav");
  WriteFileBytes(con, {1});
  EXPECT_EQ(FileDelete(con), 1);
  EXPECT_FALSE(fs::exists(con));
}

TEST(FileDelete, MissingCountsAsDeletedButAFolderIsNotAFile) {
  TempDir dir;
  EXPECT_EQ(FileDelete(dir.file("missing.wav")), 1);
  EXPECT_EQ(FileDelete(dir.file("no/such/folder.wav")), 1);
  fs::create_directory(dir.path() / "sub");
  EXPECT_EQ(FileDelete(dir.file("sub")), 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
}

TEST(Folders, CreateOneLevelCheckAndRemoveOnlyWhenEmpty) {
  TempDir dir;
  const std::string sub = dir.file("sub");
  EXPECT_EQ(FolderExists(sub), 0);
  EXPECT_EQ(FolderCreate(dir.file("sub/deeper")), 0);  // no intermediate folders
  EXPECT_EQ(FolderCreate(sub + "/"), 1);
  EXPECT_EQ(FolderCreate(sub), 0);  // already there
  EXPECT_EQ(FolderExists(sub), 1);
  EXPECT_EQ(FolderExists(sub + "/"), 1);
  EXPECT_EQ(FolderExists("/"), 1);
  EXPECT_EQ(FolderExists(""), 0);
  WriteFileBytes(sub + "/a.wav", {1});
  EXPECT_EQ(FolderExists(sub + "/a.wav"), 0);
  EXPECT_EQ(FolderRemove(sub), 0);
  fs::remove(sub + "/a.wav");
  chmod(sub.c_str(), 0555);
  EXPECT_EQ(FolderRemove(sub + "/"), 1);
  EXPECT_FALSE(fs::exists(sub));
  EXPECT_EQ(FolderRemove(sub), 1);  // missing counts as removed
}

TEST(ProgramFolders, EndInASeparatorAndExist) {
  const std::string app = AppFolder();
  ASSERT_FALSE(app.empty());
  EXPECT_EQ(app.back(), '/');
  EXPECT_EQ(FolderExists(app), 1);
  EXPECT_TRUE(fs::exists(app + "support_tests"));
  EXPECT_EQ(SystemFolder(), "/usr/bin/");
}

}  // namespace
}  // namespace lumora
