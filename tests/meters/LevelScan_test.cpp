// Level scans end to end: PCM in ring buffers -> meter readings, history
// magnitudes and the peak that automatic recording compares.

#include "meters/LevelScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "LevelFakes.h"
#include "meters/Levels.h"

namespace lumora {
namespace {

using testing::FakeHistory;
using testing::FakeMeter;
using testing::TestRing;

SampleFormat Format(int32_t rate, int16_t bits, int16_t channels) { return {rate, bits, channels}; }

int32_t SquareAt(int32_t fullScale, int64_t frame) { return (frame / 24) % 2 == 0 ? fullScale : -fullScale; }
int32_t SineAt(int32_t fullScale, int64_t frame) {
  return static_cast<int32_t>(
      std::lround(fullScale * std::sin(2.0 * std::numbers::pi * 1000.0 * frame / 48000.0)));
}

struct Reading {
  FakeMeter meter;
  int32_t peak = 0;
};

// A full, live scan of the input side at endFrame over a capture-like ring.
Reading ScanInput(LevelState& state, const TestRing& ring, int64_t endFrame) {
  Reading r;
  r.peak = ScanLevels(state, LevelSide::kInput, ring.table, endFrame, false, {&r.meter, nullptr, true});
  return r;
}

class FullScaleWaves : public ::testing::TestWithParam<int16_t> {};

TEST_P(FullScaleWaves, SquareReadsZeroAndSineMinusThreeWithinATenth) {
  const int16_t bits = GetParam();
  const int32_t fs = bits == 16 ? 32767 : 8388607;
  struct Case {
    bool sine;
    bool plus3;
    float db;
    const char* text;
  };
  for (const Case& c : {Case{false, false, 0.0f, "-00.0"}, Case{false, true, 3.0f, "+03.0"},
                        Case{true, false, -3.0f, "-03.0"}, Case{true, true, 0.0f, "-00.0"}}) {
    SCOPED_TRACE(::testing::Message() << "sine " << c.sine << " +3 " << c.plus3);
    LevelState state;
    state.SetupFormat(Format(48000, bits, 2));
    state.rmsPlus3 = c.plus3;
    TestRing ring(state.format);
    ring.FillLikeCapture(4800, [&](int64_t f, int) { return c.sine ? SineAt(fs, f) : SquareAt(fs, f); });
    const Reading r = ScanInput(state, ring, 30000);
    ASSERT_EQ(r.meter.calls.size(), 2u);
    for (const testing::MeterCall& call : r.meter.calls) {
      EXPECT_NEAR(call.rmsDb, c.db, 0.1);
      EXPECT_NEAR(call.peakDb, 0.0, 0.01);
      EXPECT_EQ(call.text, c.text);
      EXPECT_EQ(call.holdDb, 99.0f);
    }
    EXPECT_EQ(r.meter.calls[0].bar, 0);
    EXPECT_EQ(r.meter.calls[1].bar, 1);
    EXPECT_GE(r.peak, fs - 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, FullScaleWaves, ::testing::Values(int16_t{16}, int16_t{24}));

TEST(LevelScan, EightBitSilenceAndExtremes) {
  LevelState state;
  state.SetupFormat(Format(8000, 8, 2));
  TestRing ring(state.format);
  // Left: silence (byte 128) throughout; right: byte 255 early, byte 0 in the last 60 ms.
  ring.FillLikeCapture(800, [](int64_t f, int c) { return c == 0 ? 0 : (f < 3000 ? 127 : -128); });
  Reading r = ScanInput(state, ring, 3100);
  EXPECT_EQ(r.peak, 128);  // byte 0 is full scale
  EXPECT_EQ(r.meter.calls[0].rmsDb, -110.0f);
  EXPECT_EQ(r.meter.calls[0].peakDb, -110.0f);
  EXPECT_EQ(r.meter.calls[0].text, "-∞");
  EXPECT_EQ(r.meter.calls[1].peakDb, 0.0f);

  r = ScanInput(state, ring, 2900);  // only bytes 255: 127 of 128
  EXPECT_EQ(r.peak, 127);
  EXPECT_NEAR(r.meter.calls[1].peakDb, 20 * std::log10(127.0 / 128.0), 1e-4);
}

TEST(LevelScan, Minus32768IsClampedToFullScale) {
  LevelState state;
  state.SetupFormat(Format(44100, 16, 1));
  TestRing ring(state.format);
  ring.FillLikeCapture(4410, [](int64_t, int) { return -32768; });
  const Reading r = ScanInput(state, ring, 100000);
  EXPECT_EQ(r.peak, 32767);
  EXPECT_EQ(r.meter.calls[0].peakDb, 0.0f);
}

TEST(LevelScan, RmsRisesGraduallyWhileTheFirstWindowFills) {
  LevelState state;
  state.SetupFormat(Format(44100, 16, 2));
  ASSERT_EQ(state.rmsWindow, 13230);
  TestRing ring(state.format);
  ring.FillLikeCapture(4410, [](int64_t f, int) { return SquareAt(32767, f); });
  float previous = -200.0f;
  // Frames before 0 read as silence; the sum is still divided by the whole window.
  for (int64_t end : {0, 100, 6614, 13229}) {
    SCOPED_TRACE(end);
    const Reading r = ScanInput(state, ring, end);
    const double expected = 10.0 * std::log10((end + 1) / 13230.0);
    EXPECT_NEAR(r.meter.calls[0].rmsDb, expected, 1e-4);
    EXPECT_GT(r.meter.calls[0].rmsDb, previous);
    previous = r.meter.calls[0].rmsDb;
  }
  EXPECT_EQ(ScanInput(state, ring, 13229).meter.calls[0].text, "-00.0");
}

TEST(LevelScan, MonoShowsTheSameReadingOnBothBars) {
  LevelState state;
  state.SetupFormat(Format(48000, 16, 1));
  TestRing ring(state.format);
  ring.FillLikeCapture(4800, [](int64_t f, int) { return SineAt(10000, f); });
  const Reading r = ScanInput(state, ring, 40000);
  ASSERT_EQ(r.meter.calls.size(), 2u);
  EXPECT_EQ(r.meter.calls[0].rmsDb, r.meter.calls[1].rmsDb);
  EXPECT_EQ(r.meter.calls[0].peakDb, r.meter.calls[1].peakDb);
  EXPECT_EQ(r.meter.calls[0].text, r.meter.calls[1].text);
  EXPECT_NEAR(r.meter.calls[0].rmsDb, 20 * std::log10(10000 / std::sqrt(2.0) / 32767), 0.01);
}

TEST(LevelScan, NegativeEndFrameDoesNothing) {
  LevelState state;
  TestRing ring(state.format);
  ring.FillLikeCapture(4410, [](int64_t, int) { return 1000; });
  state.lastHistoryPosition = {7, 9};
  FakeMeter meter;
  FakeHistory history;
  for (bool peakOnly : {false, true}) {
    EXPECT_EQ(ScanLevels(state, LevelSide::kInput, ring.table, -1, peakOnly, {&meter, &history, true}), 0);
  }
  EXPECT_TRUE(meter.calls.empty());
  EXPECT_TRUE(history.begins.empty());
  EXPECT_EQ(state.lastHistoryPosition, (std::array<int64_t, 2>{7, 9}));
}

TEST(LevelScan, UnmeasurableFormatReturnsZero) {
  LevelState state;
  state.SetupFormat(Format(44100, 16, 6));
  TestRing ring(Format(44100, 16, 2));
  FakeMeter meter;
  EXPECT_EQ(ScanLevels(state, LevelSide::kInput, ring.table, 1000, false, {&meter, nullptr, true}), 0);
  EXPECT_TRUE(meter.calls.empty());
}

// Tag t, frame f -> the value a buffer of tag t holds for frame f, so every
// magnitude tells which buffer and which offset it was read from.
int32_t Tagged(int tag, int64_t f) { return tag * 1000 + static_cast<int32_t>(f % 997); }

TEST(LevelScan, LookupPrefersEarlierRecordsAndSecondRangesAndReadsGapsAsSilence) {
  LevelState state;
  state.SetupFormat(Format(8000, 16, 1));  // RMS window 2400 frames
  TestRing ring(state.format);
  auto place = [&](int record, bool second, int tag, int64_t first, int64_t last) {
    const uint8_t* data =
        ring.MakeBuffer(first, last - first + 1, [&](int64_t f, int) { return Tagged(tag, f); });
    FrameRecord& rec = ring.table[record];
    (second ? rec.secondRange : rec.firstRange) = {first, last};
    (second ? rec.secondData : rec.firstData) = data;
  };
  place(0, false, 1, 0, 1199);
  place(0, true, 2, 500, 1499);    // a record's second range wins over its first
  place(1, false, 3, 1200, 2399);  // ... and over later records
  place(5, true, 4, 2000, 2999);
  place(49, false, 5, 3100, 3500);  // 3000..3099: in no record
  auto expected = [](int64_t f) {
    if (f <= 1499) return Tagged(2, f);
    if (f <= 2399) return Tagged(3, f);
    if (f <= 2999) return Tagged(4, f);
    return f <= 3099 ? 0 : Tagged(5, f);
  };
  FakeHistory history;
  ScanLevels(state, LevelSide::kPlayback, ring.table, 3400, false, {nullptr, &history, true});
  ASSERT_EQ(history.frames.size(), 2401u);
  for (int64_t f = 1000; f <= 3400; ++f) {
    ASSERT_EQ(history.frames[f - 1000][0], expected(f)) << "frame " << f;
    ASSERT_EQ(history.frames[f - 1000][1], 0);
  }
}

TEST(LevelScan, InputSideIsMeasuredAfterTheGainAndPlaybackRaw) {
  LevelState state;
  state.SetupFormat(Format(8000, 16, 2));
  state.inputGain = {0.5f, 2.0f};
  TestRing ring(state.format);
  // Left alternates 5 and -7 (x0.5: 2.5 -> 2, 3.5 -> 4, halves to even), right 20000.
  ring.FillLikeCapture(800, [](int64_t f, int c) { return c == 1 ? 20000 : (f % 2 == 0 ? 5 : -7); });
  FakeHistory input;
  FakeHistory playback;
  EXPECT_EQ(ScanLevels(state, LevelSide::kInput, ring.table, 10000, false, {nullptr, &input, true}), 32767);
  EXPECT_EQ(ScanLevels(state, LevelSide::kPlayback, ring.table, 10000, false, {nullptr, &playback, true}),
            20000);
  ASSERT_EQ(input.frames.size(), 2401u);
  EXPECT_EQ(input.frames[0], (FrameMagnitudes{2, 32767}));  // frame 7600
  EXPECT_EQ(input.frames[1], (FrameMagnitudes{4, 32767}));
  EXPECT_EQ(playback.frames[0], (FrameMagnitudes{5, 20000}));
  EXPECT_EQ(playback.frames[1], (FrameMagnitudes{7, 20000}));
}

TEST(LevelScan, PeakOnlyLooksAtTheLast60MillisecondsAndDrawsNothing) {
  LevelState state;
  state.SetupFormat(Format(8000, 16, 2));
  ASSERT_EQ(state.peakWindow, 480);
  TestRing ring(state.format);
  const int64_t end = 10000;
  ring.FillLikeCapture(800, [&](int64_t f, int c) {
    if (f == end - 481) return 30000;  // just outside the peak window
    return f == end - 480 && c == 1 ? 1234 : 0;
  });
  FakeMeter meter;
  FakeHistory history;
  EXPECT_EQ(ScanLevels(state, LevelSide::kInput, ring.table, end, true, {&meter, &history, true}), 1234);
  EXPECT_TRUE(meter.calls.empty());
  EXPECT_TRUE(history.begins.empty());
  EXPECT_EQ(state.lastHistoryPosition[0], -1);

  // A full scan returns the same 60 ms peak, but the meter's peak covers 300 ms.
  EXPECT_EQ(ScanLevels(state, LevelSide::kInput, ring.table, end, false, {&meter, &history, true}), 1234);
  EXPECT_NEAR(meter.calls[0].peakDb, LinToDb(30000.0f / 32767), 1e-5);
  EXPECT_EQ(state.lastHistoryPosition[0], end);
}

TEST(LevelScan, MeterIsDrawnOnlyWhenTheSideIsLive) {
  LevelState state;
  TestRing ring(state.format);
  ring.FillLikeCapture(4410, [](int64_t, int) { return 100; });
  FakeMeter meter;
  FakeHistory history;
  ScanLevels(state, LevelSide::kPlayback, ring.table, 50000, false, {&meter, &history, false});
  EXPECT_TRUE(meter.calls.empty());
  EXPECT_EQ(history.frames.size(), 13231u);
  EXPECT_EQ(state.lastHistoryPosition, (std::array<int64_t, 2>{-1, 50000}));
}

TEST(LevelScan, HistoryGetsEachFrameOnceAndSkipsLongGaps) {
  LevelState state;  // 44100 Hz: RMS window 13230
  TestRing ring(state.format);
  ring.FillLikeCapture(4410, [](int64_t f, int) { return static_cast<int32_t>(f % 30000); });
  FakeHistory history;
  auto scan = [&](int64_t end) {
    ScanLevels(state, LevelSide::kInput, ring.table, end, false, {nullptr, &history, true});
    return history.begins.back();
  };
  using Range = std::array<int64_t, 2>;
  EXPECT_EQ(scan(20000), (Range{20000 - 13230, 20000}));
  EXPECT_EQ(history.frames.size(), 13231u);
  EXPECT_GT(history.blocks, 1);  // delivered in blocks, not frame by frame, nor in one piece
  EXPECT_EQ(scan(20100), (Range{20001, 20100}));
  ASSERT_EQ(history.frames.size(), 100u);
  EXPECT_EQ(history.frames.front()[0], 20001);
  EXPECT_EQ(history.frames.back()[0], 20100);
  EXPECT_EQ(scan(20100), (Range{20101, 20100}));
  EXPECT_TRUE(history.frames.empty());
  EXPECT_EQ(scan(60000), (Range{60000 - 13230, 60000}));  // a long gap is not drawn late
  state.ResetHistory(LevelSide::kInput);
  EXPECT_EQ(scan(60010), (Range{60010 - 13230, 60010}));
  // The frame count started again (a new device): draw the newest window, not nothing.
  EXPECT_EQ(scan(500), (Range{500 - 13230, 500}));
  EXPECT_EQ(history.frames.size(), 13231u);
  EXPECT_EQ(history.frames.front()[0], 0);  // frames before 0 are silence
  state.SetupFormat(state.format);
  EXPECT_EQ(state.lastHistoryPosition, (std::array<int64_t, 2>{-1, -1}));
}

// The lookup walked frame by frame, as simply as it can be said: the oracle for
// the scan, which looks up once per run.
const uint8_t* NaiveFind(const FrameTable& table, int64_t f, int32_t blockAlign) {
  for (const FrameRecord& rec : table) {
    if (rec.secondRange.Contains(f))
      return rec.secondData ? rec.secondData + (f - rec.secondRange.first) * blockAlign : nullptr;
    if (rec.firstRange.Contains(f))
      return rec.firstData ? rec.firstData + (f - rec.firstRange.first) * blockAlign : nullptr;
  }
  return nullptr;
}

TEST(LevelScan, MatchesAFrameByFrameLookupOnRandomOverlappingTables) {
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    LevelState state;
    state.SetupFormat(Format(8000, 24, 2));
    state.inputGain = {0.7f, 1.3f};
    TestRing ring(state.format);
    for (FrameRecord& rec : ring.table) {
      for (int k = 0; k < 2; ++k) {
        if (random() % 3 == 0) continue;  // leave some ranges empty
        const int64_t first = random() % 6000;
        const int64_t count = 1 + random() % 900;
        const uint8_t* data = random() % 10 == 0 ? nullptr : ring.MakeBuffer(first, count, [&](int64_t, int) {
          return static_cast<int32_t>(random() % 16777216) - 8388608;
        });
        (k ? rec.secondRange : rec.firstRange) = {first, first + count - 1};
        (k ? rec.secondData : rec.firstData) = data;
      }
    }
    const int64_t end = random() % 7000;
    FakeHistory history;
    FakeMeter meter;
    const int32_t peak =
        ScanLevels(state, LevelSide::kInput, ring.table, end, false, {&meter, &history, true});

    int32_t expectedPeak = 0;
    double sumsq = 0.0;
    ASSERT_EQ(history.frames.size(), 2401u);
    for (int64_t f = end - 2400; f <= end; ++f) {
      const uint8_t* p = NaiveFind(ring.table, f, 6);
      FrameMagnitudes a{0, 0};
      for (int c = 0; p && c < 2; ++c) {
        const int32_t v =
            static_cast<int32_t>(static_cast<uint32_t>(p[3 * c] | p[3 * c + 1] << 8 | p[3 * c + 2] << 16)
                                 << 8) >>
            8;
        a[c] = static_cast<int32_t>(
            std::min(std::abs(std::nearbyint(v * static_cast<double>(state.inputGain[c]))), 8388607.0));
      }
      ASSERT_EQ(history.frames[f - (end - 2400)], a) << "frame " << f;
      sumsq += static_cast<double>(a[0]) * a[0];
      if (f >= end - 480) expectedPeak = std::max({expectedPeak, a[0], a[1]});
    }
    EXPECT_EQ(peak, expectedPeak);
    EXPECT_NEAR(meter.calls[0].rmsDb, LinToDb(static_cast<float>(std::sqrt(sumsq / 2400) / 8388607)), 1e-5);
  }
}

}  // namespace
}  // namespace lumora
