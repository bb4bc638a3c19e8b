#include "support/Log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/TempDir.h"
#include "support/Clock.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const std::string& path) {
  const std::vector<unsigned char> bytes = test::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

// A log in a fresh folder at a fixed local time, 2026/12/05 13:04:09.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentLogConfig();
    SetActiveClock(&clock);
    Configure(dir.file("log"));
  }
  void TearDown() override {
    ConfigureLog(saved_);
    SetActiveClock(nullptr);
  }
  void Configure(const std::string& folder, int32_t enabled = 1, const std::string& machine = "STUDIO1",
                 const std::string& session = "lumora") {
    ConfigureLog({enabled, folder, machine, session});
  }
  std::string LogFile(const std::string& name) const { return dir.file("log/" + name); }
  size_t FilesIn(const std::string& folder) const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  TempDir dir;
  ManualClock clock{{2026, 12, 5, 13 * 3600 + 4 * 60 + 9.4}};

 private:
  LogConfig saved_;
};

TEST_F(LogTest, LinesOfOneDayGoToOneFile) {
  Log("RecordCommand start");
  clock.Advance(61.0);
  Log("2件目 の行", 0);
  EXPECT_EQ(ReadText(LogFile("20261205 - STUDIO1 - lumora.log")),
            "2026/12/05 13:04:09 RecordCommand start\r\n"
            "2026/12/05 13:05:10 2件目 の行\r\n");
  EXPECT_EQ(FilesIn(dir.file("log")), 1u);
  EXPECT_EQ(CurrentLogConfig().folder, dir.file("log") + "/");
}

TEST_F(LogTest, ALineAfterMidnightStartsANewFile) {
  clock.SetLocal({2026, 12, 31, 86399.5});
  Log("before");
  clock.Advance(1.0);
  Log("after");
  EXPECT_EQ(ReadText(LogFile("20261231 - STUDIO1 - lumora.log")), "2026/12/31 23:59:59 before\r\n");
  EXPECT_EQ(ReadText(LogFile("20270101 - STUDIO1 - lumora.log")), "2027/01/01 00:00:00 after\r\n");
}

TEST_F(LogTest, ErrorLinesGoToTheErrFile) {
  Log("WriteDiskBuffer err2", 1);
  Log("fine", 0);
  EXPECT_EQ(ReadText(LogFile("20261205 - STUDIO1 - lumora.err")),
            "2026/12/05 13:04:09 WriteDiskBuffer err2\r\n");
  EXPECT_EQ(ReadText(LogFile("20261205 - STUDIO1 - lumora.log")), "2026/12/05 13:04:09 fine\r\n");
}

TEST_F(LogTest, AMessageIsWrittenAsItIs) {
  Log("line1\r\nline2 ");
  EXPECT_EQ(ReadText(LogFile("20261205 - STUDIO1 - lumora.log")), "2026/12/05 13:04:09 line1\r\nline2 \r\n");
}

TEST_F(LogTest, EmptyNamesFallBackAsTheFileNameRuleSays) {
  Configure(dir.file("log"), 1, "", "");
  Log("x");
  EXPECT_TRUE(fs::exists(LogFile("20261205 -  - lumora.log")));
  Configure(dir.file("log"), 1, "PC", "lumoraB");
  Log("y", 1);
  EXPECT_TRUE(fs::exists(LogFile("20261205 - PC - lumoraB.err")));
}

TEST_F(LogTest, DisabledLoggingWritesNothingAndCreatesNoFolder) {
  Configure(dir.file("log"), 0);
  Log("normal");
  Log("error", 1);
  EXPECT_FALSE(fs::exists(dir.file("log")));
}

TEST_F(LogTest, OnlyOneMissingFolderLevelIsCreated) {
  Configure(dir.file("a/b"));
  Log("lost");
  EXPECT_FALSE(fs::exists(dir.file("a")));
}

TEST_F(LogTest, AFileThatCannotBeOpenedLosesOnlyThatLine) {
  fs::create_directories(LogFile("20261205 - STUDIO1 - lumora.log"));
  Log("nowhere to go");
  Log("kept", 1);
  EXPECT_TRUE(fs::is_directory(LogFile("20261205 - STUDIO1 - lumora.log")));
  EXPECT_EQ(ReadText(LogFile("20261205 - STUDIO1 - lumora.err")), "2026/12/05 13:04:09 kept\r\n");
}

// Restores one environment variable after a test changed it.
class ScopedEnv {
 public:
  explicit ScopedEnv(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_ = value != nullptr;
    if (had_) value_ = value;
  }
  ~ScopedEnv() { had_ ? setenv(name_, value_.c_str(), 1) : unsetenv(name_); }
  void Set(const std::string& value) { setenv(name_, value.c_str(), 1); }
  void Unset() { unsetenv(name_); }

 private:
  const char* name_;
  std::string value_;
  bool had_ = false;
};

TEST(LogFolders, TheProgramFolderWhenWritableElseAPerUserFolder) {
  EXPECT_EQ(DefaultLogFolder(), AppFolder() + "log/");
  TempDir dir;
  ScopedEnv state("XDG_STATE_HOME");
  ScopedEnv home("HOME");
  state.Set(dir.file("state"));
  EXPECT_EQ(UserLogFolder(), dir.file("state/lumora/log/"));
  EXPECT_TRUE(fs::is_directory(dir.file("state/lumora")));
  EXPECT_FALSE(fs::exists(dir.file("state/lumora/log")));  // made by the first line logged
  state.Set("relative/state");
  home.Set(dir.file("home"));
  EXPECT_EQ(UserLogFolder(), dir.file("home/.local/state/lumora/log/"));
  EXPECT_TRUE(fs::is_directory(dir.file("home/.local/state/lumora")));
}

TEST(LogFolders, MachineNameIsTheHostName) {
  char expected[256] = {};
  ASSERT_EQ(gethostname(expected, sizeof expected - 1), 0);
  EXPECT_EQ(MachineName(), expected);
}

}  // namespace
}  // namespace lumora
