#include "settings/ProfileText.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

TEST(ProfileRead, FollowsTheWindowsReaderRules) {
  const std::string text =
      "\xEF\xBB\xBF; written by hand\r\ntop=outside any section\r\n[Other]\nnFreq=8000\n"
      "  [ CONF ]  \r\n  NFREQ  =  48000  \r\nnfreq=22050\r\n;nBit=24\r\nnCh\r\n"
      "DataPath = /home/歌/録音 \r\nEmpty=\r\n[conf]\r\nLate=second section of the same name\r\n";
  EXPECT_EQ(FindProfileValue(text, "conf", "nFreq"), "48000");  // first of the name wins, trimmed
  EXPECT_EQ(FindProfileValue(text, "other", "NFREQ"), "8000");
  EXPECT_EQ(FindProfileValue(text, "conf", "DataPath"), "/home/歌/録音");
  EXPECT_EQ(FindProfileValue(text, "conf", "Empty"), "");
  EXPECT_EQ(FindProfileValue(text, "conf", "nBit"), std::nullopt);  // commented out
  EXPECT_EQ(FindProfileValue(text, "conf", "nCh"), std::nullopt);   // no "="
  EXPECT_EQ(FindProfileValue(text, "conf", "Late"), std::nullopt);  // only the first [conf] counts
  EXPECT_EQ(FindProfileValue("[conf]\nnBit=\t24\t\r\r\n", "conf", "nBit"), "24");
  EXPECT_EQ(FindProfileValue("[conf]\r\nnBit=24", "conf", "nBit"), "24");
  EXPECT_EQ(FindProfileValue("[conf\r\nnBit=24\r\n", "conf", "nBit"), std::nullopt);  // no "]": no section
}

TEST(ProfileWrite, NewLinesGoAtTheEndOfTheirSectionOrOfTheFile) {
  EXPECT_EQ(SetProfileValue("[conf]\r\nnCh=2", "conf", "nBit", "16"), "[conf]\r\nnCh=2\r\nnBit=16\r\n");
  EXPECT_EQ(SetProfileValue("[other]\nx=1", "conf", "nBit", "16"), "[other]\nx=1\r\n[conf]\r\nnBit=16\r\n");
  EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "conf", "nBit", "16"), "\xEF\xBB\xBF[conf]\r\nnBit=16\r\n");
}

}  // namespace
}  // namespace lumora
