// The log files and their folders, and the time texts.

#include "support/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "support/Clock.h"
#include "support/FileSystem.h"
#include "support/TimeText.h"

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

// DateTimeText reads "now" from a clock the test sets.
class DateTimeTextTest : public ::testing::Test {
 protected:
  std::string At(int32_t year, int32_t month, int32_t day, double secondsOfDay, int32_t boundary = 0,
                 int32_t dayOffset = 0, int32_t separators = 0, int32_t parts = 0, int32_t source = 0,
                 int32_t yearStyle = 0, float addSeconds = 0.0f) {
    clock_.SetLocal({year, month, day, secondsOfDay});
    return DateTimeText(boundary, dayOffset, separators, parts, source, yearStyle, addSeconds);
  }
  void SetUp() override { SetActiveClock(&clock_); }
  void TearDown() override { SetActiveClock(nullptr); }
  ManualClock clock_;
};

constexpr double kAfternoon = 13 * 3600 + 4 * 60 + 9.25;  // 13:04:09.250

TEST_F(DateTimeTextTest, SeparatorsPartsYearStylesTimeSourcesAndDayBoundaries) {
  EXPECT_EQ(At(2026, 12, 5, kAfternoon), "2026/12/05 13:04:09");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, -90), "2026/09/06 13:04:09");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, 0, 2, 7), "2026-12-05 13_04_09_250");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, 0, 0, 6, 1), "00:00:00.000");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 18000, 0, 0, 7, 3), "2026/12/05 05:00:00.000");
  // Before the day boundary hours run on past 24.
  EXPECT_EQ(At(2026, 12, 6, 1.5 * 3600, 18000), "2026/12/05 25:30:00");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 18000, 0, 0, 3, 1), "2026/12/04 24:00:00");
}

TEST_F(DateTimeTextTest, AddedSecondsCarryPastMidnightBothWays) {
  EXPECT_EQ(At(2026, 12, 5, 86390.0, 0, 0, 0, 0, 0, 0, 15.0f), "2026/12/06 00:00:05");
  EXPECT_EQ(At(2026, 3, 1, 0.0, 0, -1, 0, 1, 0, 0, -0.5f), "2026/02/27");
  // Fractions never round into the next second.
  EXPECT_EQ(At(2026, 12, 5, 86399.9995, 0, 0, 0, 7), "2026/12/05 23:59:59.999");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon + 0.7496, 0, 0, 0, 6), "13:04:09.999");
}

TEST(TimeText, EveryStyleFractionsTotalsAndNegatives) {
  const char* const expected[] = {"062'03.456",   "62'03.4",      "01:02:03",  "1:02:03.4",  "62:03",
                                  "3723.456",     "3723.45",      "62:03.456", "01:02:03.4", "01:02:03.45",
                                  "01:02:03.456", "01時02分03秒", "010203",    "",           ""};
  for (int32_t style = 0; style <= 14; ++style) EXPECT_EQ(TimeText(3723456, style), expected[style]) << style;
  // Fractions are cut, totals unlimited, negatives optional.
  EXPECT_EQ(TimeText(59999, 1), "00'59.9");
  EXPECT_EQ(TimeText(100 * 3600000, 2), "100:00:00");
  EXPECT_EQ(TimeText(-1500, 1), "00'00.0");
  EXPECT_EQ(TimeText(-1500, 1, 1), "-00'01.5");
  EXPECT_EQ(TimeText(std::numeric_limits<int32_t>::min(), 10, 1), "-596:31:23.648");
}

}  // namespace
}  // namespace lumora
