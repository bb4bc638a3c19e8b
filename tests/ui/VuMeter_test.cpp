// The bar meter and the level history drawn on offscreen pictures. The meter
// as the window sets it up at SizeRate 1 (15 twips a pixel, a 300-pixel
// picture, red point at -20 dB).

#include <gtest/gtest.h>

#include "meters/LevelFakes.h"
#include "meters/MeterScale.h"
#include "meters/ui/C_VU.h"
#include "meters/ui/LevelHistoryDisplay.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

// The colour of each pixel from x0 to x1 in row y, one letter each, by the
// palette given as (letter, colour) pairs; '?' for any other colour.
std::string RowLetters(const QImage& image, int y, int x0, int x1,
                       const std::vector<std::pair<char, QRgb>>& palette) {
  std::string letters;
  for (int x = x0; x <= x1; ++x) {
    char letter = '?';
    for (const auto& [l, rgb] : palette) {
      if (image.pixel(x, y) == rgb) letter = l;
    }
    letters += letter;
  }
  return letters;
}

// Letters of runs: {first x, letter} pairs, each run ending where the next
// starts, the last at x1.
std::string Runs(const std::vector<std::pair<int, char>>& runs, int x1) {
  std::string letters;
  for (size_t i = 0; i < runs.size(); ++i) {
    const int end = i + 1 < runs.size() ? runs[i + 1].first : x1 + 1;
    letters += std::string(std::max(0, end - runs[i].first), runs[i].second);
  }
  return letters;
}

constexpr int kTpp = 15;
constexpr int kStart = 28;   // BarXStart: 18 * 15 + 150 twips
constexpr int kEnd = 260;    // BarXStart + L: 300 pixels less BarXEnd (600 twips)
constexpr int kRedX = 116;   // -20 dB: position 79 of 207, cut down to a whole pixel
constexpr int kCentre0 = 9;  // bar 0: centre 142 twips, rows 4 .. 14
constexpr int kCentre1 = 23;

const QRgb kBack = qRgb(32, 32, 32);
const QRgb kFore = qRgb(192, 192, 192);
const std::vector<std::pair<char, QRgb>> kCentrePalette = {
    {'g', qRgb(77, 150, 77)}, {'r', qRgb(150, 77, 77)}, {'p', qRgb(150, 150, 150)}, {'.', kBack}};

// Pixel column of a dB value on the bar (interpolated position).
int Column(float db, float offsetTwips = 0) {
  const double x = DbToMeterPos(db, true) / 207.0 * (kEnd - kStart) * kTpp + kStart * kTpp + offsetTwips;
  return static_cast<int>(RoundHalfEven(x) / kTpp);
}

struct Meter {
  Meter() {
    panel.resize(306, 10);
    SetupVuMeter(vu, panel, 1.0f, -20.0f);
  }
  const QImage& Image() const { return panel.PictureBox().Picture(); }
  std::string CentreRow(int y = kCentre0) const {
    return RowLetters(Image(), y, kStart, kEnd, kCentrePalette);
  }
  int ForePixels(QRect area) const {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) n += Image().pixel(x, y) == kFore;
    }
    return n;
  }
  MeterPanel panel{0x606060};
  C_VU vu;
};

TEST(VuMeter, StartUpLayoutFollowsTheSizeRate) {
  struct Case {
    float sizeRate;
    int pictureHeight;  // pixels
    int barRows;        // 2 * round(6.5 * r) - 1: 6.5 rounds to 6
  };
  for (const Case& c : {Case{1.0f, 46, 11}, {0.7f, 37, 9}, {2.0f, 88, 25}}) {
    MeterPanel panel(0x606060);
    panel.resize(306, 10);
    C_VU vu;
    SetupVuMeter(vu, panel, c.sizeRate, -20.0f);
    const QImage& picture = panel.PictureBox().Picture();
    EXPECT_EQ(picture.height(), c.pictureHeight) << c.sizeRate;
    vu.DrawVU(0, 3.0f, 0.0f, "", 99.0f);  // above full scale (RMS+3db)
    std::vector<int> rows;
    for (int y = 0; y < picture.height(); ++y) {
      if (picture.pixel(vu.BarXStart() / kTpp + 5, y) != kBack) rows.push_back(y);
    }
    EXPECT_EQ(static_cast<int>(rows.size()), c.barRows) << c.sizeRate;
    // The bar stops at its end: once it falls, nothing of it stays right of there.
    vu.ResetVU(0);
    int stale = 0;
    for (int y : rows) {
      for (int x = (4500 - vu.BarXEnd()) / kTpp + 1; x < 300; ++x) stale += picture.pixel(x, y) != kBack;
    }
    EXPECT_EQ(stale, 0) << c.sizeRate;
  }
}

