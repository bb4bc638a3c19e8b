// Level scans end to end: PCM in ring buffers -> meter readings, history
// magnitudes and the peak that automatic recording compares; and the gain.

#include "meters/LevelScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>

#include "LevelFakes.h"
#include "meters/ApplyGain.h"
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

// The software gain on raw buffers at each depth, and the 24-bit packing it uses.
using Bytes = std::vector<uint8_t>;

Bytes Gained(int16_t bits, int16_t channels, std::initializer_list<int32_t> values,
             std::array<float, 2> gain) {
  const Bytes in = test::Pcm(values, bits);
  Bytes out(in.size(), 0xEE);
  std::vector<int32_t> work(values.size());
  EXPECT_TRUE(ApplyGain(in, out, std::ssize(values) / channels, {44100, bits, channels}, gain, work));
  return out;
}

TEST(ApplyGain, ClipsAndRoundsHalfToEvenAtEachDepth) {
  // 8 bit (values are byte - 128): x0.5 gives 191.5 -> 192 and 64.5 -> 64.
  EXPECT_EQ(Gained(8, 1, {-128, 0, 127, -127}, {2.0f, 2.0f}), test::Pcm({-128, 0, 127, -128}, 8));
  EXPECT_EQ(Gained(8, 2, {127, -127, 100, 100}, {0.5f, 0.0f}), test::Pcm({64, 0, 50, 0}, 8));
  // 24 bit clips to the whole two's complement range.
  EXPECT_EQ(Gained(24, 2, {5000000, -5000000, -5000000, 7}, {2.0f, 0.5f}),
            test::Pcm({8388607, -2500000, -8388608, 4}, 24));
}

// Unity gain, the usual setting, copies every sample but 16-bit -32768.
TEST(ApplyGain, UnityGainKeepsEverySampleButTheUnmatchedMinimum) {
  for (int16_t bits : {8, 16, 24}) {
    const SampleFormat format{44100, bits, 2};
    Bytes in(static_cast<size_t>(format.BlockAlign()) * 512);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 131 + (i >> 3));
    in[0] = 0x00;  // -32768 at 16 bit
    in[1] = 0x80;
    std::vector<int32_t> work(1024);
    Bytes out(in.size());
    ASSERT_TRUE(ApplyGain(in, out, 512, format, {1.0f, 1.0f}, work));
    Bytes expected = in;
    if (bits == 16) expected[0] = 0x01;
    EXPECT_EQ(out, expected) << bits << " bit";
  }
}

TEST(ApplyGain, WorksInPlaceAndRefusesWhatDoesNotFit) {
  Bytes buffer = test::Pcm({100, -100}, 16);
  ASSERT_TRUE(ApplyGain(buffer, buffer, 1, {8000, 16, 2}, {2.0f, 0.5f}, {}));
  EXPECT_EQ(buffer, test::Pcm({200, -50}, 16));
  const Bytes in = test::Pcm({1, 2, 3, 4}, 24);
  Bytes out(in.size(), 0xEE);
  std::vector<int32_t> work(4);
  EXPECT_FALSE(ApplyGain(in, out, 3, {8000, 24, 2}, {1.0f, 1.0f}, work));  // 3 frames are 18 bytes
  EXPECT_FALSE(ApplyGain(in, out, 2, {8000, 24, 2}, {2.0f, 1.0f}, std::span(work).first(3)));
  EXPECT_FALSE(ApplyGain(in, out, 1, {8000, 12, 2}, {1.0f, 1.0f}, work));
  EXPECT_EQ(out, Bytes(in.size(), 0xEE));
}

// The 16-bit gain over every sample value, mono and stereo, against the rule
// itself: round half to even of s * g, clipped to +-32767. Buffers long enough
// for the wide path, with a tail for the sample loop.
TEST(ApplyGain, SixteenBitsAreExactForEveryValue) {
  std::vector<int16_t> in(65536 + 5);
  for (size_t k = 0; k < in.size(); ++k) in[k] = static_cast<int16_t>(k - 32768);
  for (const std::array<float, 2> gain :
       {std::array<float, 2>{0.5f, DbToLin(-1.0f)}, {DbToLin(-1.0f), 0.5f}, {3.0f, 1e-3f}, {-0.75f, 1.5f}}) {
    for (const int16_t channels : {1, 2}) {
      const int64_t frames = std::ssize(in) / channels;
      std::vector<int16_t> out(in.size(), 0);
      ASSERT_TRUE(ApplyGain({reinterpret_cast<const uint8_t*>(in.data()), in.size() * 2},
                            {reinterpret_cast<uint8_t*>(out.data()), out.size() * 2}, frames,
                            {48000, 16, channels}, gain, {}));
      for (int64_t k = 0; k < frames * channels; ++k) {
        const double x = in[k] * static_cast<double>(gain[channels == 2 ? k % 2 : 0]);
        ASSERT_EQ(out[k], std::nearbyint(std::clamp(x, -32767.0, 32767.0))) << k << " x" << gain[0];
      }
    }
  }
}

}  // namespace
}  // namespace lumora
