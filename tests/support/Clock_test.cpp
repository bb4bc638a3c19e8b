#include "support/Clock.h"

#include <gtest/gtest.h>

#include "support/Rounding.h"

namespace lumora {
namespace {

TEST(CivilDate, RoundTripsAcrossLeapYearsAndCenturies) {
  for (int64_t days = -800000; days <= 800000; days += 97) {
    int32_t y, m, d;
    CivilFromDays(days, y, m, d);
    EXPECT_EQ(DaysFromCivil(y, m, d), days);
  }
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2024, 3, 1) - DaysFromCivil(2024, 2, 28), 2);
  EXPECT_EQ(DaysFromCivil(2100, 3, 1) - DaysFromCivil(2100, 2, 28), 1);
}

TEST(ManualClock, LocalTimeCarriesPastMidnightIntoTheNextMonth) {
  ManualClock clock({2026, 12, 31, 86399.5});
  clock.Advance(1.0);
  const LocalDateTime t = clock.LocalNow();
  EXPECT_EQ(t.year, 2027);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_NEAR(t.secondsOfDay, 0.5, 1e-9);
  EXPECT_DOUBLE_EQ(clock.MonotonicSeconds(), 1.0);
}

TEST(ActiveClock, TestsCanReplaceTheSystemClock) {
  ManualClock fixed({2026, 12, 5, 3600.0});
  SetActiveClock(&fixed);
  EXPECT_EQ(ActiveClock().LocalNow().day, 5);
  SetActiveClock(nullptr);
  EXPECT_GT(ActiveClock().LocalNow().year, 2000);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(4410.0), 4410);
  EXPECT_EQ(RoundHalfEven(2.4999999), 2);
}

}  // namespace
}  // namespace lumora
