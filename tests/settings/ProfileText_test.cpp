#include "settings/ProfileText.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
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
  EXPECT_EQ(FindProfileValue(text, "conf", "top"), std::nullopt);
  EXPECT_EQ(FindProfileValue(text, "missing", "nFreq"), std::nullopt);
  EXPECT_EQ(FindProfileValue("[conf]\nnBit=\t24\t\r\r\n", "conf", "nBit"), "24");
  EXPECT_EQ(FindProfileValue("[conf]\r\nnBit=24", "conf", "nBit"), "24");
  EXPECT_EQ(FindProfileValue("[conf\r\nnBit=24\r\n", "conf", "nBit"), std::nullopt);  // no "]": no section
}

TEST(ProfileWrite, NewLinesGoAtTheEndOfTheirSectionOrOfTheFile) {
  EXPECT_EQ(SetProfileValue("[conf]\r\nnCh=2", "conf", "nBit", "16"), "[conf]\r\nnCh=2\r\nnBit=16\r\n");
  EXPECT_EQ(SetProfileValue("[other]\nx=1", "conf", "nBit", "16"), "[other]\nx=1\r\n[conf]\r\nnBit=16\r\n");
  EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "conf", "nBit", "16"), "\xEF\xBB\xBF[conf]\r\nnBit=16\r\n");
}

// Any text a person or a broken program may leave: after a write, the written
// key reads back and every other key of the section still reads as before.
TEST(ProfileWrite, RandomFilesKeepEveryOtherValue) {
  using namespace std::string_view_literals;
  const std::string_view pieces[] = {"[conf]"sv, "[Conf]"sv, "[x]"sv,          "["sv,  "]"sv,    "="sv, ";"sv,
                                     " "sv,      "\t"sv,     "\r"sv,           "\n"sv, "\r\n"sv, "a"sv, "B"sv,
                                     "key"sv,    "v"sv,      "\xEF\xBB\xBF"sv, "\0"sv};
  const char* keys[] = {"a", "b", "key", "new"};
  std::mt19937 random(20261205);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    const std::string key = keys[random() % std::size(keys)];
    const std::string value = "value" + std::to_string(round);
    std::map<std::string, std::optional<std::string>> others;
    for (const char* other : keys) others[other] = FindProfileValue(text, "conf", other);

    const std::string written = SetProfileValue(text, "conf", key, value);
    ASSERT_EQ(FindProfileValue(written, "conf", key), value) << testing::PrintToString(text);
    for (const char* other : keys) {
      if (other == key) continue;
      ASSERT_EQ(FindProfileValue(written, "conf", other), others[other]) << testing::PrintToString(text);
    }
  }
}

}  // namespace
}  // namespace lumora