TEST(VuMeter, BarPeakAndHoldMarks) {
  struct Case {
    const char* what;
    float rms, peak, hold;
    std::vector<std::pair<int, char>> runs;
  };
  const int peak6 = Column(-6, -45), peak3 = Column(-3, -45), end6 = Column(-6) + 1, end3 = Column(-3) + 1;
  // clang-format off
  const Case cases[] = {
      {"below the red point", -25, -6, 99, {{kStart, 'g'}, {Column(-25) + 1, '.'}, {peak6, 'p'}, {end6, '.'}}},
      {"beyond the red point", -10, -3, 99,
       {{kStart, 'g'}, {kRedX + 1, 'r'}, {Column(-10) + 1, '.'}, {peak3, 'p'}, {end3, '.'}}},
      {"reset", -99.9f, -99.9f, 99, {{kStart, 'p'}, {kStart + 4, '.'}}},
      {"hold mark", -99.9f, -99.9f, -6, {{kStart, 'p'}, {kStart + 4, '.'}, {Column(-6, -15), 'p'}, {end6, '.'}}},
  };
  // clang-format on
  Meter m;
  for (const Case& c : cases) {
    m.vu.DrawVU(0, 6.0f, 6.0f, "", -1.0f);  // everything lit first: nothing of it may stay
    m.vu.DrawVU(0, c.rms, c.peak, "", c.hold);
    EXPECT_EQ(m.CentreRow(), Runs(c.runs, kEnd)) << c.what;
  }
  m.vu.DrawVU(1, -10.0f, -10.0f, "", 99.0f);
  m.vu.ResetVU(-1);
  EXPECT_EQ(m.CentreRow(kCentre1), Runs({{kStart, 'p'}, {kStart + 4, '.'}}, kEnd));
}

TEST(VuMeter, GradientRowsWithEveryStepOrEveryOtherStep) {
  // The green of the rows from the top of bar 0 to its centre, and at the
  // centre's mirror row; every other step paints rows in pairs.
  for (auto [step, greens] : {std::pair(1, std::vector<int>{50, 70, 90, 110, 130, 150}),
                              {2, std::vector<int>{50, 50, 90, 90, 130, 130}}}) {
    Meter m;
    m.vu.SetBarWidthStep(step);
    m.vu.DrawVU(0, -10.0f, -99.9f, "", 99.0f);
    std::vector<int> top, bottom;
    for (int row = 0; row < 6; ++row) {
      top.push_back(qGreen(m.Image().pixel(50, kCentre0 - 5 + row)));
      bottom.push_back(qGreen(m.Image().pixel(50, kCentre0 + 5 - row)));
    }
    EXPECT_EQ(top, greens) << step;
    EXPECT_EQ(bottom, greens) << step;
    EXPECT_EQ(qRed(m.Image().pixel(kRedX + 2, kCentre0)), greens.back());  // red beyond the red point
    EXPECT_EQ(m.Image().pixel(50, kCentre0 - 6), kBack);
  }
}

TEST(VuMeter, ReadingLabelsAndScale) {
  Meter m;
  const QRect reading(kEnd + 1, kCentre0 - 6, 300 - kEnd - 1, 13);
  m.vu.DrawVU(0, -6.0f, -6.0f, "-06.0", 99.0f);
  EXPECT_GT(m.ForePixels(reading), 20);
  m.vu.DrawVU(0, -6.0f, -6.0f, "", 99.0f);  // an empty reading clears the old one
  EXPECT_EQ(m.ForePixels(reading), 0);
  // "L" and "R" left of the bars; the scale row under them.
  EXPECT_GT(m.ForePixels(QRect(0, kCentre0 - 5, kStart, 11)), 5);
  EXPECT_GT(m.ForePixels(QRect(0, kCentre1 - 5, kStart, 11)), 5);
  const int scaleTop = 33;  // 2 bars of 165 twips, margins 60 + 45, one pixel and 45 more
  for (float db : {0.0f, -20.0f, -99.9f}) {
    const double x = DbToMeterPos(db, false) / 207.0 * 3480 + 420;
    const int column = static_cast<int>(RoundHalfEven(x) / kTpp);
    EXPECT_EQ(m.ForePixels(QRect(column, scaleTop, 1, 11)), 11) << db;  // to 2 pixels above the bottom
    EXPECT_EQ(m.Image().pixel(column, scaleTop + 11), kBack) << db;
  }
  EXPECT_GT(m.ForePixels(QRect(kEnd + 2, scaleTop + 1, 300 - kEnd - 2, 10)), 5);  // "0db"
}

