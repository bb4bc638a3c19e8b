// dB arithmetic, window lengths, thresholds, meter texts and meter positions.

#include "meters/Levels.h"

#include <gtest/gtest.h>

#include "meters/MeterScale.h"

namespace lumora {
namespace {

TEST(Levels, DecibelsAndWindows) {
  EXPECT_EQ(LinToDb(0.0f), -110.0f);
  EXPECT_EQ(DbToLin(-110.0f), 0.0f);
  EXPECT_EQ(PeakWindow(11025), 661);  // 11025 * 0.06f = 661.49998; an exact 0.06 would give 662
}

TEST(Levels, ThresholdsAreRelativeTo255PowersNotFullScale) {
  const struct {
    int32_t db, bits, expected;
  } cases[] = {{-40, 16, 325}, {0, 8, 128}, {-40, 24, 82907}, {-600, 24, 0}};  // halves go to even
  for (const auto& c : cases) {
    EXPECT_EQ(UpdateLevelThresholds(c.db, 0, c.bits).start, c.expected) << c.db << " dB " << c.bits;
    EXPECT_EQ(UpdateLevelThresholds(0, c.db, c.bits).end, c.expected) << c.db << " dB " << c.bits;
  }
}

TEST(Levels, ReadingTexts) {
  const std::pair<float, const char*> cases[] = {
      {-99.9f, "-∞"}, {-99.8f, "-99.8"}, {-6.04f, "-06.0"}, {0.0003f, "-00.0"}, {0.26f, "+00.3"}};
  for (const auto& [db, text] : cases) EXPECT_EQ(LevelText(db), text) << db;
}

TEST(MeterScale, Positions) {
  const std::array<float, 256>& scale = MeterScale();
  EXPECT_EQ(scale[255], 10.0f);
  const std::pair<float, float> nearest[] = {{-6.0f, 172}, {-40.0f, 23}, {0.0f, 207}, {-110.0f, 0},
                                             {12.0f, 255}, {-93.0f, 2},  {-92.9f, 3}};
  for (const auto& [db, pos] : nearest)
    EXPECT_EQ(DbToMeterPos(db, false), pos) << db;  // -93: a tie goes down
  EXPECT_NEAR(DbToMeterPos(-6.0f, true), 171.8, 0.01);
  EXPECT_NEAR(DbToMeterPos(-93.0f, true), 2.5, 1e-5);
}

}  // namespace
}  // namespace lumora
