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
  EXPECT_EQ(DaysFromCivil(2024, 3, 1) - DaysFromCivil(2024, 2, 28), 2);
  EXPECT_EQ(DaysFromCivil(2100, 3, 1) - DaysFromCivil(2100, 2, 28), 1);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

}  // namespace
}  // namespace lumora