// The level history fed by full level scans tick by tick: columns, lanes,
// scrolling, pauses and magnification on a 300 x 60 picture.
using testing::Square;

const QRgb kLine = qRgb(80, 112, 144);

struct History {
  History(SampleFormat format, const testing::Signal& signal, float waveRate = 1.0f, QSize size = {300, 60})
      : ring(format, signal, 15) {
    panel.resize(size + QSize(6, 6));
    SetupHistoryPanel(panel);
    levels.SetupFormat(format);
    display.SetupFormat(levels, waveRate);
  }
  void Scan(int64_t endFrame) {
    ScanLevels(levels, LevelSide::kInput, ring.table, endFrame, false, {nullptr, &display, true});
  }
  // 'x' where column x has line pixels in rows top..bottom, '.' where it has none.
  std::string Columns(int top, int bottom) const {
    std::string letters;
    for (int x = 0; x < Image().width(); ++x) {
      bool lit = false;
      for (int y = top; y <= bottom; ++y) lit |= Image().pixel(x, y) == kLine;
      letters += lit ? 'x' : '.';
    }
    return letters;
  }
  // Rows first..end (exclusive) of the line pixels in column x, {0, 0} for none.
  std::pair<int, int> Line(int x) const {
    int first = -1, end = 0;
    for (int y = 0; y < Image().height(); ++y) {
      if (Image().pixel(x, y) != kLine) continue;
      if (first < 0) first = y;
      end = y + 1;
    }
    return {std::max(first, 0), end};
  }
  testing::SignalRing ring;
  const QImage& Image() const { return panel.PictureBox().Picture(); }
  MeterPanel panel{0x505050};
  LevelState levels;
  LevelHistoryDisplay display{&panel.PictureBox()};
};

TEST(LevelHistory, ScrollsByTheNewColumnsAndSkipsAPause) {
  // Left loud until frame 17639, then silent; right silent throughout.
  History h({44100, 16, 2},
            [](int64_t f, int c) { return c == 0 && f <= 17639 ? (f % 2 ? 16384 : -16384) : 0; });
  // The first scan draws the last RmsWindow + 1 frames: 13231 / 352 -> 38 columns.
  h.Scan(17639);
  EXPECT_EQ(h.Columns(0, 29), Runs({{0, '.'}, {262, 'x'}}, 299));
  EXPECT_EQ(h.Columns(30, 59), std::string(300, '.'));  // silence paints nothing
  // One 40 ms tick of silence: 1764 frames, 5 columns (a sixth, of 4 frames, falls outside).
  h.Scan(17639 + 1764);
  EXPECT_EQ(h.Columns(0, 29), Runs({{0, '.'}, {257, 'x'}, {295, '.'}}, 299));
  // After a pause of a second only the last RmsWindow + 1 frames are drawn.
  h.Scan(17639 + 1764 + 44100);
  EXPECT_EQ(h.Columns(0, 29), Runs({{0, '.'}, {219, 'x'}, {257, '.'}}, 299));
  // Stopping clears the picture; the next scan starts afresh.
  h.display.Clear();
  h.levels.ResetHistory(LevelSide::kInput);
  h.Scan(17639);
  EXPECT_EQ(h.Columns(0, 59), Runs({{0, '.'}, {262, 'x'}}, 299));
}

TEST(LevelHistory, LinesAroundTheLaneCentres) {
  struct Case {
    const char* what;
    int16_t channels;
    int32_t left, right;
    float waveRate;
    std::pair<int, int> rows;  // drawn, end row excluded
  };
  // Stereo lanes are centred on rows 15 and 45, a mono lane on row 30; the
  // half-length is the mean magnitude * 60 / channels / 2 / 32767 * WaveRate.
  const Case cases[] = {
      {"left", 2, 16384, 0, 1.0f, {7, 23}},      {"right", 2, 0, 8192, 1.0f, {41, 49}},
      {"magnified", 2, 16384, 0, 2.0f, {0, 30}}, {"clipped", 2, 0, 32767, 2.0f, {15, 60}},
      {"mono", 1, 16384, 0, 1.0f, {15, 45}},
  };
  for (const Case& c : cases) {
    History h({44100, 16, c.channels}, Square(c.left, c.right), c.waveRate);
    h.Scan(30000);
    EXPECT_EQ(h.Line(280), c.rows) << c.what;
  }
}

}  // namespace
}  // namespace lumora
