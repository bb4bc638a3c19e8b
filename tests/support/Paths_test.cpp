#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

using test::TempDir;

TEST(PathTexts, FolderSlashAddsOrRemovesExactlyOneSeparator) {
  EXPECT_EQ(FolderSlash("/rec", 0), "/rec/");
  EXPECT_EQ(FolderSlash("/rec/", 0), "/rec/");
  EXPECT_EQ(FolderSlash("/rec/", 1), "/rec");
  EXPECT_EQ(FolderSlash("/rec//", 1), "/rec/");
  EXPECT_EQ(FolderSlash(" /rec ", 0), " /rec /");  // used untrimmed
  EXPECT_EQ(FolderSlash("   ", 0), "");
}

TEST(PathTexts, SplitPathPicksThePartsByFlag) {
  const std::string path = "/rec.d/a.b.WAV";
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 1, 1, 0), path);
  EXPECT_EQ(SplitPath(path, 0, 0, 0, 0, 1, 1), "wav");
  EXPECT_EQ(SplitPath(path, 1, 1, 0, 0, 0, 0), "/rec.d/");
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 0, 0, 2), "/REC.D/A.B");
  EXPECT_EQ(SplitPath("noslash.txt", 1, 1, 1, 1, 1, 0), "/noslash.txt");
  EXPECT_EQ(SplitPath("/a.d/take", 0, 0, 1, 1, 1, 0), "take");  // dots in folders never count
}

TEST(PathTexts, AddExtensionOnlyWhenMissing) {
  EXPECT_EQ(AddExtension("Take1", "WAV"), "Take1.wav");
  EXPECT_EQ(AddExtension("a.Wav", "WAV"), "a.Wav");
  EXPECT_EQ(AddExtension("a", " .mp3 "), "a.mp3");
  EXPECT_EQ(AddExtension("a", ""), "a");
  EXPECT_EQ(AddExtension("", "wav"), "");
}

TEST(PathTexts, IsReservedNameLooksAtTheBaseNameOnly) {
  EXPECT_EQ(IsReservedName("/a/com1.wav"), 1);
  EXPECT_EQ(IsReservedName("/a/CLOCK$"), 1);
  EXPECT_EQ(IsReservedName("/a/com10.wav"), 0);
  EXPECT_EQ(IsReservedName("/nul/take.wav"), 0);
}

TEST(UniqueFileName, NumbersFromOneFillingGapsAndGrowingPastTheWidth) {
  TempDir dir;
  const auto touch = [&](int n) {
    test::WriteFileBytes(dir.file((n < 10 ? "take0" : "take") + std::to_string(n) + ".wav"), {1});
  };
  const std::string path = dir.file("take.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take01.wav"));
  touch(1);
  touch(3);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take02.wav"));
  EXPECT_EQ(UniqueFileName(path, 0, 0, 3, 1), "take001");
  for (int n = 2; n <= 9; ++n) touch(n);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take10.wav"));
  for (int n = 10; n <= 99; ++n) touch(n);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take100.wav"));
}

TEST(UniqueFileName, KeepsAFreeNameAndIgnoresFolders) {
  TempDir dir;
  const std::string path = dir.file("new.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), path);
  std::filesystem::create_directory(dir.path() / "new01.wav");
  test::WriteFileBytes(path, {1});
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), dir.file("new01.wav"));
  EXPECT_EQ(UniqueFileName("solo.wav", 1, 1, 2, 1), "solo01.wav");  // no root folder made up
}

}  // namespace
}  // namespace lumora
