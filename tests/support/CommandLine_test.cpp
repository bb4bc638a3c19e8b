#include <gtest/gtest.h>

#include "support/FileSystem.h"

namespace lumora {
namespace {

using Texts = std::vector<std::string>;

TEST(ParseCommandLine, AnEmptyOptionCollectsPaths) {
  Texts results;
  EXPECT_EQ(ParseCommandLine(results, "", R"(C:\rec\a.wav "\\host\share\b c.wav" word)"), 2);
  EXPECT_EQ(results, (Texts{R"(C:\rec\a.wav)", R"(\\host\share\b c.wav)"}));
  EXPECT_EQ(ParseCommandLine(results, "", R"(  /u/x.wav  "/tmp/a b.wav"x word "/a"/b)"), 4);
  EXPECT_EQ(results, (Texts{"/u/x.wav", "/tmp/a b.wav", "/a", "/b"}));
  EXPECT_EQ(ParseCommandLine(results, "", R"(a  "b c" d)"), 0);
  EXPECT_EQ(results, Texts{""});
}

TEST(ParseCommandLine, AnOptionCollectsWhatFollowsIt) {
  Texts results{"stale"};
  EXPECT_EQ(ParseCommandLine(results, "-o", "-ofile /-oother -x -o"), 3);
  EXPECT_EQ(results, (Texts{"file", "other", ""}));
  EXPECT_EQ(ParseCommandLine(results, "B", "x b /b B"), 1);  // exact case
  EXPECT_EQ(ParseCommandLine(results, "C", "x y"), 0);
  EXPECT_EQ(results, Texts{""});
}

TEST(ParseCommandLine, AnEmptyLineTakesTheProgramsArguments) {
  char program[] = "lumora", spaced[] = "/srv/rec/a b.wav", session[] = "/3";
  char* argv[] = {program, spaced, session};
  SetProgramArguments(3, argv);
  Texts results;
  EXPECT_EQ(ParseCommandLine(results, "", "  "), 2);
  EXPECT_EQ(results, (Texts{"/srv/rec/a b.wav", "/3"}));
  EXPECT_EQ(ParseCommandLine(results, "3", ""), 1);
  SetProgramArguments(1, argv);
}

TEST(BufferTexts, CutAtNullAndByteToBitText) {
  EXPECT_EQ(CutAtNull(std::string("  abc\0def  ", 11)), "abc");
  EXPECT_EQ(CutAtNull(std::string(" ab \0x", 6)), "ab ");
  EXPECT_EQ(ByteToBitText(1), "00000001");
  EXPECT_EQ(ByteToBitText(0xA5), "10100101");
}

}  // namespace
}  // namespace lumora
