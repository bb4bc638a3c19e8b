// Cost of the per-tick level work: a full 300 ms scan (meter and history fed)
// and the input gain on one 100 ms capture buffer.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "meters/ApplyGain.h"
#include "meters/LevelScan.h"

namespace lumora {
namespace {

class NullMeter : public VuMeter {
 public:
  void DrawVU(int32_t, float rmsDb, float, const std::string&, float) override {
    benchmark::DoNotOptimize(rmsDb);
  }
};

class SummingHistory : public LevelHistory {
 public:
  void BeginHistory(int64_t, int64_t) override {}
  void AddMagnitudes(std::span<const FrameMagnitudes> frames) override {
    for (const FrameMagnitudes& m : frames) sum += m[0] + m[1];
    benchmark::DoNotOptimize(sum);
  }
  int64_t sum = 0;
};

// A capture ring of 50 buffers of 100 ms of noise, as after opening the device.
struct NoiseRing {
  explicit NoiseRing(const SampleFormat& format) {
    const int64_t frames = format.nFreq / 10;
    std::mt19937 random(7);
    buffers.resize(kRingBuffers);
    for (int i = 0; i < kRingBuffers; ++i) {
      buffers[i].resize(frames * format.BlockAlign());
      for (uint8_t& b : buffers[i]) b = static_cast<uint8_t>(random());
      table[i].firstRange = {i * frames, i * frames + frames - 1};
      table[i].firstData = table[i].secondData = buffers[i].data();
    }
  }
  std::vector<std::vector<uint8_t>> buffers;
  FrameTable table{};
};

SampleFormat FormatOf(const benchmark::State& state) {
  return {static_cast<int32_t>(state.range(0)), static_cast<int16_t>(state.range(1)), 2};
}

void BM_FullScan(benchmark::State& state) {
  LevelState levels;
  levels.SetupFormat(FormatOf(state));
  levels.inputGain = {DbToLin(-3.0f), DbToLin(-3.0f)};
  const NoiseRing ring(levels.format);
  NullMeter meter;
  SummingHistory history;
  const int64_t end = 20 * (levels.format.nFreq / 10) + 1234;  // inside buffer 20, crossing 4 buffers
  for (auto _ : state) {
    levels.ResetHistory(LevelSide::kInput);  // every frame of the window goes to the history
    benchmark::DoNotOptimize(
        ScanLevels(levels, LevelSide::kInput, ring.table, end, false, {&meter, &history, true}));
  }
  state.SetItemsProcessed(state.iterations() * (levels.rmsWindow + 1));
}

void BM_ApplyGain(benchmark::State& state) {
  const SampleFormat format = FormatOf(state);
  const NoiseRing ring(format);
  const int64_t frames = format.nFreq / 10;
  std::vector<uint8_t> out(ring.buffers[0].size());
  std::vector<int32_t> work(frames * format.nCh);
  const std::array<float, 2> gain{DbToLin(-3.0f), DbToLin(6.0f)};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ApplyGain(ring.buffers[0], out, frames, format, gain, work));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * frames);
}

BENCHMARK(BM_FullScan)->Args({192000, 24})->Args({44100, 16})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyGain)->Args({192000, 24})->Args({44100, 16})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumora
