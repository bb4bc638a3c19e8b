// Level scans end to end: PCM in ring buffers -> meter readings, history
// magnitudes and the peak that automatic recording compares.

#include "meters/LevelScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>

#include "LevelFakes.h"
#include "meters/Levels.h"
#include "meters/MeterScale.h"

namespace lumora {
namespace {

int32_t Square(int32_t amplitude, int64_t f) { return (f / 24) % 2 ? -amplitude : amplitude; }
int32_t Sine(int32_t amplitude, int64_t f) {
  return static_cast<int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f / 48.0)));
}

// A level state over a ring of the signal.
struct Rig {
  Rig(SampleFormat format, const testing::Signal& signal = nullptr)
      : ring(format, signal, signal ? kRingBuffers : 0) {
    state.SetupFormat(format);
  }
  int32_t Scan(int64_t end, LevelSide side = LevelSide::kInput, bool peakOnly = false, bool live = true) {
    return ScanLevels(state, side, ring.table, end, peakOnly, {&meter, &history, live});
  }
  testing::SignalRing ring;
  LevelState state;
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
  EXPECT_EQ(s.meter.calls[0].rmsDb + s.meter.calls[0].peakDb, -220.0f);
  EXPECT_EQ(s.meter.calls[0].text, "-∞");
  EXPECT_EQ(s.meter.calls[1].peakDb, 0.0f);
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

// A record's second range is read before its first, earlier records before
// later ones; the input gain (not playback's) rounds halves to even.
TEST(LevelScan, LookupOrderAndInputGain) {
  Rig s({8000, 16, 1});
  s.state.inputGain = {0.5f, 1.0f};
  s.ring.table[0].firstRange = {0, 2399};
  s.ring.table[0].firstData = s.ring.Add(0, 2400, [](int64_t, int) { return 3; });
  s.ring.table[0].secondRange = {2000, 2399};
  s.ring.table[0].secondData = s.ring.Add(2000, 400, [](int64_t, int) { return -7; });
  s.ring.table[1].firstRange = {0, 2399};
  s.ring.table[1].firstData = s.ring.Add(0, 2400, [](int64_t, int) { return 9; });
  EXPECT_EQ(s.Scan(2399), 4);
  ASSERT_EQ(s.history.frames.size(), 2401u);
  // frame -1, then 3 * 0.5 and the second range's -7 * 0.5, halves to even
  EXPECT_EQ(std::tuple(s.history.frames[0][0], s.history.frames[1][0], s.history.frames[2001][0]),
            std::tuple(0, 2, 4));
  EXPECT_EQ(s.Scan(2399, LevelSide::kPlayback, true), 7);
}

// Automatic recording reads only the peak: from the raw peaks, gained once, it
// must be what the full scan finds frame by frame, at every depth and gain
// (clipping and the unmatched minimum included).
TEST(LevelScan, PeakOnlyScanMatchesTheFullScan) {
  for (int16_t bits : {8, 16, 24}) {
    for (int16_t channels : {1, 2}) {
      const int32_t top = bits == 8 ? 127 : bits == 16 ? 32767 : 8388607;
      Rig s({48000, bits, channels}, [&](int64_t f, int c) {
        const int64_t amplitude = top >> (f / 3000 % 4);  // loud and quieter stretches
        const int64_t x = (f * 7919 + c * 104729) % (2 * amplitude + 1) - amplitude;
        return static_cast<int32_t>(f % 9000 == 17 ? -top - 1 : x);
      });
      for (std::array<float, 2> gain :
           {std::array{1.0f, 1.0f}, {0.891f, 0.891f}, {0.5f, 1.7f}, {3.0f, 0.1f}}) {
        s.state.inputGain = gain;
        for (int64_t end : {2999, 9017, 40000}) {
          const int32_t peak = s.Scan(end, LevelSide::kInput, true);
          s.state.lastHistoryPosition = {-1, -1};
          EXPECT_EQ(peak, s.Scan(end))
              << bits << " bit, " << channels << " ch, gain " << gain[0] << ", end " << end;
        }
      }
    }
  }
}

// dB arithmetic, window lengths, thresholds, meter texts and meter positions.
TEST(Levels, DecibelsAndWindows) {
  EXPECT_EQ(LinToDb(0.0f), -110.0f);
  EXPECT_EQ(DbToLin(-110.0f), 0.0f);
  EXPECT_EQ(PeakWindow(11025), 661);  // 11025 * 0.06f = 661.49998; an exact 0.06 would give 662
}

TEST(Levels, ThresholdsAreRelativeTo255PowersNotFullScale) {
  const struct {
    int32_t db, bits, expected;
  } cases[] = {{-40, 16, 325}, {0, 8, 128}, {-40, 24, 82907}, {-600, 24, 0}};  // halves go to even
  for (const auto& c : cases) {
    EXPECT_EQ(UpdateLevelThresholds(c.db, 0, c.bits).start, c.expected) << c.db << " dB " << c.bits;
    EXPECT_EQ(UpdateLevelThresholds(0, c.db, c.bits).end, c.expected) << c.db << " dB " << c.bits;
  }
}

TEST(Levels, ReadingTexts) {
  const std::pair<float, const char*> cases[] = {
      {-99.9f, "-∞"}, {-99.8f, "-99.8"}, {-6.04f, "-06.0"}, {0.0003f, "-00.0"}, {0.26f, "+00.3"}};
  for (const auto& [db, text] : cases) EXPECT_EQ(LevelText(db), text) << db;
}

TEST(MeterScale, Positions) {
  const std::array<float, 256>& scale = MeterScale();
  EXPECT_EQ(scale[255], 10.0f);
  const std::pair<float, float> nearest[] = {{-6.0f, 172}, {-40.0f, 23}, {0.0f, 207}, {-110.0f, 0},
                                             {12.0f, 255}, {-93.0f, 2},  {-92.9f, 3}};
  for (const auto& [db, pos] : nearest)
    EXPECT_EQ(DbToMeterPos(db, false), pos) << db;  // -93: a tie goes down
  EXPECT_NEAR(DbToMeterPos(-6.0f, true), 171.8, 0.01);
  EXPECT_NEAR(DbToMeterPos(-93.0f, true), 2.5, 1e-5);
}

}  // namespace
}  // namespace lumora
