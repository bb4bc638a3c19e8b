// Level scans end to end: PCM in ring buffers -> meter readings, history
// magnitudes and the peak that automatic recording compares.

#include "meters/LevelScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>

#include "LevelFakes.h"

namespace lumora {
namespace {

using Signal = std::function<int32_t(int64_t frame, int channel)>;

int32_t Square(int32_t amplitude, int64_t f) { return (f / 24) % 2 ? -amplitude : amplitude; }
int32_t Sine(int32_t amplitude, int64_t f) {
  return static_cast<int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f / 48.0)));
}

// A level state and the ring as capture leaves it: record i holds 100 ms from frame i * nFreq / 10.
struct Rig {
  Rig(SampleFormat format, const Signal& signal = nullptr) : format(format) {
    state.SetupFormat(format);
    const int64_t n = format.nFreq / 10;
    for (int i = 0; signal && i < kRingBuffers; ++i) {
      table[i].firstRange = {i * n, i * n + n - 1};
      table[i].firstData = table[i].secondData = Buffer(i * n, n, signal);
    }
  }
  const uint8_t* Buffer(int64_t first, int64_t count, const Signal& signal) {
    std::vector<uint8_t>& bytes = buffers.emplace_back();  // moving the outer vector keeps inner data
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < format.nCh; ++c) testing::PutSample(bytes, format.nBit, signal(f, c));
    }
    return bytes.data();
  }
  int32_t Scan(int64_t end, LevelSide side = LevelSide::kInput, bool peakOnly = false, bool live = true) {
    return ScanLevels(state, side, table, end, peakOnly, {&meter, &history, live});
  }
  SampleFormat format;
  LevelState state;
  FrameTable table{};
  std::vector<std::vector<uint8_t>> buffers;
  testing::FakeMeter meter;
  testing::FakeHistory history;
};

TEST(LevelScan, FullScaleSquareAndSineWithAndWithoutPlus3) {
  for (int16_t bits : {16, 24}) {
    for (auto [sine, plus3] : {std::pair(false, false), {false, true}, {true, false}, {true, true}}) {
      const int32_t fs = bits == 16 ? 32767 : 8388607;
      const float db = (sine ? -3.0f : 0.0f) + (plus3 ? 3.0f : 0.0f);
      const int16_t channels = sine == plus3 ? 1 : 2;  // mono shows the same on both bars
      Rig s({48000, bits, channels}, [&](int64_t f, int) { return sine ? Sine(fs, f) : Square(fs, f); });
      s.state.rmsPlus3 = plus3;
      EXPECT_GE(s.Scan(30000), fs - 1);
      ASSERT_EQ(s.meter.calls.size(), 2u);
      for (int bar = 0; bar < 2; ++bar) {
        const testing::MeterCall& call = s.meter.calls[bar];
        EXPECT_EQ(call.bar, bar);
        EXPECT_NEAR(call.rmsDb, db, 0.1) << bits << " bit, sine " << sine << ", +3 " << plus3;
        EXPECT_NEAR(call.peakDb, 0.0, 0.01);
        EXPECT_EQ(call.text, db > 0 ? "+03.0" : db < 0 ? "-03.0" : "-00.0");
        EXPECT_EQ(call.holdDb, 99.0f);
      }
    }
  }
}

TEST(LevelScan, SilenceAndTheUnmatchedMinimum) {
  // Left silent, right -32768: one more than full scale.
  Rig s({44100, 16, 2}, [](int64_t, int c) { return c ? -32768 : 0; });
  EXPECT_EQ(s.Scan(100000), 32767);
  EXPECT_EQ(s.meter.calls[0].rmsDb, -110.0f);
  EXPECT_EQ(s.meter.calls[0].peakDb, -110.0f);
  EXPECT_EQ(s.meter.calls[0].text, "-∞");
  EXPECT_EQ(s.meter.calls[1].peakDb, 0.0f);
}

TEST(LevelScan, RmsRisesGraduallyWhileTheFirstWindowFills) {
  Rig s({44100, 16, 2}, [](int64_t f, int) { return Square(32767, f); });
  ASSERT_EQ(s.state.rmsWindow, 13230);
  // Frames before 0 read as silence, and the sum is divided by the whole window.
  for (int64_t end : {0, 100, 6614, 13229}) {
    s.Scan(end);
    EXPECT_NEAR(s.meter.calls.back().rmsDb, 10 * std::log10((end + 1) / 13230.0), 1e-4) << end;
  }
}

