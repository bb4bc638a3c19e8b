// Level scans end to end: PCM in ring buffers -> meter readings, history
// magnitudes and the peak that automatic recording compares.

#include "meters/LevelScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "LevelFakes.h"

namespace lumora {
namespace {

using testing::FakeHistory;
using testing::FakeMeter;
using testing::Signal;
using testing::TestRing;

int32_t Square(int32_t amplitude, int64_t f) { return (f / 24) % 2 ? -amplitude : amplitude; }
int32_t Sine(int32_t amplitude, int64_t f) {
  return static_cast<int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f / 48.0)));
}

// A state for the format and a capture-like ring of 100 ms buffers holding the signal.
struct Rig {
  Rig(SampleFormat format, const Signal& signal) : ring(format) {
    state.SetupFormat(format);
    ring.FillLikeCapture(format.nFreq / 10, signal);
  }
  // A full scan of a live side; returns the peak of the last 60 ms.
  int32_t Scan(int64_t end, LevelSide side = LevelSide::kInput) {
    return ScanLevels(state, side, ring.table, end, false, {&meter, &history, true});
  }
  LevelState state;
  TestRing ring;
  FakeMeter meter;
  FakeHistory history;
};

TEST(LevelScan, FullScaleSquareAndSineWithAndWithoutPlus3) {
  struct Case {
    int16_t bits;
    bool sine, plus3;
    float db;
    const char* text;
  };
  for (const Case& c : {Case{16, false, false, 0.0f, "-00.0"}, Case{16, false, true, 3.0f, "+03.0"},
                        Case{24, true, false, -3.0f, "-03.0"}, Case{24, true, true, 0.0f, "-00.0"},
                        Case{16, true, false, -3.0f, "-03.0"}, Case{24, false, true, 3.0f, "+03.0"}}) {
    const int32_t fs = c.bits == 16 ? 32767 : 8388607;
    Rig s({48000, c.bits, 2}, [&](int64_t f, int) { return c.sine ? Sine(fs, f) : Square(fs, f); });
    s.state.rmsPlus3 = c.plus3;
    EXPECT_GE(s.Scan(30000), fs - 1);
    ASSERT_EQ(s.meter.calls.size(), 2u);
    for (int bar = 0; bar < 2; ++bar) {
      const testing::MeterCall& call = s.meter.calls[bar];
      EXPECT_EQ(call.bar, bar);
      EXPECT_NEAR(call.rmsDb, c.db, 0.1) << c.bits << " sine " << c.sine << " +3 " << c.plus3;
      EXPECT_NEAR(call.peakDb, 0.0, 0.01);
      EXPECT_EQ(call.text, c.text);
      EXPECT_EQ(call.holdDb, 99.0f);
    }
  }
}

