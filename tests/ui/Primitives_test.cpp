// Colour arithmetic, the font registry, the face painter and the layout routines.

#include <gtest/gtest.h>

#include <QComboBox>

#include "UiTestKit.h"
#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"

namespace lumora {
namespace {

TEST(Colors, Arithmetic) {
  EXPECT_EQ(SplitColor(0x123456).red, 0x56);
  EXPECT_EQ(SplitColor(0x123456).blue, 0x12);
  EXPECT_EQ(MakeColor(300, -5, 0x80), 0x8000FFu);
  const struct {
    Color in;
    int delta;
    double factor;
    Color out;
  } cases[] = {{0x000000, -40, -1, 0x000000},
               {0xF0F0F0, 40, -1, 0xFFFFFF},
               {0x102030, 16, -1, 0x203040},
               {0x808080, 0, 1.5, 0xC0C0C0},
               {0x0A0A0A, 99, 0.5, 0x050505}};  // 0x0A / 2: the delta is ignored
  for (const auto& c : cases)
    EXPECT_EQ(AdjustColor(c.in, c.delta, c.delta, c.delta, c.factor), c.out) << c.in;
}

TEST(Colors, SystemAndThemeColors) {
  ClassicPalette classic;
  EXPECT_EQ(ResolveColor(SystemColor(kSysButtonFace)), 0xC0C0C0u);
  EXPECT_EQ(ResolveColor(0x12345678), 0x345678u);
  EXPECT_EQ(ThemeColor(0), 0xFFFFFFu);
  EXPECT_EQ(ThemeColor(1), 0xC8C8C8u);  // (192,192,192) scaled to brightness 200
  EXPECT_EQ(ThemeColor(2), 0x6E6E6Eu);  // 110
  EXPECT_EQ(ThemeColor(3), 0x3C3C3Cu);  // 60
  QPalette p = QApplication::palette();
  p.setColor(QPalette::Button, QColor(10, 20, 30));  // cached: a palette change needs a reset
  QApplication::setPalette(p);
  EXPECT_EQ(ThemeColor(1), 0xC8C8C8u);
  ResetThemeColors();
  EXPECT_EQ(ThemeColor(1), MakeColor(100, 200, 300));
  p.setColor(QPalette::Button, Qt::black);
  QApplication::setPalette(p);
  ResetThemeColors();
  EXPECT_EQ(ThemeColor(1), 0u);
}

class FontRegistryTest : public testing::Test {
 protected:
  void SetUp() override { ReleaseFonts(); }
  void TearDown() override { ReleaseFonts(); }
  Surface surface_{QSize(10, 10)};
};

TEST_F(FontRegistryTest, SharesOneEntryPerFaceSizeAndStyle) {
  const int first = SetControlFont(&surface_, -2, nullptr, 12, true, false, kFaceGothic);
  EXPECT_EQ(first, 1);  // entry 0 is the default face at 9 points
  EXPECT_EQ(SetControlFont(&surface_, -2, nullptr, 12, true, false, kFaceGothic), first);
  EXPECT_EQ(SetControlFont(&surface_, -2, nullptr, 14, true, false, kFaceGothic), 2);
  EXPECT_EQ(SetControlFont(&surface_, -2, nullptr, 0, false, false, {}), 0);
  EXPECT_EQ(FontAt(0).faceName, kFaceGothic);
  EXPECT_EQ(FontAt(0).pointSize, 9.0f);
  EXPECT_EQ(surface_.Font(), FontAt(0).font);
  EXPECT_EQ(SetControlFont(&surface_, -4, nullptr, 9, false, false, {}), -3);
  EXPECT_EQ(SetControlFont(&surface_, 7, nullptr, 9, false, false, {}), -3);
  EXPECT_EQ(SetControlFont(FontTarget(), -2, nullptr, 9, false, false, {}), -3);
  EXPECT_EQ(FontCount(), 3);

  QWidget control;  // index −1 reads the control's own font
  SetControlFont(&control, 2, nullptr, 0, false, false, {});
  EXPECT_EQ(SetControlFont(FontTarget(), -1, &control, 0, false, false, {}), 2);
}

TEST_F(FontRegistryTest, RequestsLikeTheWindowsFontCall) {
  SetTpp(15);
  const auto entry = [&](float size, bool bold, const QString& face) {
    return FontAt(SetControlFont(&surface_, -2, nullptr, size, bold, false, face));
  };
  EXPECT_EQ(entry(9, false, kFaceGothic).cellHeight, 12);
  EXPECT_EQ(entry(9, false, kFaceMeiryo).cellHeight, 16);  // 12 × 1.34
  EXPECT_FLOAT_EQ(entry(9, false, kFaceMeiryo).inverseSize, 1 / 1.34f);
  EXPECT_EQ(entry(9, true, kFaceGothic).weight, 700);
  EXPECT_EQ(entry(9, false, "Impact").charSet, 0);
  EXPECT_EQ(entry(9, false, kFaceGothic).charSet, 128);
  // Both interface faces reach an installed Japanese face: no missing glyphs.
  for (const QString& face : {kFaceGothic, kFaceMeiryo}) {
    const QFontMetrics metrics(entry(9, false, face).font);
    EXPECT_TRUE(metrics.inFont(QChar(0x9332))) << face.toStdString();  // 録
    EXPECT_LE(metrics.height(), 17) << face.toStdString();
  }
}

// Rows and columns of a painted surface, as colours.
Color At(const Surface& s, int x, int y) { return PixelAt(s.Image(), x, y); }

TEST(PaintFace, TubesGradientsAndFrames) {
  Surface tube(QSize(30, 21));
  PaintFace(tube, 5, 0x0000FF, 0x00FF00, 0xFF0000);
  EXPECT_EQ(At(tube, 7, 0), 0x0000FFu);
  EXPECT_EQ(At(tube, 7, 10), 0x00FF00u);
  EXPECT_EQ(At(tube, 7, 20), 0xFF0000u);
  PaintFace(tube, 7, 0x0000FF, 0x00FF00, 0xFF0000);  // with the frame: P0 top/left, P8 bottom/right
  EXPECT_EQ(At(tube, 0, 10), 0x0000FFu);
  EXPECT_EQ(At(tube, 29, 10), MakeColor(0, 0, 84));
  EXPECT_EQ(At(tube, 15, 20), MakeColor(0, 0, 84));

  Surface vertical(QSize(21, 5));
  PaintFace(vertical, 6, 0x0000FF, 0x00FF00, 0xFF0000);
  EXPECT_EQ(At(vertical, 0, 2), 0x00FF00u);
  EXPECT_EQ(At(vertical, 10, 2), 0x0000FFu);
  EXPECT_EQ(At(vertical, 20, 2), 0xFF0000u);

  Surface gradient(QSize(40, 20));
  PaintFace(gradient, 2, 0x000000, 0xFFFFFF);
  EXPECT_EQ(At(gradient, 0, 0), 0u);
  EXPECT_EQ(At(gradient, 10, 9), At(gradient, 19, 0));  // constant along each diagonal
  EXPECT_GT(SplitColor(At(gradient, 39, 19)).red, 200);

  Surface untouched(QSize(8, 8), 0x123456);
  PaintFace(untouched, 16);
  PaintFace(untouched, -3);
  EXPECT_EQ(untouched.Image(), Surface(QSize(8, 8), 0x123456).Image());
  PaintFace(untouched, -2, 1, 0x00FF00, 3);
  EXPECT_EQ(untouched.BackColor(), 0x00FF00u);
  EXPECT_EQ(At(untouched, 4, 4), 0x00FF00u);
}

TEST(PaintFace, BevelRings) {
  Surface s(QSize(10, 8), 0x777777);
  PaintFace(s, 1, 0xFFFFFF, 0x808080, 0x000000);
  const std::array<Color, 9> p = FacePalette(0xFFFFFF, 0x808080, 0x000000);
  const struct {
    int x, y, shade;
  } cases[] = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {4, 1, 1}, {1, 4, 1}, {4, 2, 1}, {2, 4, 2}, {9, 0, 6},
               {9, 4, 6}, {4, 7, 6}, {8, 4, 5}, {4, 6, 5}, {7, 4, 4}, {4, 5, 4}, {0, 7, 6}, {4, 4, 3}};
  for (const auto& c : cases)
    EXPECT_EQ(At(s, c.x, c.y), c.x == 4 && c.y == 4 ? 0x777777u : p[c.shade]) << c.x << "," << c.y;

