#pragma once
// Stand-ins for the ring buffers, the meter and the level history, so level
// scans can be checked end to end without devices or windows.

#include <functional>
#include <string>
#include <vector>

#include "meters/LevelScan.h"

namespace lumora::testing {

// Appends one sample value as little-endian PCM of `bits` (8 bit: + 128).
inline void PutSample(std::vector<uint8_t>& out, int16_t bits, int32_t value) {
  if (bits == 8) value += 128;
  for (int b = 0; b < bits / 8; ++b) out.push_back(static_cast<uint8_t>(value >> (8 * b)));
}

using Signal = std::function<int32_t(int64_t frame, int channel)>;

// PCM buffers and a FrameTable pointing into them.
class TestRing {
 public:
  explicit TestRing(SampleFormat format) : format_(format) {}

  // A buffer holding frames first..first+count-1 of the signal.
  const uint8_t* MakeBuffer(int64_t first, int64_t count, const Signal& signal) {
    std::vector<uint8_t>& bytes = buffers_.emplace_back();
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < format_.nCh; ++c) PutSample(bytes, format_.nBit, signal(f, c));
    }
    return bytes.data();
  }

  // As the capture ring has it after opening: record i holds frames i*n .. i*n+n-1.
  void FillLikeCapture(int64_t n, const Signal& signal) {
    for (int i = 0; i < kRingBuffers; ++i) {
      table[i].firstRange = {i * n, i * n + n - 1};
      table[i].firstData = table[i].secondData = MakeBuffer(i * n, n, signal);
    }
  }

  FrameTable table{};

 private:
  SampleFormat format_;
  std::vector<std::vector<uint8_t>> buffers_;  // inner buffers never move
};

struct MeterCall {
  int32_t bar;
  float rmsDb;
  float peakDb;
  std::string text;
  float holdDb;
};

class FakeMeter : public VuMeter {
 public:
  void DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) override {
    calls.push_back({bar, rmsDb, peakDb, text, holdDb});
  }
  std::vector<MeterCall> calls;
};

class FakeHistory : public LevelHistory {
 public:
  void BeginHistory(int64_t first, int64_t last) override {
    range = {first, last};
    frames.clear();
  }
  void AddMagnitudes(std::span<const FrameMagnitudes> block) override {
    frames.insert(frames.end(), block.begin(), block.end());
    ++blocks;
  }
  std::array<int64_t, 2> range{0, 0};   // of the latest scan
  std::vector<FrameMagnitudes> frames;  // of the latest scan
  int blocks = 0;
};

}  // namespace lumora::testing
