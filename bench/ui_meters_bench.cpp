// One timer tick's display work on both sides: a full level scan of the newest
// frames (40 ms of new audio), each feeding its bar meter and its level
// history, on pictures the size of the window's at SizeRate 1.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <random>
#include <vector>

#include "meters/ui/C_VU.h"
#include "meters/ui/LevelHistoryDisplay.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"

namespace lumora {
namespace {

// 50 buffers of 100 ms of noise at about -10 dB, as a capture ring holds them.
struct NoiseRing {
  explicit NoiseRing(const SampleFormat& format) {
    const int64_t frames = format.nFreq / 10;
    const int32_t amplitude = (1 << (format.nBit - 1)) / 3;
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> sample(-amplitude, amplitude);
    buffers.resize(kRingBuffers);
    for (int i = 0; i < kRingBuffers; ++i) {
      for (int64_t k = 0; k < frames * format.nCh; ++k) {
        const int32_t v = sample(random);
        for (int b = 0; b < format.nBit / 8; ++b) buffers[i].push_back(static_cast<uint8_t>(v >> (8 * b)));
      }
      table[i].firstRange = {i * frames, i * frames + frames - 1};
      table[i].firstData = table[i].secondData = buffers[i].data();
    }
  }
  std::vector<std::vector<uint8_t>> buffers;
  FrameTable table{};
};

// One side's displays as the window lays them out.
struct Side {
  explicit Side(const LevelState& levels) {
    meterPanel.resize(306, 1);
    SetupVuMeter(meter, meterPanel, 1.0f, -20.0f);
    historyPanel.resize(306, 66);
    SetupHistoryPanel(historyPanel);
    history.SetupFormat(levels, 1.0f);
  }
  MeterPanel meterPanel{0x606060};
  C_VU meter;
  MeterPanel historyPanel{0x505050};
  LevelHistoryDisplay history{&historyPanel.PictureBox()};
};

void BM_DisplayTick(benchmark::State& state) {
  LevelState levels;
  levels.SetupFormat({static_cast<int32_t>(state.range(0)), static_cast<int16_t>(state.range(1)), 2});
  levels.inputGain = {DbToLin(-3.0f), DbToLin(-3.0f)};
  const NoiseRing ring(levels.format);
  Side input(levels), playback(levels);
  const int64_t tick = levels.format.nFreq / 25;  // 40 ms
  const int64_t first = levels.format.nFreq, last = 4 * levels.format.nFreq;
  int64_t end = first;
  for (auto _ : state) {
    end = end + tick > last ? first : end + tick;
    if (end == first) levels.lastHistoryPosition = {first - tick, first - tick};  // as if the ring went on
    for (auto [side, displays] : {std::pair{LevelSide::kInput, &input}, {LevelSide::kPlayback, &playback}}) {
      benchmark::DoNotOptimize(
          ScanLevels(levels, side, ring.table, end, false, {&displays->meter, &displays->history, true}));
    }
  }
}

BENCHMARK(BM_DisplayTick)->Args({192000, 24})->Args({44100, 16})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumora

// Text needs a QApplication; the offscreen platform needs no display.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