  Surface b(QSize(6, 5), 0x777777);
  BevelBorder(b, 0x090909, 0x606060, true, 2);
  const Color lit = 0x888888, dark = 0x000000;
  const struct {
    int x, y;
    Color color;
  } ring[] = {{0, 0, lit},  {5, 0, dark}, {0, 4, dark},    {1, 1, lit},
              {4, 1, dark}, {1, 3, dark}, {2, 2, 0x777777}};
  for (const auto& c : ring) EXPECT_EQ(At(b, c.x, c.y), c.color) << c.x << "," << c.y;
}

TEST(PaintFace, MetalAndRoundFacesStayInside) {
  Surface metal(QSize(40, 60));
  PaintFace(metal, 14);
  EXPECT_EQ(At(metal, 0, 30), 0xFFFFFFu);
  EXPECT_EQ(At(metal, 20, 30), 0xD7D3D4u);  // texture row 30 mod 29
  EXPECT_EQ(At(metal, 39, 30), 0x606060u);
  EXPECT_EQ(At(metal, 38, 30), 0xB0B0B0u);
  PaintFace(metal, 15);
  EXPECT_EQ(At(metal, 20, 30), 0xD7D3D4u);
  EXPECT_EQ(At(metal, 20, 5), AdjustColor(0xCCC4C5, 45, 45, 45, -1));
  EXPECT_EQ(At(metal, 20, 50), AdjustColor(0xD8D3D4, -30, -30, -30, -1));

  for (int style : {12, 13}) {  // the outline is lit at the upper left and dark at the lower right
    Surface face(QSize(60, 24), 0x123456);
    PaintFace(face, style, 0xFFFFFF, 0xC0C0C0, 0x404040);
    EXPECT_EQ(At(face, 0, 23), 0x123456u) << style;
    EXPECT_NE(At(face, 30, 12), 0x123456u) << style;
  }
}

TEST(EdgeBox, SunkenAndRaised) {
  ClassicPalette classic;
  Surface s(QSize(10, 6), 0x777777);
  EdgeBox(s, 0, 0, PxToTwips(10), PxToTwips(6), true);
  EXPECT_EQ(At(s, 0, 0), SysColor(kSys3DDarkShadow));
  EXPECT_EQ(At(s, 1, 1), SysColor(kSysButtonShadow));
  EXPECT_EQ(At(s, 9, 0), SysColor(kSys3DHighlight));
  EXPECT_EQ(At(s, 8, 4), SysColor(kSys3DLight));
  EXPECT_EQ(At(s, 5, 3), 0x777777u);
  EdgeBox(s, 0, 0, PxToTwips(10), PxToTwips(6), false);
  EXPECT_EQ(At(s, 0, 0), SysColor(kSys3DHighlight));
  EXPECT_EQ(At(s, 9, 5), SysColor(kSys3DDarkShadow));
}

TEST(Layout, CaptionsNextToAControl) {
  SetTpp(15);
  Surface s(QSize(400, 200), 0xFFFFFF);
  SetControlFont(&s, -2, nullptr, 9, false, false, {});
  const QString text = QStringLiteral("録音レベル");
  const int w = s.TextWidth(text), h = s.TextHeight();
  const QRect control(3000, 600, 900, 300);
  const struct {
    int position, x, y;
  } cases[] = {{0, 3000 - w - 90, 660},
               {1, 3030, 600 - h - 30},
               {2, 3930, 660},
               {3, 3450 - w / 2, 600 - h - 30},
               {4, 3030, 930},
               {5, 3900 - w, 930},
               {6, 3000 - w - 90, 600 + (300 - h) / 2},
               {7, 3930, 600 + (300 - h) / 2}};
  for (const auto& c : cases) {
    PlaceCaption(s, control, text, c.position, 15, -15);
    EXPECT_EQ(s.CurrentY, c.y - 15 + h) << c.position;  // the cursor moves to the next line
  }
  s.Clear();
  PlaceCaption(s, control, text, 2);
  QImage ink = s.Image().copy(262, 44, 120, 20);  // right of the control, 60 twips down
  EXPECT_NE(ink, Surface(QSize(120, 20), 0xFFFFFF).Image());
  EXPECT_EQ(s.Image().copy(0, 0, 262, 200), Surface(QSize(262, 200), 0xFFFFFF).Image());
}

TEST(Layout, FitTextKeepsTheEndOfAPath) {
  Surface s(QSize(10, 10));
  SetControlFont(&s, -2, nullptr, 9, false, false, {});
  const QString path = "/home/user/recordings/2026/take-01.wav";
  const int room = s.TextWidth("take-01.wav");
  const QString end = FitText(path, s, room, true);
  EXPECT_TRUE(path.endsWith(end));
  EXPECT_LE(s.TextWidth(end), room);
  EXPECT_GT(s.TextWidth(path.right(end.size() + 1)), room);
  EXPECT_TRUE(path.startsWith(FitText(path, s, room, false)));
  EXPECT_EQ(FitText(path, s, s.TextWidth(path), true), path);
  EXPECT_EQ(FitText("x", s, 0, true), "x");
}

TEST(Layout, PlacingAndScalingControls) {
  SetTpp(15);
  QWidget parent;
  QWidget reference(&parent), control(&parent);
  reference.setGeometry(10, 20, 100, 30);
  control.setGeometry(0, 0, 40, 10);
  const struct {
    int side, gap, align, value;
    QPoint at;
  } cases[] = {{0, -1, 0, 0, {0, 52}},  {0, 150, 1, 0, {10, 60}}, {1, -1, 0, 0, {112, 0}},
               {1, 0, 1, 0, {110, 20}}, {2, 0, 0, 0, {0, 30}},    {2, 0, 2, 300, {20, 30}},
               {3, 0, 0, 0, {70, 0}},   {3, -1, 1, 0, {72, 52}}};
  for (const auto& c : cases) {
    control.move(0, 0);
    PlaceNextTo(control, reference, c.side, c.gap, c.align, c.value);
    EXPECT_EQ(control.pos(), c.at) << c.side << "/" << c.align;
  }
  control.setGeometry(10, 20, 33, 7);
  ScaleControl(1.5, control, false, true, true);
  EXPECT_EQ(control.geometry(), QRect(15, 30, 49, 7));  // 33 px × 1.5 = 49.5 px, rounded down
  ScaleControl(1, control, false, false, true);
  EXPECT_EQ(control.geometry(), QRect(15, 30, 49, 7));
  EXPECT_EQ(ScaledPx(2490, 2.0), 332);

  QComboBox combo;
  combo.addItems({"a", "b", "a", "c"});
  ComboSelectText(combo, "a");
  EXPECT_EQ(combo.currentIndex(), 2);
}

}  // namespace
}  // namespace lumora
