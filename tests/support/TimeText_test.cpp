#include "support/TimeText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lumora {
namespace {

// Fixes the local time for DateTimeText; the tests read it as "now".
class DateTimeTextTest : public ::testing::Test {
 protected:
  void At(int32_t year, int32_t month, int32_t day, double secondsOfDay) {
    clock_.SetLocal({year, month, day, secondsOfDay});
  }
  void SetUp() override { SetActiveClock(&clock_); }
  void TearDown() override { SetActiveClock(nullptr); }
  ManualClock clock_;
};

constexpr double kAfternoon = 13 * 3600 + 4 * 60 + 9.25;  // 13:04:09.250

TEST_F(DateTimeTextTest, TheProgramsOwnCalls) {
  At(2026, 12, 5, kAfternoon);
  EXPECT_EQ(DateTimeText(), "2026/12/05 13:04:09");        // log line stamp
  EXPECT_EQ(DateTimeText(0, 0, 1, 1), "20261205");         // log file date
  EXPECT_EQ(DateTimeText(0, -90), "2026/09/06 13:04:09");  // clean-up cut-off
  EXPECT_EQ(DateTimeText(0, 0, 2, 7), "2026-12-05 13_04_09_250");
  EXPECT_EQ(DateTimeText(0, 0, 1, 7), "20261205130409250");
}

TEST_F(DateTimeTextTest, PartsYearStylesAndTimeSources) {
  At(2026, 12, 5, kAfternoon);
  EXPECT_EQ(DateTimeText(0, 0, 0, 2), "13:04:09");
  EXPECT_EQ(DateTimeText(0, 0, 0, 4), ".250");
  EXPECT_EQ(DateTimeText(0, 0, 0, 6), "13:04:09.250");
  EXPECT_EQ(DateTimeText(0, 0, 0, 1, 0, 1), "26/12/05");
  EXPECT_EQ(DateTimeText(0, 0, 0, 1, 0, 2), "/12/05");
  EXPECT_EQ(DateTimeText(0, 0, 2, 3, 0, 2), "-12-05 13_04_09");
  EXPECT_EQ(DateTimeText(0, 0, 0, 7, 1), "2026/12/05 00:00:00.000");
  EXPECT_EQ(DateTimeText(0, 0, 0, 7, 2), "2026/12/05 23:59:59.000");
  EXPECT_EQ(DateTimeText(18000, 0, 0, 7, 3), "2026/12/05 05:00:00.000");
  // Midnight lies before a 5:00 boundary, so it is hour 24 of the day before.
  EXPECT_EQ(DateTimeText(18000, 0, 0, 3, 1), "2026/12/04 24:00:00");
}

TEST_F(DateTimeTextTest, DayBoundaryRunsTheHoursOnPastMidnight) {
  At(2026, 12, 6, 1.5 * 3600);
  EXPECT_EQ(DateTimeText(18000), "2026/12/05 25:30:00");
  At(2026, 12, 6, 5 * 3600);
  EXPECT_EQ(DateTimeText(18000), "2026/12/06 05:00:00");
  At(2026, 12, 6, 5 * 3600 - 0.5);
  EXPECT_EQ(DateTimeText(18000), "2026/12/05 28:59:59");
  At(2027, 1, 1, 1.5 * 3600);
  EXPECT_EQ(DateTimeText(18000, 0, 1, 3), "20261231253000");
  At(2026, 12, 6, 1.5 * 3600);
  EXPECT_EQ(DateTimeText(0), "2026/12/06 01:30:00");
}

TEST_F(DateTimeTextTest, AddedSecondsCarryPastMidnightBothWays) {
  At(2026, 12, 5, 86390.0);
  EXPECT_EQ(DateTimeText(0, 0, 0, 0, 0, 0, 15.0f), "2026/12/06 00:00:05");
  At(2026, 12, 5, 5.0);
  EXPECT_EQ(DateTimeText(0, 0, 0, 0, 0, 0, -10.0f), "2026/12/04 23:59:55");
  At(2026, 12, 31, 86399.0);
  EXPECT_EQ(DateTimeText(0, 0, 0, 0, 0, 0, 1.0f), "2027/01/01 00:00:00");
  At(2026, 3, 1, 0.0);
  EXPECT_EQ(DateTimeText(0, 0, 0, 0, 0, 0, -0.5f), "2026/02/28 23:59:59");
  EXPECT_EQ(DateTimeText(0, -1, 0, 1, 0, 0, -0.5f), "2026/02/27");
  EXPECT_EQ(DateTimeText(0, 0, 0, 0, 0, 0, std::numeric_limits<float>::quiet_NaN()), "");
}

TEST_F(DateTimeTextTest, TheLastMomentOfTheDayNeverShowsAsTheNext) {
  At(2026, 12, 5, 86399.9995);
  EXPECT_EQ(DateTimeText(0, 0, 0, 7), "2026/12/05 23:59:59.999");
  At(2026, 12, 5, kAfternoon + 0.7496);
  EXPECT_EQ(DateTimeText(0, 0, 0, 7), "2026/12/05 13:04:09.999");
}

TEST(TimeText, EveryStyleOfOneHourTwoMinutesThreeSeconds) {
  const int32_t x = 3723456;
  const char* const expected[] = {"062'03.456",   "62'03.4",      "01:02:03",  "1:02:03.4",  "62:03",
                                  "3723.456",     "3723.45",      "62:03.456", "01:02:03.4", "01:02:03.45",
                                  "01:02:03.456", "01時02分03秒", "010203"};
  for (int32_t style = 0; style <= 12; ++style) EXPECT_EQ(TimeText(x, style), expected[style]) << style;
  EXPECT_EQ(TimeText(x, 13), "");
  EXPECT_EQ(TimeText(x, 99), "");
  EXPECT_EQ(TimeText(x, -1), "");
}

TEST(TimeText, FractionsAreCutAndTotalsAreNotLimited) {
  EXPECT_EQ(TimeText(59999, 1), "00'59.9");
  EXPECT_EQ(TimeText(60000, 1), "01'00.0");
  EXPECT_EQ(TimeText(75 * 60000, 1), "75'00.0");
  EXPECT_EQ(TimeText(100 * 60000, 1), "100'00.0");
  EXPECT_EQ(TimeText(1999, 6), "001.99");
  EXPECT_EQ(TimeText(5, 0), "000'00.005");
  EXPECT_EQ(TimeText(5, 3), "0:00:00.0");
  EXPECT_EQ(TimeText(100 * 3600000, 2), "100:00:00");
  EXPECT_EQ(TimeText(0, 11), "00時00分00秒");
}

TEST(TimeText, NegativesShowAsZeroOrWithASign) {
  EXPECT_EQ(TimeText(-1500, 1), "00'00.0");
  EXPECT_EQ(TimeText(-1500, 1, 1), "-00'01.5");
  EXPECT_EQ(TimeText(-1500, 13, 1), "");
  EXPECT_EQ(TimeText(std::numeric_limits<int32_t>::min(), 10, 1), "-596:31:23.648");
}

TEST(ZeroPad, PadsButNeverCuts) {
  EXPECT_EQ(ZeroPad(7, 2), "07");
  EXPECT_EQ(ZeroPad(100, 2), "100");
  EXPECT_EQ(ZeroPad(0, 3), "000");
  EXPECT_EQ(ZeroPad(5, 0), "5");
}

}  // namespace
}  // namespace lumora
