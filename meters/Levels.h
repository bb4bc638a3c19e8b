#pragma once
// Level arithmetic shared by the meters, the level scan and automatic
// recording: dB conversions, full scale per format, window lengths, the
// start/end thresholds and the dB text shown beside each meter bar.

#include <cstdint>
#include <string>

namespace lumora {

// 20 * log10(x) in single precision; -110 for x <= 0 (silence has no logarithm).
float LinToDb(float x);
// 10^(d / 20); 0 when d <= -110, so the bottom of the scale is true silence.
float DbToLin(float d);

// Linear gain of a level slider value in tenths of a dB (the recording and
// playback level sliders): DbToLin(value / 10).
float SliderGain(int32_t tenthsOfDb);

// Largest magnitude a sample of the format can show on the meter: 128 (8 bit,
// indices 0-1), 32767 (16 bit: 2, 3, 6, 7), 8388607 (24 bit: 4, 5, 8, 9); 0 for
// any other index.
int32_t FullScale(int32_t formatIndex);

// Window lengths in frames, rounded half to even. The factors are the
// single-precision constants 0.06f and 0.3f widened to double, so 11025 Hz gives
// a 661-frame peak window, not 662.
int64_t PeakWindow(int32_t nFreq);     // 60 ms: the peak that automatic recording compares
int64_t RmsWindow(int32_t nFreq);      // 300 ms: RMS and peak of the meters
int64_t HistoryWindow(int32_t nFreq);  // 8 RMS windows: the span of the level history

// 10^(3/20), one single-precision step above the nearest float: the "RMS+3db"
// option lifts RMS readings so a full-scale sine reads 0 dB instead of -3 dB.
constexpr float kRmsPlus3Factor = 1.4125380516052246f;

// Start and end thresholds of automatic recording, in sample units.
struct LevelThresholds {
  int32_t start = 0;
  int32_t end = 0;
};

// Thresholds from the two slider values in whole dB: round(255^(nBit/8) / 2 *
// DbToLin(dB)), i.e. relative to 127.5, 32512.5 or 8290687.5, not to FullScale.
// -40 dB at 16 bit gives 325.
LevelThresholds UpdateLevelThresholds(int32_t startLevelDb, int32_t endLevelDb, int32_t nBit);

// The reading beside a meter bar: "-∞" at or below -99.9 dB, else "-" and the
// magnitude as "00.0" ("-06.0" for -6.04 dB). Only the RMS+3db option can lift a
// reading visibly above full scale; it shows as "+" and the value ("+03.0"),
// because a "-" there would read as a level below full scale.
std::string LevelText(float db);

}  // namespace lumora
