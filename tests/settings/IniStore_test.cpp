#include "settings/IniStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "SettingsTestKit.h"
#include "common/FileSizeLimit.h"
#include "settings/ProfileText.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

using IniStoreTest = test::SettingsTest;

TEST_F(IniStoreTest, WriteBackOfDefaultsOnlyWhenAskedAndForIsDefault) {
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
  EXPECT_FALSE(fs::exists(ini_)) << "no write-back unless asked";
  WriteText(ini_, "[conf]\r\nnFreq=ISDEFAULT\r\nnBit=24\r\n");
  EXPECT_EQ(IniReadValue("nFreq", "48000", ini_, true), "48000");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\nnBit=24\r\n");
}

TEST_F(IniStoreTest, ValuesAreCutAt254CharactersAndUnquoted) {
  const auto repeat = [](const std::string& text, int times) {
    std::string all;
    while (times-- > 0) all += text;
    return all;
  };
  WriteText(ini_, "[conf]\r\nQ=\"  spaced  \"\r\nH=\"half\r\n");
  EXPECT_EQ(IniReadValue("Q", "", ini_, false), "  spaced  ");
  EXPECT_EQ(IniReadValue("H", "", ini_, false), "\"half");
  IniWriteValue("J", repeat("録", 300), ini_);
  EXPECT_EQ(IniReadValue("J", "", ini_, false), repeat("録", 254)) << "characters, not bytes";
}

// Lines written here end in CR LF; every other byte stays as it was.
TEST_F(IniStoreTest, WritesChangeOnlyTheirOwnLine) {
  WriteText(
      ini_,
      "\xEF\xBB\xBF; lumora settings\n[window]\nLeft=1\n\n[conf]\n; the rate\nnFreq = 48000\n\n[tail]\n");
  IniWriteValue("NFREQ", "96000", ini_);
  IniWriteValue("nBit", "24", ini_);
  EXPECT_EQ(
      ReadText(ini_),
      "\xEF\xBB\xBF; lumora settings\n[window]\nLeft=1\n\n[conf]\n; the rate\nnFreq=96000\r\nnBit=24\r\n\n"
      "[tail]\n");

  // A line break in a value or an "=" in a key would inject keys.
  const std::string written = ReadText(ini_);
  EXPECT_FALSE(IniWriteValue("DataPath", "/tmp\r\nnFreq=8000", ini_));
  EXPECT_FALSE(IniWriteValue("a=b", "1", ini_));
  EXPECT_EQ(ReadText(ini_), written);
}

TEST_F(IniStoreTest, BrokenFilesReadAsDefaultsAndLoseNothingOnWrite) {
  std::string binary(4096, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random());
  for (const std::string& content :
       {binary, std::string("[conf\r\n=44100\r\nnFreq\r\n]]]\r\n[]\r\n==\r\n")}) {
    WriteText(ini_, content);
    EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
    EXPECT_TRUE(IniWriteValue("nFreq", "44100", ini_));
    EXPECT_EQ(ReadText(ini_).substr(0, content.size()), content);
    EXPECT_EQ(IniReadValue("nFreq", "0", ini_, false), "44100");
  }

  fs::remove(ini_);
  fs::create_directory(ini_);  // a folder in the file's place
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_FALSE(IniWriteValue("nFreq", "48000", ini_));
  EXPECT_TRUE(fs::is_directory(ini_));
  fs::remove(ini_);

  const std::string big = "[conf]\r\nnFreq=48000\r\n" + std::string(2 << 20, ' ');
  WriteText(ini_, big);
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_EQ(fs::file_size(ini_), big.size());
}

// A lowered file-size limit makes writes fail as on a full disk (root included).
TEST_F(IniStoreTest, FullDiskFailsTheWriteAndKeepsTheOldFile) {
  const std::string before = "[conf]\r\nnFreq=48000\r\n" + std::string(200, ';') + "\r\n";
  WriteText(ini_, before);
  {
    test::FileSizeLimit limit(64);
    EXPECT_FALSE(IniWriteValue("nBit", "24", ini_));
  }
  EXPECT_EQ(ReadText(ini_), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(app_), fs::directory_iterator()), 1)
      << "a temporary file left";
}

TEST_F(IniStoreTest, SessionsWritingOneFileAtOnceLoseNoKey) {
  std::vector<pid_t> sessions;
  for (const char* name : {"A", "B"}) {
    const pid_t pid = fork();
    if (pid == 0) {
      bool ok = true;
      for (int i = 0; i < 40; ++i) ok &= IniWriteValue(name + std::to_string(i), "1", ini_);
      _exit(ok ? 0 : 1);
    }
    sessions.push_back(pid);
  }
  for (const pid_t pid : sessions) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
  }
  const std::string text = ReadText(ini_);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 2 * 40);
  EXPECT_EQ(IniReadValue("A39", "", ini_, false) + IniReadValue("B0", "", ini_, false), "11");
}

TEST_F(IniStoreTest, WriteKeepsPermissionsAndSymbolicLinks) {
  const std::string target = dir_.file("shared.ini");
  WriteText(target, "[conf]\r\n");
  chmod(target.c_str(), 0640);
  fs::create_symlink(target, ini_);
  EXPECT_TRUE(IniWriteValue("nFreq", "48000", ini_));
  EXPECT_TRUE(fs::is_symlink(ini_));
  EXPECT_EQ(ReadText(target), "[conf]\r\nnFreq=48000\r\n");
  struct stat info {};
  stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ProfileRead, FollowsTheWindowsReaderRules) {
  const std::string text =
      "\xEF\xBB\xBF; written by hand\r\ntop=outside any section\r\n[Other]\nnFreq=8000\n"
      "  [ CONF ]  \r\n  NFREQ  =  48000  \r\nnfreq=22050\r\n;nBit=24\r\nnCh\r\n"
      "DataPath = /home/歌/録音 \r\nEmpty=\r\n[conf]\r\nLate=second section of the same name\r\n";
  EXPECT_EQ(FindProfileValue(text, "conf", "nFreq"), "48000");  // first of the name wins, trimmed
  EXPECT_EQ(FindProfileValue(text, "conf", "DataPath"), "/home/歌/録音");
  EXPECT_EQ(FindProfileValue(text, "conf", "nBit"), std::nullopt);  // commented out
  EXPECT_EQ(FindProfileValue(text, "conf", "nCh"), std::nullopt);   // no "="
  EXPECT_EQ(FindProfileValue(text, "conf", "Late"), std::nullopt);  // only the first [conf] counts
  EXPECT_EQ(FindProfileValue("[conf\r\nnBit=24\r\n", "conf", "nBit"), std::nullopt);  // no "]": no section
}

TEST(ProfileWrite, NewLinesGoAtTheEndOfTheirSectionOrOfTheFile) {
  EXPECT_EQ(SetProfileValue("[other]\nx=1", "conf", "nBit", "16"), "[other]\nx=1\r\n[conf]\r\nnBit=16\r\n");
  EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "conf", "nBit", "16"), "\xEF\xBB\xBF[conf]\r\nnBit=16\r\n");
}

}  // namespace
}  // namespace lumora
