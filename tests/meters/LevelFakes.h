#pragma once
// Stand-ins for the ring buffers, the meter and the level history, so level
// scans can be checked end to end without devices or windows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "meters/FrameTable.h"
#include "meters/LevelScan.h"
#include "support/SampleFormat.h"

namespace lumora::testing {

// Encodes one sample value of the format in little-endian PCM (8 bit: + 128).
inline void PutSample(std::vector<uint8_t>& out, int16_t bits, int32_t value) {
  if (bits == 8) {
    out.push_back(static_cast<uint8_t>(value + 128));
    return;
  }
  for (int b = 0; b < bits / 8; ++b) out.push_back(static_cast<uint8_t>(value >> (8 * b)));
}

// Buffers of PCM and a FrameTable pointing into them.
class TestRing {
 public:
  explicit TestRing(SampleFormat format) : format_(format) { buffers_.reserve(2 * kRingBuffers); }

  // A buffer holding frames first..first+count-1 of signal(frame, channel).
  const uint8_t* MakeBuffer(int64_t first, int64_t count,
                            const std::function<int32_t(int64_t, int)>& signal) {
    std::vector<uint8_t>& bytes = buffers_.emplace_back();
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < format_.nCh; ++c) PutSample(bytes, format_.nBit, signal(f, c));
    }
    return bytes.data();
  }

  // Like the capture ring after opening: record i holds frames i*n .. i*n+n-1 in
  // its current range, both data pointers at the same buffer.
  void FillLikeCapture(int64_t framesPerBuffer, const std::function<int32_t(int64_t, int)>& signal) {
    for (int i = 0; i < kRingBuffers; ++i) {
      const int64_t first = i * framesPerBuffer;
      const uint8_t* data = MakeBuffer(first, framesPerBuffer, signal);
      table[i].firstRange = {first, first + framesPerBuffer - 1};
      table[i].firstData = table[i].secondData = data;
    }
  }

  FrameTable table{};

 private:
  SampleFormat format_;
  std::vector<std::vector<uint8_t>> buffers_;
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
    begins.push_back({first, last});
    frames.clear();
  }
  void AddMagnitudes(std::span<const FrameMagnitudes> block) override {
    frames.insert(frames.end(), block.begin(), block.end());
    ++blocks;
  }
  std::vector<std::array<int64_t, 2>> begins;
  std::vector<FrameMagnitudes> frames;  // of the latest scan
  int blocks = 0;
};

}  // namespace lumora::testing
