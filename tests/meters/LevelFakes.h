#pragma once
// PCM bytes in a ring as capture leaves it, and a meter and a history that
// record what a level scan tells them.

#include <functional>
#include <string>
#include <vector>

#include "common/Pcm.h"
#include "meters/LevelScan.h"

namespace lumora::testing {

// Sample value of channel c at frame f.
using Signal = std::function<int32_t(int64_t f, int c)>;

// A square wave of the given amplitude: every magnitude equals it.
inline Signal Square(int32_t left, int32_t right) {
  return [=](int64_t f, int c) { return (f % 2 ? -1 : 1) * (c ? right : left); };
}

// A ring as capture leaves it: record i holds 100 ms from frame i * nFreq / 10
// (the first `records` of them filled).
struct SignalRing {
  SignalRing(const SampleFormat& format, const Signal& signal, int records = kRingBuffers) : format(format) {
    const int64_t n = format.nFreq / 10;
    for (int i = 0; i < records; ++i) {
      table[i].firstRange = {i * n, i * n + n - 1};
      table[i].firstData = table[i].secondData = Add(i * n, n, signal);
    }
  }
  // PCM of the signal's frames first ... first + count - 1, kept with the ring.
  const uint8_t* Add(int64_t first, int64_t count, const Signal& signal) {
    std::vector<int32_t> samples;
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < format.nCh; ++c) samples.push_back(signal(f, c));
    }
    return buffers.emplace_back(test::Pcm(samples, format.nBit)).data();  // moving the outer vector keeps it
  }
  SampleFormat format;
  std::vector<std::vector<uint8_t>> buffers;
  FrameTable table{};
};

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
