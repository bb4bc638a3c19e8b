#include "meters/Levels.h"

#include <cmath>
#include <cstdio>

#include "support/Rounding.h"

namespace lumora {

float LinToDb(float x) {
  if (x <= 0.0f) return -110.0f;
  return static_cast<float>(std::log(static_cast<double>(x)) / std::log(10.0) * 20.0);
}

float DbToLin(float d) {
  if (d <= -110.0f) return 0.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(d) / 20.0));
}

float SliderGain(int32_t tenthsOfDb) { return DbToLin(static_cast<float>(tenthsOfDb / 10.0)); }

int32_t FullScale(int32_t formatIndex) {
  switch (formatIndex) {
    case 0:
    case 1:
      return 128;
    case 2:
    case 3:
    case 6:
    case 7:
      return 32767;
    case 4:
    case 5:
    case 8:
    case 9:
      return 8388607;
    default:
      return 0;
  }
}

namespace {
int64_t WindowFrames(int32_t nFreq, float seconds) {
  return RoundHalfEven(static_cast<double>(nFreq) * static_cast<double>(seconds));
}

int32_t Threshold(int32_t levelDb, int32_t nBit) {
  const double reference = std::pow(255.0, nBit / 8) / 2.0;
  return static_cast<int32_t>(RoundHalfEven(reference * DbToLin(static_cast<float>(levelDb))));
}
}  // namespace

int64_t PeakWindow(int32_t nFreq) { return WindowFrames(nFreq, 0.06f); }
int64_t RmsWindow(int32_t nFreq) { return WindowFrames(nFreq, 0.3f); }
int64_t HistoryWindow(int32_t nFreq) { return 8 * RmsWindow(nFreq); }

LevelThresholds UpdateLevelThresholds(int32_t startLevelDb, int32_t endLevelDb, int32_t nBit) {
  return {Threshold(startLevelDb, nBit), Threshold(endLevelDb, nBit)};
}

std::string LevelText(float db) {
  if (static_cast<double>(db) <= -99.9) return "-\u221e";
  const int64_t tenths = RoundHalfEven(std::fabs(static_cast<double>(db)) * 10.0);
  char text[32];
  // The sign follows the shown value: a square wave at full scale measures a hair
  // above 0 dB (the window's extra frame) and still reads -00.0.
  std::snprintf(text, sizeof text, "%c%02lld.%lld", db > 0.0f && tenths > 0 ? '+' : '-',
                static_cast<long long>(tenths / 10), static_cast<long long>(tenths % 10));
  return text;
}

}  // namespace lumora
