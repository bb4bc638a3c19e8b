// The font registry, the face painter and the layout routines; and the gallery
// program, which draws every control without a display.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "UiTestKit.h"
#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"

namespace lumora {
namespace {

class FontRegistryTest : public testing::Test {
 protected:
  void SetUp() override { ReleaseFonts(); }
  void TearDown() override { ReleaseFonts(); }
  Surface surface_{QSize(10, 10)};
};

TEST_F(FontRegistryTest, RequestsLikeTheWindowsFontCall) {
  SetTpp(15);
  const auto entry = [&](float size, bool bold, const QString& face) {
    return FontAt(SetControlFont(&surface_, -2, nullptr, size, bold, false, face));
  };
  EXPECT_EQ(entry(9, false, kFaceGothic).cellHeight, 12);
  EXPECT_EQ(entry(9, false, kFaceMeiryo).cellHeight, 16);  // 12 × 1.34
  EXPECT_FLOAT_EQ(entry(9, false, kFaceMeiryo).inverseSize, 1 / 1.34f);
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

// A caption right of a control starts beside it, 60 twips down, and nothing
// is drawn to the left.
TEST(Layout, CaptionsNextToAControl) {
  SetTpp(15);
  Surface s(QSize(400, 200), 0xFFFFFF);
  SetControlFont(&s, -2, nullptr, 9, false, false, {});
  PlaceCaption(s, QRect(3000, 600, 900, 300), QStringLiteral("録音レベル"), 2);
  QImage ink = s.Image().copy(262, 44, 120, 20);
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

// lumora-gallery --grab renders every control without a display.
int RunGallery(const QStringList& arguments) {
  QProcess gallery;
  gallery.start(QStringLiteral(LUMORA_BUILD_DIR "/lumora-gallery"), arguments);
  if (!gallery.waitForFinished(60000)) return -1;
  return gallery.exitStatus() == QProcess::NormalExit ? gallery.exitCode() : -1;
}

TEST(Gallery, GrabsAPictureAndRefusesBadArguments) {
  QTemporaryDir dir;
  const QString png = dir.filePath("gallery.png");
  ASSERT_EQ(RunGallery({"--grab", png, "--size-rate", "2"}), 0);
  const QImage picture(png);
  EXPECT_GT(picture.width(), 800);
  EXPECT_GT(picture.height(), 600);
  EXPECT_EQ(RunGallery({"--size-rate", "9", "--grab", png}), 2);
  EXPECT_EQ(RunGallery({"--grab", dir.filePath("missing/folder/x.png")}), 1);
}

}  // namespace
}  // namespace lumora
