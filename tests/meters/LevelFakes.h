#pragma once
// PCM bytes, and a meter and a history that record what a level scan tells them.

#include <string>
#include <vector>

#include "meters/LevelScan.h"

namespace lumora::testing {

// Appends one sample value as little-endian PCM of `bits` (8 bit: + 128).
inline void PutSample(std::vector<uint8_t>& out, int16_t bits, int32_t value) {
  if (bits == 8) value += 128;
  for (int b = 0; b < bits / 8; ++b) out.push_back(static_cast<uint8_t>(value >> (8 * b)));
}

struct MeterCall {
  int32_t bar;
  float rmsDb, peakDb;
  std::string text;
  float holdDb;
};

struct FakeMeter : VuMeter {
  void DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) override {
    calls.push_back({bar, rmsDb, peakDb, text, holdDb});
  }
  std::vector<MeterCall> calls;
};

// Keeps the range and frames of the latest scan.
struct FakeHistory : LevelHistory {
  void BeginHistory(int64_t first, int64_t last) override {
    range = {first, last};
    frames.clear();
  }
  void AddMagnitudes(std::span<const FrameMagnitudes> block) override {
    frames.insert(frames.end(), block.begin(), block.end());
  }
  std::array<int64_t, 2> range{0, 0};
  std::vector<FrameMagnitudes> frames;
};

}  // namespace lumora::testing
