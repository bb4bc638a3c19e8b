#include "support/TimeText.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/Clock.h"

namespace lumora {
namespace {

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
