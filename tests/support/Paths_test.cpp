#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/TempDir.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

using Texts = std::vector<std::string>;

TEST(PathTexts, SlashesPartsExtensionsAndReservedNames) {
  EXPECT_EQ(FolderSlash("/rec", 0) + FolderSlash("/rec//", 1), "/rec//rec/");
  EXPECT_EQ(FolderSlash("   ", 0), "");
  const std::string path = "/rec.d/a.b.WAV";
  EXPECT_EQ(SplitPath(path, 0, 0, 0, 0, 1, 1), "wav");
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 0, 0, 2), "/REC.D/A.B");
  EXPECT_EQ(SplitPath("/a.d/take", 0, 0, 1, 1, 1, 0), "take");  // dots in folders never count
  EXPECT_EQ(AddExtension("Take1", "WAV") + AddExtension("a.Wav", "WAV"), "Take1.wava.Wav");
  EXPECT_EQ(IsReservedName("/a/com1.wav"), 1);
  EXPECT_EQ(IsReservedName("/a/com10.wav"), 0);
  EXPECT_EQ(IsReservedName("/nul/take.wav"), 0);  // the base name only
}

TEST(UniqueFileName, NumbersFromOneFillingGapsAndGrowingPastTheWidth) {
  test::TempDir dir;
  const auto touch = [&](int from, int to) {
    for (int n = from; n <= to; ++n) {
      test::WriteFileBytes(dir.file((n < 10 ? "take0" : "take") + std::to_string(n) + ".wav"), {1});
    }
  };
  const std::string path = dir.file("take.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), path);  // a free name is kept
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take01.wav"));
  test::WriteFileBytes(path, {1});
  touch(1, 1);
  touch(3, 3);
  std::filesystem::create_directory(dir.path() / "take02.wav");  // folders never block a number
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), dir.file("take02.wav"));
  std::filesystem::remove(dir.path() / "take02.wav");
  touch(2, 9);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take10.wav"));
  touch(10, 99);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take100.wav"));
  EXPECT_EQ(UniqueFileName("solo.wav", 1, 1, 2, 1), "solo01.wav");  // no root folder made up
}

TEST(ParseCommandLine, PathsOrWhatFollowsAnOptionOrTheProgramsArguments) {
  const std::tuple<const char*, const char*, Texts> cases[] = {
      {"", R"(  /u/x.wav  "/tmp/a b.wav"x word "/a"/b)", {"/u/x.wav", "/tmp/a b.wav", "/a", "/b"}},
      {"-o", "-ofile /-oother -x -o", {"file", "other", ""}},
      {"B", "x b /b B", {""}},  // exact case
  };
  for (const auto& [option, line, found] : cases) {
    Texts results{"stale"};
    EXPECT_EQ(ParseCommandLine(results, option, line), std::ssize(found)) << line;
    EXPECT_EQ(results, found.empty() ? Texts{""} : found) << line;
  }
  char program[] = "lumora", spaced[] = "/srv/rec/a b.wav", session[] = "/3";
  char* argv[] = {program, spaced, session};
  SetProgramArguments(3, argv);
  Texts results;
  EXPECT_EQ(ParseCommandLine(results, "", "  "), 2);
  EXPECT_EQ(results, (Texts{"/srv/rec/a b.wav", "/3"}));
  EXPECT_EQ(ParseCommandLine(results, "3", ""), 1);
  SetProgramArguments(1, argv);
}

}  // namespace
}  // namespace lumora