TEST(LevelScan, ExtremeSamplesAndSilence) {
  // 8 bit, left silent (byte 128); right byte 255 up to frame 2999, then byte 0.
  Rig s({8000, 8, 2}, [](int64_t f, int c) { return c == 0 ? 0 : (f < 3000 ? 127 : -128); });
  EXPECT_EQ(s.Scan(2900), 127);
  EXPECT_EQ(s.Scan(3100), 128);
  EXPECT_EQ(s.meter.calls[2].rmsDb, -110.0f);
  EXPECT_EQ(s.meter.calls[2].peakDb, -110.0f);
  EXPECT_EQ(s.meter.calls[2].text, "-∞");
  EXPECT_EQ(s.meter.calls[3].peakDb, 0.0f);
  // 16 bit: -32768 is one more than full scale.
  Rig low({44100, 16, 1}, [](int64_t, int) { return -32768; });
  EXPECT_EQ(low.Scan(100000), 32767);
  EXPECT_EQ(low.meter.calls[0].peakDb, 0.0f);
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

TEST(LevelScan, MonoShowsTheSameReadingOnBothBars) {
  Rig s({48000, 16, 1}, [](int64_t f, int) { return Sine(10000, f); });
  s.Scan(40000);
  ASSERT_EQ(s.meter.calls.size(), 2u);
  EXPECT_EQ(s.meter.calls[0].rmsDb, s.meter.calls[1].rmsDb);
  EXPECT_EQ(s.meter.calls[0].peakDb, s.meter.calls[1].peakDb);
  EXPECT_NEAR(s.meter.calls[0].rmsDb, 20 * std::log10(10000 / std::sqrt(2.0) / 32767), 0.01);
}

TEST(LevelScan, NegativeEndFrameOrUnmeasurableFormatDoesNothing) {
  Rig s({44100, 16, 2}, [](int64_t, int) { return 1000; });
  EXPECT_EQ(s.Scan(-1), 0);
  EXPECT_EQ(ScanLevels(s.state, LevelSide::kInput, s.ring.table, -1, true), 0);
  s.state.SetupFormat({44100, 16, 6});
  EXPECT_EQ(s.Scan(1000), 0);
  EXPECT_TRUE(s.meter.calls.empty());
  EXPECT_EQ(s.history.blocks, 0);
  EXPECT_EQ(s.state.lastHistoryPosition, (std::array<int64_t, 2>{-1, -1}));
}

int32_t Tagged(int tag, int64_t f) { return tag * 1000 + static_cast<int32_t>(f % 997); }

TEST(LevelScan, LookupPrefersEarlierRecordsAndSecondRangesAndReadsGapsAsSilence) {
  Rig s({8000, 16, 1}, [](int64_t, int) { return 0; });  // RMS window 2400 frames
  s.ring.table = {};
  auto place = [&](int record, bool second, int tag, int64_t first, int64_t last) {
    FrameRecord& rec = s.ring.table[record];
    (second ? rec.secondRange : rec.firstRange) = {first, last};
    (second ? rec.secondData : rec.firstData) =
        s.ring.MakeBuffer(first, last - first + 1, [&](int64_t f, int) { return Tagged(tag, f); });
  };
  place(0, false, 1, 0, 1199);
  place(0, true, 2, 500, 1499);    // a record's second range wins over its first
  place(1, false, 3, 1200, 2399);  // ... and over later records
  place(5, true, 4, 2000, 2999);
  place(49, false, 5, 3100, 3500);  // 3000..3099: in no record
  s.Scan(3400, LevelSide::kPlayback);
  ASSERT_EQ(s.history.frames.size(), 2401u);
  for (int64_t f = 1000; f <= 3400; ++f) {
    const int32_t expected = f <= 1499   ? Tagged(2, f)
                             : f <= 2399 ? Tagged(3, f)
                             : f <= 2999 ? Tagged(4, f)
                             : f <= 3099 ? 0
                                         : Tagged(5, f);
    ASSERT_EQ(s.history.frames[f - 1000], (FrameMagnitudes{expected, 0})) << "frame " << f;
  }
}

TEST(LevelScan, InputIsMeasuredAfterTheGainAndPlaybackRaw) {
  // Left alternates 5 and -7 (x0.5: 2.5 -> 2, 3.5 -> 4, halves to even), right 20000 (x2: clipped).
  Rig s({8000, 16, 2}, [](int64_t f, int c) { return c == 1 ? 20000 : (f % 2 ? -7 : 5); });
  s.state.inputGain = {0.5f, 2.0f};
  EXPECT_EQ(s.Scan(10000), 32767);
  EXPECT_EQ(s.history.frames[0], (FrameMagnitudes{2, 32767}));
  EXPECT_EQ(s.history.frames[1], (FrameMagnitudes{4, 32767}));
  EXPECT_EQ(s.Scan(10000, LevelSide::kPlayback), 20000);
  EXPECT_EQ(s.history.frames[1], (FrameMagnitudes{7, 20000}));
}

TEST(LevelScan, PeakOnlyCoversTheLast60MillisecondsAndDrawsNothing) {
  // 30000 just outside the 480-frame peak window, 1234 at its oldest frame.
  Rig s({8000, 16, 2}, [](int64_t f, int c) { return f == 9519 ? 30000 : (f == 9520 && c ? 1234 : 0); });
  EXPECT_EQ(ScanLevels(s.state, LevelSide::kInput, s.ring.table, 10000, true, {&s.meter, &s.history, true}),
            1234);
  EXPECT_TRUE(s.meter.calls.empty());
  EXPECT_EQ(s.history.blocks, 0);
  EXPECT_EQ(s.state.lastHistoryPosition[0], -1);
  // A full scan returns the same, but the meter's peak covers 300 ms; not live: no meter.
  EXPECT_EQ(ScanLevels(s.state, LevelSide::kInput, s.ring.table, 10000, false, {&s.meter, &s.history, false}),
            1234);
  EXPECT_TRUE(s.meter.calls.empty());
  EXPECT_EQ(s.state.lastHistoryPosition[0], 10000);
  EXPECT_EQ(s.Scan(10000), 1234);
  EXPECT_NEAR(s.meter.calls[0].peakDb, 20 * std::log10(30000 / 32767.0), 1e-4);
}

TEST(LevelScan, HistoryGetsEachFrameOnceAndSkipsLongGaps) {
  Rig s({44100, 16, 2}, [](int64_t f, int) { return static_cast<int32_t>(f % 30000); });
  using Range = std::array<int64_t, 2>;
  auto scan = [&](int64_t end) {
    s.Scan(end);
    return s.history.range;
  };
  EXPECT_EQ(scan(20000), (Range{20000 - 13230, 20000}));
  EXPECT_EQ(s.history.frames.size(), 13231u);
  EXPECT_GT(s.history.blocks, 1);  // in blocks: neither frame by frame nor in one piece
  EXPECT_LT(s.history.blocks, 100);
  EXPECT_EQ(scan(20100), (Range{20001, 20100}));
  EXPECT_EQ(s.history.frames.front()[0], 20001);
  EXPECT_EQ(s.history.frames.size(), 100u);
  EXPECT_EQ(scan(20100), (Range{20101, 20100}));
  EXPECT_EQ(scan(60000), (Range{60000 - 13230, 60000}));  // a long gap is not drawn late
  s.state.ResetHistory(LevelSide::kInput);
  EXPECT_EQ(scan(60010), (Range{60010 - 13230, 60010}));
  EXPECT_EQ(scan(500), (Range{500 - 13230, 500}));  // the frame count started again
  EXPECT_EQ(s.history.frames.front()[0], 0);        // frames before 0 are silence
}

// The lookup frame by frame, as plainly as it can be said: the oracle for the
// scan, which looks up once per run of frames.
const uint8_t* NaiveFind(const FrameTable& table, int64_t f, int32_t blockAlign) {
  for (const FrameRecord& r : table) {
    if (r.secondRange.Contains(f)) {
      return r.secondData ? r.secondData + (f - r.secondRange.first) * blockAlign : nullptr;
    }
    if (r.firstRange.Contains(f))
      return r.firstData ? r.firstData + (f - r.firstRange.first) * blockAlign : nullptr;
  }
  return nullptr;
}

TEST(LevelScan, MatchesAFrameByFrameLookupOnRandomOverlappingTables) {
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 60; ++trial) {
    const int16_t channels = trial % 3 ? 2 : 1;
    Rig s({8000, 24, channels}, [](int64_t, int) { return 0; });
    s.state.inputGain = {0.7f, 1.3f};
    s.ring.table = {};
    for (FrameRecord& rec : s.ring.table) {
      for (bool second : {false, true}) {
        if (random() % 3 == 0) continue;
        const int64_t first = random() % 6000, count = 1 + random() % 900;
        (second ? rec.secondRange : rec.firstRange) = {first, first + count - 1};
        (second ? rec.secondData : rec.firstData) =
            random() % 10 == 0 ? nullptr : s.ring.MakeBuffer(first, count, [&](int64_t, int) {
              return static_cast<int32_t>(random() % 16777216) - 8388608;
            });
      }
    }
    const int64_t end = random() % 7000;
    const int32_t peak = s.Scan(end);
    int32_t expectedPeak = 0;
    ASSERT_EQ(s.history.frames.size(), 2401u);
    for (int64_t f = end - 2400; f <= end; ++f) {
      const uint8_t* p = NaiveFind(s.ring.table, f, 3 * channels);
      FrameMagnitudes a{0, 0};
      for (int c = 0; p && c < channels; ++c) {
        const int32_t v =
            static_cast<int32_t>(uint32_t(p[3 * c] | p[3 * c + 1] << 8 | p[3 * c + 2] << 16) << 8) >> 8;
        a[c] = static_cast<int32_t>(
            std::min(std::abs(std::nearbyint(v * double{s.state.inputGain[c]})), 8388607.0));
      }
      ASSERT_EQ(s.history.frames[f - (end - 2400)], a) << "trial " << trial << " frame " << f;
      if (f >= end - 480) expectedPeak = std::max({expectedPeak, a[0], a[1]});
    }
    EXPECT_EQ(peak, expectedPeak);
  }
}

}  // namespace
}  // namespace lumora