// Only a full scan feeds the history and only a live one draws the meter; an end
// before frame 0 or an unmeasurable format does neither.
TEST(LevelScan, WhatEachKindOfScanFeeds) {
  Rig s({8000, 16, 2}, [](int64_t f, int) { return f == 9519 ? 30000 : 0; });
  EXPECT_EQ(s.Scan(-1), 0);
  EXPECT_EQ(s.Scan(10000, LevelSide::kInput, true), 0);
  EXPECT_EQ(s.state.lastHistoryPosition[0], -1);
  s.state.SetupFormat({8000, 16, 6});
  EXPECT_EQ(s.Scan(10000), 0);
  EXPECT_TRUE(s.history.frames.empty());
  s.state.SetupFormat({8000, 16, 2});
  EXPECT_EQ(s.Scan(10000, LevelSide::kInput, false, false), 0);
  EXPECT_TRUE(s.meter.calls.empty());
  EXPECT_EQ(s.state.lastHistoryPosition[0], 10000);
  EXPECT_EQ(s.Scan(10000), 0);  // the returned peak covers 60 ms, the meter's 300 ms
  EXPECT_NEAR(s.meter.calls[0].peakDb, 20 * std::log10(30000 / 32767.0), 1e-4);
}

TEST(LevelScan, HistoryGetsEachFrameOnceAndSkipsLongGaps) {
  Rig s({44100, 16, 2}, [](int64_t f, int) { return static_cast<int32_t>(f % 30000); });
  auto scan = [&](int64_t end) {
    s.Scan(end);
    return s.history.range;
  };
  using Range = std::array<int64_t, 2>;
  EXPECT_EQ(scan(20000), (Range{20000 - 13230, 20000}));
  EXPECT_EQ(s.history.frames.size(), 13231u);
  EXPECT_EQ(scan(20100), (Range{20001, 20100}));
  EXPECT_EQ(s.history.frames.front()[0], 20001);
  EXPECT_EQ(scan(20100), (Range{20101, 20100}));
  EXPECT_EQ(scan(60000), (Range{60000 - 13230, 60000}));  // a long gap is not drawn late
  EXPECT_EQ(scan(500), (Range{500 - 13230, 500}));        // the frame count started again
  EXPECT_EQ(s.history.frames.front()[0], 0);              // frames before 0 are silence
}

// The lookup frame by frame, as plainly as it can be said: a record's second
// range before its first, earlier records before later ones, no data is silence.
int32_t NaiveSample(const FrameTable& table, int64_t f, int c, const SampleFormat& format) {
  for (const FrameRecord& r : table) {
    for (auto [range, data] :
         {std::pair(r.secondRange, r.secondData), std::pair(r.firstRange, r.firstData)}) {
      if (!range.Contains(f)) continue;
      if (!data) return 0;
      const int bytes = format.nBit / 8;
      const uint8_t* p = data + ((f - range.first) * format.nCh + c) * bytes;
      if (bytes == 1) return p[0] - 128;
      uint32_t v = 0;
      for (int b = bytes - 1; b >= 0; --b) v = v << 8 | p[b];
      return static_cast<int32_t>(v << (32 - 8 * bytes)) >> (32 - 8 * bytes);
    }
  }
  return 0;
}

// Every depth, channel count and side; the input gains make exact halves that round
// to even, and either channel may be at unity.
TEST(LevelScan, MatchesAFrameByFrameLookupOnRandomOverlappingTables) {
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 48; ++trial) {
    const SampleFormat format{8000, static_cast<int16_t>(8 * (1 + trial % 3)),
                              static_cast<int16_t>(1 + trial / 3 % 2)};
    const LevelSide side = trial / 6 % 2 ? LevelSide::kPlayback : LevelSide::kInput;
    Rig s(format);
    s.state.inputGain = trial / 12 % 2 ? std::array{0.5f, 1.0f} : std::array{1.0f, 1.5f};
    for (FrameRecord& rec : s.table) {
      for (bool second : {false, true}) {
        if (random() % 3 == 0) continue;
        const int64_t first = random() % 6000, count = 1 + random() % 900;
        (second ? rec.secondRange : rec.firstRange) = {first, first + count - 1};
        (second ? rec.secondData : rec.firstData) =
            random() % 10 == 0 ? nullptr : s.Buffer(first, count, [&](int64_t, int) {
              return static_cast<int32_t>(random() % (1u << format.nBit)) - (1 << (format.nBit - 1));
            });
      }
    }
    const int64_t end = random() % 7000;
    const int32_t peak = s.Scan(end, side);
    int32_t expectedPeak = 0;
    ASSERT_EQ(s.history.frames.size(), 2401u);
    for (int64_t f = end - 2400; f <= end; ++f) {
      FrameMagnitudes a{0, 0};
      for (int c = 0; c < format.nCh; ++c) {
        const double gain = side == LevelSide::kInput ? s.state.inputGain[c] : 1.0;
        const double x = std::abs(std::nearbyint(NaiveSample(s.table, f, c, format) * gain));
        a[c] = static_cast<int32_t>(std::min(x, format.nBit == 8 ? 128.0 : (1 << (format.nBit - 1)) - 1.0));
      }
      ASSERT_EQ(s.history.frames[f - (end - 2400)], a) << "trial " << trial << " frame " << f;
      if (f >= end - 480) expectedPeak = std::max({expectedPeak, a[0], a[1]});
    }
    EXPECT_EQ(peak, expectedPeak);
    EXPECT_EQ(s.Scan(end, side, true), expectedPeak);
  }
}

}  // namespace
}  // namespace lumora
