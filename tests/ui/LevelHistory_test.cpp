// The level history fed by full level scans tick by tick: columns, lanes,
// scrolling, pauses and magnification on a 300 x 60 picture.

#include <gtest/gtest.h>

#include "MeterRig.h"
#include "meters/ui/LevelHistoryDisplay.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"

namespace lumora {
namespace {

using testing::Runs;
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
