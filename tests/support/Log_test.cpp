#include "support/Log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "support/Clock.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

// A log in a fresh folder at 2026/12/05 13:04:09 local time.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentLogConfig();
    SetActiveClock(&clock);
    ConfigureLog({1, dir.file("log"), "STUDIO1", "lumora"});
  }
  void TearDown() override {
    ConfigureLog(saved_);
    SetActiveClock(nullptr);
  }
  std::string Read(const std::string& name) const {
    const std::vector<unsigned char> bytes = test::ReadFileBytes(dir.file("log/" + name));
    return {bytes.begin(), bytes.end()};
  }
  test::TempDir dir;
  ManualClock clock{{2026, 12, 5, 13 * 3600 + 4 * 60 + 9.4}};
  LogConfig saved_;
};

TEST_F(LogTest, LinesGoToTheFileOfTheirDayAndKind) {
  Log("RecordCommand start");
  Log("line1\r\nline2", 1);
  clock.Advance(61.0);
  Log("2件目");
  clock.SetLocal({2026, 12, 31, 86399.5});
  Log("before");
  clock.Advance(1.0);
  Log("after");  // a new day, a new file
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.log"),
            "2026/12/05 13:04:09 RecordCommand start\r\n2026/12/05 13:05:10 2件目\r\n");
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.err"), "2026/12/05 13:04:09 line1\r\nline2\r\n");
  EXPECT_EQ(Read("20261231 - STUDIO1 - lumora.log"), "2026/12/31 23:59:59 before\r\n");
  EXPECT_EQ(Read("20270101 - STUDIO1 - lumora.log"), "2027/01/01 00:00:00 after\r\n");
}

TEST_F(LogTest, NothingIsWrittenWhenDisabledOrTwoFolderLevelsAreMissing) {
  ConfigureLog({0, dir.file("log"), "STUDIO1", "lumora"});
  Log("error", 1);
  EXPECT_FALSE(fs::exists(dir.file("log")));
  ConfigureLog({1, dir.file("a/b"), "STUDIO1", "lumora"});
  Log("lost");
  EXPECT_FALSE(fs::exists(dir.file("a")));
}

TEST_F(LogTest, AFileThatCannotBeOpenedLosesOnlyItsOwnLines) {
  fs::create_directories(dir.file("log/20261205 - STUDIO1 - lumora.log"));
  Log("nowhere to go");
  Log("kept", 1);
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.err"), "2026/12/05 13:04:09 kept\r\n");
}

TEST(LogFolders, TheProgramFolderWhenWritableElseAPerUserFolder) {
  EXPECT_EQ(DefaultLogFolder(), AppFolder() + "log/");
  test::TempDir dir;
  const test::ScopedEnv state("XDG_STATE_HOME", "relative/state");  // ignored, as relative values must be
  const test::ScopedEnv home("HOME", dir.file("home"));
  EXPECT_EQ(UserLogFolder(), dir.file("home/.local/state/lumora/log/"));
  EXPECT_TRUE(fs::is_directory(dir.file("home/.local/state/lumora")));
}

}  // namespace
}  // namespace lumora
