// dB arithmetic, window lengths, thresholds, meter texts and meter positions.

#include "meters/Levels.h"

#include <gtest/gtest.h>

#include "meters/MeterScale.h"

namespace lumora {
namespace {

TEST(Levels, DecibelConversionsAndTheirSilenceFloor) {
  EXPECT_EQ(LinToDb(0.0f), -110.0f);
  EXPECT_EQ(LinToDb(-1.0f), -110.0f);
  EXPECT_EQ(LinToDb(1.0f), 0.0f);
  EXPECT_NEAR(LinToDb(0.5f), -6.0206, 1e-4);
  EXPECT_EQ(DbToLin(-110.0f), 0.0f);
  EXPECT_EQ(DbToLin(-200.0f), 0.0f);
  EXPECT_GT(DbToLin(-109.9f), 0.0f);
  EXPECT_EQ(DbToLin(0.0f), 1.0f);
  EXPECT_EQ(DbToLin(-40.0f), 0.01f);
  EXPECT_NEAR(DbToLin(20.0f), 10.0f, 1e-5);
  EXPECT_NEAR(DbToLin(3.0f), kRmsPlus3Factor, 1e-6);
}

TEST(Levels, FullScaleOfEveryFormatIndex) {
  const int32_t expected[] = {128, 128, 32767, 32767, 8388607, 8388607, 32767, 32767, 8388607, 8388607};
  for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(FullScale(i), expected[i]) << i;
  EXPECT_EQ(FullScale(-1), 0);
  EXPECT_EQ(FullScale(10), 0);
}

TEST(Levels, WindowsUseSinglePrecisionFactorsAndRoundHalfToEven) {
  EXPECT_EQ(PeakWindow(44100), 2646);
  EXPECT_EQ(RmsWindow(44100), 13230);
  EXPECT_EQ(HistoryWindow(44100), 105840);
  // 11025 * 0.06f = 661.49998..., where an exact 0.06 would give 661.5 -> 662.
  EXPECT_EQ(PeakWindow(11025), 661);
  EXPECT_EQ(RmsWindow(11025), 3308);
  EXPECT_EQ(PeakWindow(8000), 480);
  EXPECT_EQ(RmsWindow(192000), 57600);
}

TEST(Levels, ThresholdsAreRelativeTo255PowersNotFullScale) {
  EXPECT_EQ(UpdateLevelThresholds(-40, -60, 16).start, 325);
  EXPECT_EQ(UpdateLevelThresholds(-40, -60, 16).end, 33);
  EXPECT_EQ(UpdateLevelThresholds(0, -20, 16).start, 32512);  // 32512.5 -> even
  EXPECT_EQ(UpdateLevelThresholds(0, -20, 16).end, 3251);
  EXPECT_EQ(UpdateLevelThresholds(0, -40, 8).start, 128);  // 127.5 -> even
  EXPECT_EQ(UpdateLevelThresholds(0, -40, 8).end, 1);
  EXPECT_EQ(UpdateLevelThresholds(0, -40, 24).start, 8290688);
  EXPECT_EQ(UpdateLevelThresholds(0, -40, 24).end, 82907);
  EXPECT_EQ(UpdateLevelThresholds(-600, -110, 24).start, 0);
  EXPECT_EQ(UpdateLevelThresholds(-600, -110, 24).end, 0);
}

TEST(Levels, ReadingTexts) {
  EXPECT_EQ(LevelText(-110.0f), "-∞");
  EXPECT_EQ(LevelText(-99.9f), "-∞");
  EXPECT_EQ(LevelText(-99.8f), "-99.8");
  EXPECT_EQ(LevelText(-6.04f), "-06.0");
  EXPECT_EQ(LevelText(-12.36f), "-12.4");
  EXPECT_EQ(LevelText(-0.04f), "-00.0");
  EXPECT_EQ(LevelText(0.0f), "-00.0");
  EXPECT_EQ(LevelText(0.0003f), "-00.0");  // rounds to 0: not shown as above full scale
  EXPECT_EQ(LevelText(0.26f), "+00.3");
  EXPECT_EQ(LevelText(3.0103f), "+03.0");
}

TEST(MeterScale, TableShape) {
  const std::array<float, 256>& scale = MeterScale();
  EXPECT_EQ(&scale, &MeterScale());
  EXPECT_EQ(scale[0], -99.9f);
  EXPECT_EQ(scale[1], -99.9f);
  EXPECT_EQ(scale[2], -96.0f);
  EXPECT_EQ(scale[3], -90.0f);
  EXPECT_EQ(scale[11], -50.0f);
  EXPECT_EQ(scale[23], -40.0f);
  EXPECT_EQ(scale[43], -30.0f);
  EXPECT_EQ(scale[79], -20.0f);
  EXPECT_EQ(scale[105], -15.0f);
  EXPECT_EQ(scale[143], -10.0f);
  EXPECT_EQ(scale[179], -5.0f);
  EXPECT_EQ(scale[kMeterZeroDbPos], 0.0f);
  EXPECT_EQ(scale[231], 5.0f);
  EXPECT_EQ(scale[255], 10.0f);
  EXPECT_NEAR(scale[254], 9.7917, 1e-4);
  for (int i = 2; i < 256; ++i) EXPECT_LT(scale[i - 1], scale[i]) << i;
}

TEST(MeterScale, NearestPositions) {
  const std::pair<float, float> cases[] = {
      {-6.0f, 172.0f}, {-12.0f, 128.0f}, {-20.0f, 79.0f}, {-30.0f, 43.0f}, {-40.0f, 23.0f}, {-60.0f, 9.0f},
      {0.0f, 207.0f},  {-99.9f, 0.0f},   {-110.0f, 0.0f}, {12.0f, 255.0f}, {10.0f, 255.0f}, {-98.0f, 1.0f}};
  for (const auto& [db, pos] : cases) EXPECT_EQ(DbToMeterPos(db, false), pos) << db;
  // Halfway between entries 2 (-96) and 3 (-90) goes to the lower one.
  EXPECT_EQ(DbToMeterPos(-93.0f, false), 2.0f);
  EXPECT_EQ(DbToMeterPos(-92.9f, false), 3.0f);
}

TEST(MeterScale, InterpolatedPositions) {
  EXPECT_NEAR(DbToMeterPos(-6.0f, true), 171.8, 0.01);
  EXPECT_EQ(DbToMeterPos(-40.0f, true), 23.0f);
  EXPECT_NEAR(DbToMeterPos(-93.0f, true), 2.5, 1e-5);  // between -96 and -90
  const float top = DbToMeterPos(9.9f, true);          // between entries 254 and 255
  EXPECT_GT(top, 254.0f);
  EXPECT_LT(top, 255.0f);
  EXPECT_EQ(DbToMeterPos(-120.0f, true), 0.0f);
  EXPECT_EQ(DbToMeterPos(40.0f, true), 255.0f);
}

}  // namespace
}  // namespace lumora
