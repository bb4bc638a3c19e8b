#include "settings/IniStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "SettingsTestKit.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

class IniStoreTest : public test::SettingsTest {
 protected:
  std::string ini_ = app_ + "lumora.ini";

  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(app_)) names.push_back(entry.path().filename().string());
    return names;
  }
};

// Lowers the file-size limit for the life of the object, so writes beyond it
// fail as on a full disk (root included).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, old_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(IniStoreTest, MarkersAndWriteBackOfDefaults) {
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
  EXPECT_FALSE(fs::exists(ini_)) << "no write-back unless asked";
  EXPECT_TRUE(IniWriteValue("DeviceInName", "", ini_));
  EXPECT_EQ(IniReadValue("DeviceInName", "default", ini_, true), "") << "a stored *** is the empty text";
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nDeviceInName=***\r\nnFreq=44100\r\n");

  WriteText(ini_, "[conf]\r\nnFreq=ISDEFAULT\r\nnBit=24\r\n");
  EXPECT_EQ(IniReadValue("nFreq", "48000", ini_, true), "48000");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\nnBit=24\r\n");
}

TEST_F(IniStoreTest, ValuesAreCutAt254CharactersAndUnquoted) {
  WriteText(ini_, "[conf]\r\nA=" + std::string(300, 'a') + "\r\nQ=\"  spaced  \"\r\nS='x'\r\nH=\"half\r\n");
  EXPECT_EQ(IniReadValue("A", "", ini_, false), std::string(254, 'a'));
  EXPECT_EQ(IniReadValue("Q", "", ini_, false), "  spaced  ");
  EXPECT_EQ(IniReadValue("S", "", ini_, false), "x");
  EXPECT_EQ(IniReadValue("H", "", ini_, false), "\"half");

  std::string japanese;
  for (int i = 0; i < 300; ++i) japanese += "録";
  IniWriteValue("J", japanese, ini_);
  std::string cut;
  for (int i = 0; i < 254; ++i) cut += "録";
  EXPECT_EQ(IniReadValue("J", "", ini_, false), cut);
}

TEST_F(IniStoreTest, CommentsOtherSectionsAndLineEndsSurviveWrites) {
  const std::string before =
      "\xEF\xBB\xBF; lumora settings\n"
      "[window]\n"
      "Left=1\n"
      "\n"
      "[conf]\n"
      "; the sample rate\n"
      "nFreq = 48000\n"
      "\n"
      "[tail]\n";
  WriteText(ini_, before);
  IniWriteValue("NFREQ", "96000", ini_);
  IniWriteValue("nBit", "24", ini_);
  const std::vector<std::string> expected = {"\xEF\xBB\xBF; lumora settings\n",
                                             "[window]\n",
                                             "Left=1\n",
                                             "\n",
                                             "[conf]\n",
                                             "; the sample rate\n",
                                             "nFreq=96000\r\n",
                                             "nBit=24\r\n",
                                             "\n",
                                             "[tail]\n"};
  EXPECT_EQ(test::LinesOf(ReadText(ini_)), expected);
  EXPECT_EQ(IniReadValue("nfreq", "", ini_, false), "96000");
}

TEST_F(IniStoreTest, ValueWithALineBreakIsRefusedAndCannotInjectKeys) {
  WriteText(ini_, "[conf]\r\nnFreq=44100\r\n");
  EXPECT_FALSE(IniWriteValue("DataPath", "/tmp\r\nnFreq=8000", ini_));
  EXPECT_FALSE(IniWriteValue("a=b", "1", ini_));
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=44100\r\n");
}

TEST_F(IniStoreTest, BrokenFilesReadAsDefaultsAndLoseNothingOnWrite) {
  std::string binary(4096, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random());
  const std::string malformed = "[conf\r\n=44100\r\nnFreq\r\n]]]\r\n[]\r\n==\r\n";
  for (const std::string& content : {binary, malformed}) {
    WriteText(ini_, content);
    EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
    EXPECT_TRUE(IniWriteValue("nFreq", "44100", ini_));
    const std::string after = ReadText(ini_);
    EXPECT_EQ(after.substr(0, content.size()), content);
    EXPECT_EQ(IniReadValue("nFreq", "0", ini_, false), "44100");
  }
}

TEST_F(IniStoreTest, FolderOversizedFileOrMissingFolderIsLeftAlone) {
  fs::create_directory(ini_);
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_FALSE(IniWriteValue("nFreq", "48000", ini_));
  EXPECT_TRUE(fs::is_directory(ini_));
  fs::remove(ini_);

  const std::string big = "[conf]\r\nnFreq=48000\r\n" + std::string(2 << 20, ' ');
  WriteText(ini_, big);
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_EQ(fs::file_size(ini_), big.size());

  EXPECT_FALSE(IniWriteValue("nFreq", "48000", app_ + "missing/lumora.ini"));
  EXPECT_FALSE(fs::exists(app_ + "missing"));
}

TEST_F(IniStoreTest, FullDiskFailsTheWriteAndKeepsTheOldFile) {
  const std::string before = "[conf]\r\nnFreq=48000\r\n" + std::string(200, ';') + "\r\n";
  WriteText(ini_, before);
  bool written = true;
  {
    const FileSizeLimit limit(64);
    written = IniWriteValue("nBit", "24", ini_);
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadText(ini_), before);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"lumora.ini"});  // no temporary file left
}

TEST_F(IniStoreTest, ReadOnlyFolderOrFileFailsQuietly) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root; the full-disk case covers the failure";
  WriteText(ini_, "[conf]\r\nnFreq=48000\r\n");
  chmod(app_.c_str(), 0555);
  EXPECT_FALSE(IniWriteValue("nFreq", "8000", ini_));
  EXPECT_EQ(IniReadValue("nBit", "16", ini_, true), "16");
  chmod(app_.c_str(), 0755);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\n");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"lumora.ini"});

  chmod(ini_.c_str(), 0);
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_FALSE(IniWriteValue("nFreq", "8000", ini_));
  chmod(ini_.c_str(), 0644);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\n");
}

TEST_F(IniStoreTest, SessionsWritingOneFileAtOnceLoseNoKey) {
  constexpr int kKeysPerSession = 40;
  std::vector<pid_t> sessions;
  for (const char* name : {"A", "B"}) {
    const pid_t pid = fork();
    if (pid == 0) {
      bool ok = true;
      for (int i = 0; i < kKeysPerSession; ++i) ok &= IniWriteValue(name + std::to_string(i), "1", ini_);
      _exit(ok ? 0 : 1);
    }
    sessions.push_back(pid);
  }
  for (const pid_t pid : sessions) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
  }
  EXPECT_EQ(test::LinesOf(ReadText(ini_)).size(), 1u + 2 * kKeysPerSession);
  EXPECT_EQ(IniReadValue("A39", "", ini_, false), "1");
  EXPECT_EQ(IniReadValue("B0", "", ini_, false), "1");
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

}  // namespace
}  // namespace lumora
