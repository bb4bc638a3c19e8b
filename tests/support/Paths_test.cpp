#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

using test::TempDir;
using test::WriteFileBytes;

TEST(FolderSlash, AddsOrRemovesExactlyOneSeparator) {
  EXPECT_EQ(FolderSlash("/rec", 0), "/rec/");
  EXPECT_EQ(FolderSlash("/rec/", 0), "/rec/");
  EXPECT_EQ(FolderSlash("/rec/", 1), "/rec");
  EXPECT_EQ(FolderSlash("/rec", 1), "/rec");
  EXPECT_EQ(FolderSlash("/rec//", 1), "/rec/");
  EXPECT_EQ(FolderSlash("http://host/dir", 0), "http://host/dir/");
  EXPECT_EQ(FolderSlash(" /rec ", 0), " /rec /");  // used untrimmed
  EXPECT_EQ(FolderSlash("", 0), "");
  EXPECT_EQ(FolderSlash("   ", 0), "");
}

TEST(SplitPath, PicksThePartsByFlag) {
  const std::string path = "/rec.d/a.b.WAV";
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 1, 1, 0), path);
  EXPECT_EQ(SplitPath(path, 0, 0, 0, 0, 1, 1), "wav");
  EXPECT_EQ(SplitPath(path, 1, 1, 0, 0, 0, 0), "/rec.d/");
  EXPECT_EQ(SplitPath(path, 0, 0, 1, 0, 0, 0), "a.b");
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 0, 0, 2), "/REC.D/A.B");
  EXPECT_EQ(SplitPath("noslash.txt", 1, 1, 1, 1, 1, 0), "/noslash.txt");
  // Dots in folder names never count; no dot means no dot and no extension.
  EXPECT_EQ(SplitPath("/a.d/take", 0, 0, 1, 1, 1, 0), "take");
  EXPECT_EQ(SplitPath("/a.d/take", 0, 0, 0, 1, 1, 0), "");
  EXPECT_EQ(SplitPath("", 1, 1, 1, 1, 1, 0), "");
  EXPECT_EQ(SplitPath("/録音/テイク.wav", 0, 0, 1, 0, 0, 2), "テイク");
}

TEST(AddExtension, AppendsALowerCaseExtensionOnlyWhenMissing) {
  EXPECT_EQ(AddExtension("Take1", "WAV"), "Take1.wav");
  EXPECT_EQ(AddExtension("Take1.WAV", "wav"), "Take1.WAV");
  EXPECT_EQ(AddExtension("a.Wav", "WAV"), "a.Wav");
  EXPECT_EQ(AddExtension("a", " .mp3 "), "a.mp3");
  EXPECT_EQ(AddExtension("a", ""), "a");
  EXPECT_EQ(AddExtension("a", "   "), "a");
  EXPECT_EQ(AddExtension("", "wav"), "");
  EXPECT_EQ(AddExtension("a.wav.bak", "wav"), "a.wav.bak.wav");
}

TEST(IsReservedName, MatchesTheDeviceNamesOfTheBaseNameOnly) {
  EXPECT_EQ(IsReservedName("/a/com1.wav"), 1);
  EXPECT_EQ(IsReservedName("/a/Lpt1"), 1);
  EXPECT_EQ(IsReservedName("/a/CLOCK$"), 1);
  EXPECT_EQ(IsReservedName("con.wav"), 1);
  EXPECT_EQ(IsReservedName("/a/com10.wav"), 0);
  EXPECT_EQ(IsReservedName("/a/COM1x.wav"), 0);
  EXPECT_EQ(IsReservedName("/nul/take.wav"), 0);
  EXPECT_EQ(IsReservedName(""), 0);
}

class UniqueFileNameTest : public ::testing::Test {
 protected:
  void Touch(const std::string& name) { WriteFileBytes(dir.file(name), {1}); }
  void TouchNumbered(int from, int to) {
    for (int n = from; n <= to; ++n) Touch((n < 10 ? "take0" : "take") + std::to_string(n) + ".wav");
  }
  TempDir dir;
};

TEST_F(UniqueFileNameTest, NumbersFromOneAndFillsTheFirstGap) {
  const std::string path = dir.file("take.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take01.wav"));
  Touch("take01.wav");
  Touch("take03.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take02.wav"));
  EXPECT_EQ(UniqueFileName(path, 0, 0, 2, 1), "take02");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 3, 1), dir.file("take001.wav"));
}

TEST_F(UniqueFileNameTest, NumbersGrowPastTheirWidth) {
  TouchNumbered(1, 9);
  EXPECT_EQ(UniqueFileName(dir.file("take.wav"), 1, 1, 2, 1), dir.file("take10.wav"));
  TouchNumbered(10, 99);
  EXPECT_EQ(UniqueFileName(dir.file("take.wav"), 1, 1, 2, 1), dir.file("take100.wav"));
}

TEST_F(UniqueFileNameTest, KeepsAFreeNameUnlessAlwaysNumbered) {
  const std::string path = dir.file("new.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), path);
  EXPECT_EQ(UniqueFileName(path, 0, 1, 2, 0), "new.wav");
  Touch("new.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), dir.file("new01.wav"));
}

TEST_F(UniqueFileNameTest, FoldersDoNotBlockANumber) {
  std::filesystem::create_directory(dir.path() / "take01.wav");
  EXPECT_EQ(UniqueFileName(dir.file("take.wav"), 1, 1, 2, 1), dir.file("take01.wav"));
}

TEST_F(UniqueFileNameTest, NamesWithoutFolderOrExtensionStayThatWay) {
  EXPECT_EQ(UniqueFileName("solo.wav", 1, 1, 2, 1), "solo01.wav");
  EXPECT_EQ(UniqueFileName(dir.file("take"), 1, 1, 2, 1), dir.file("take01"));
}

}  // namespace
}  // namespace lumora
