// The button strip (layout, the faces of its states, mouse events) and the text
// panel (colour schemes, text placement and cutting, presses and hit tests).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "UiTestKit.h"
#include "controls/FontRegistry.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_TextPicture.h"

namespace lumora {
namespace {

class UC_ButtonsTest : public testing::Test {
 protected:
  void SetUp() override {
    SetTpp(15);
    strip_.resize(300, 30);
    strip_.SetNumButtons(4);
    strip_.SetButtonCharNum();
    strip_.Layout();
  }
  // The middle of button i.
  QPoint Centre(int i) const { return {strip_.ButtonLeft(i) + strip_.ButtonWidth() / 2, 15}; }
  QImage Cell(int i) const {
    return strip_.Picture().copy(strip_.ButtonLeft(i), 0, strip_.ButtonWidth(), 30);
  }

  UC_Buttons strip_;
};

TEST_F(UC_ButtonsTest, LayoutFitsWholeButtonsBetweenTheEars) {
  EXPECT_EQ(strip_.ButtonWidth(), 70);  // (300 − 18) div 4
  EXPECT_EQ(strip_.width(), 298);
  EXPECT_EQ(strip_.ButtonLeft(3), 3 * 70 + 9);
  const Color shadow = SysColor(kSys3DDarkShadow);
  EXPECT_EQ(PixelAt(strip_.Picture(), 8, 10), shadow);
  EXPECT_EQ(PixelAt(strip_.Picture(), 297, 10), shadow);
  Surface face(QSize(70, 30));
  PaintFace(face, 7);
  EXPECT_EQ(PixelAt(strip_.Picture(), 0, 10),
            PixelAt(face.Image(), 0, 10));  // the ear is the face's left end
  EXPECT_EQ(PixelAt(strip_.Picture(), 289, 10), PixelAt(face.Image(), 0, 10));

  strip_.SetNumButtons(0);
  EXPECT_EQ(strip_.NumButtons(), 1);
  strip_.SetDesignType(1);
  strip_.Layout();
  EXPECT_EQ(strip_.ButtonLeft(0), 1);  // no ears outside design 0
}

TEST_F(UC_ButtonsTest, StatesAndCaptionColours) {
  const QImage normal = Cell(1);
  strip_.SetButtonState(1, 2);
  const QImage lit = Cell(1);
  EXPECT_NE(lit, normal);
  strip_.SetButtonState(1, 1);
  EXPECT_EQ(Cell(1).copy(0, 1, 70, 29), lit.copy(0, 0, 70, 29));  // pressed: lit and one pixel lower
  strip_.SetButtonState(1, 0);
  EXPECT_EQ(Cell(1), normal);

  const auto countInk = [&](int i, Color color) {
    const QImage cell = Cell(i);
    int n = 0;
    for (int y = 0; y < cell.height(); ++y)
      for (int x = 0; x < cell.width(); ++x) n += PixelAt(cell, x, y) == color;
    return n;
  };
  EXPECT_GT(countInk(2, ThemeColor(3)), 5);
  strip_.SetButtonOn(2, 2, 1);
  EXPECT_GT(countInk(2, 0x00D000), 5);  // on: the selection colour
  EXPECT_EQ(countInk(2, ThemeColor(3)), 0);
  strip_.SetSelectedButton(3);
  EXPECT_GT(countInk(3, 0x00D000), 5);
  strip_.SetButtonDisable(0, 1, 1);
  EXPECT_GT(countInk(0, SysColor(kSys3DHighlight)), 5);
  EXPECT_EQ(countInk(0, ThemeColor(3)), 0);
}

TEST_F(UC_ButtonsTest, MouseEvents) {
  QSignalSpy clicked(&strip_, &UC_Buttons::ButtonClicked), right(&strip_, &UC_Buttons::RightClicked),
      shift(&strip_, &UC_Buttons::ShiftClicked), down(&strip_, &UC_Buttons::ButtonDown);
  QTest::mouseClick(&strip_, Qt::LeftButton, {}, Centre(1));
  QTest::mouseClick(&strip_, Qt::LeftButton, Qt::ShiftModifier, Centre(2));
  QTest::mouseClick(&strip_, Qt::RightButton, {}, Centre(3));
  QTest::mousePress(&strip_, Qt::LeftButton, {}, Centre(0));
  QTest::mouseRelease(&strip_, Qt::LeftButton, {}, Centre(2));  // released outside: nothing
  DoubleClick(&strip_, Centre(3));
  EXPECT_EQ(down.size(), 5);
  ASSERT_EQ(clicked.size(), 3);
  EXPECT_EQ(clicked[0][0].toInt(), 1);
  EXPECT_EQ(clicked[2][0].toInt(), 3);
  ASSERT_EQ(shift.size(), 1);
  EXPECT_EQ(shift[0], QVariantList({2, 1}));
  ASSERT_EQ(right.size(), 1);
  EXPECT_EQ(right[0][0].toInt(), 3);
  const QImage normal = Cell(0);
  EXPECT_EQ(Cell(0), normal);  // nothing stays drawn pressed

  strip_.SetButtonDisable(1, 1, 1);
  const QImage disabled = Cell(1);
  QTest::mousePress(&strip_, Qt::LeftButton, {}, Centre(1));
  EXPECT_EQ(Cell(1), disabled);
  QTest::mouseRelease(&strip_, Qt::LeftButton, {}, Centre(1));
  QTest::mousePress(&strip_, Qt::RightButton, {}, Centre(2));
  EXPECT_EQ(Cell(2), strip_.Picture().copy(strip_.ButtonLeft(2), 0, 70, 30));
  EXPECT_EQ(down.size(), 5);
  EXPECT_EQ(clicked.size(), 3);
}

TEST_F(UC_ButtonsTest, HoverReportsChangesOnly) {
  QSignalSpy hover(&strip_, &UC_Buttons::Hover);
  // Sent straight to the strip: QTest::mouseMove needs a shown window to reach it.
  for (const QPoint& p : {Centre(2), Centre(3), Centre(3) + QPoint(3, 0), QPoint(4, 15)}) {
    QMouseEvent move(QEvent::MouseMove, p, strip_.mapToGlobal(p), Qt::NoButton, {}, {});
    QCoreApplication::sendEvent(&strip_, &move);
  }
  ASSERT_EQ(hover.size(), 3);
  EXPECT_EQ(hover[1][0].toInt(), 3);
  EXPECT_EQ(hover[2][0].toInt(), -1);  // over an ear
}

// The text panel: colour schemes, text placement and cutting, presses and hit tests.
class UC_TextPictureTest : public testing::Test {
 protected:
  void SetUp() override {
    SetTpp(15);
    panel_.resize(120, 24);
    panel_.AddTextSpace(9, false, false, kFaceGothic, -1, -1);
  }
  // How many pixels of the panel's inner part have the colour.
  int Count(Color color) const {
    int n = 0;
    for (int y = 2; y < 22; ++y)
      for (int x = 2; x < 118; ++x) n += PixelAt(panel_.Picture(), x, y) == color;
    return n;
  }

  UC_TextPicture panel_;
};

TEST_F(UC_TextPictureTest, FlatSchemes) {
  panel_.SetColor(3);
  panel_.DispMes(0, QStringLiteral("録音中"));
  EXPECT_GT(Count(0x0000FF), 1000);  // white on red
  EXPECT_GT(Count(0xFFFFFF), 20);
  panel_.SetColor(9, 1);  // not a scheme: nothing changes
  EXPECT_GT(Count(0x0000FF), 1000);
  panel_.SetColorEx(0x00FF00, 0x000000, 1);
  EXPECT_GT(Count(0x00FF00), 20);
  EXPECT_EQ(PixelAt(panel_.Picture(), 0, 0), SysColor(kSys3DDarkShadow));  // the sunken edge

  panel_.SetColor(1);  // no redraw: the same text again must not redraw either
  panel_.DispMes(0, QStringLiteral("録音中"));
  EXPECT_EQ(Count(0xD5FFF1), 0);
  EXPECT_EQ(panel_.TextMes(0), QStringLiteral("録音中"));
  EXPECT_EQ(panel_.TextMes(5), QString());
}

TEST_F(UC_TextPictureTest, TextPlacementAndCutting) {
  panel_.SetColorEx(0xFFFFFF, 0x000000);
  panel_.SetIsFlat(1);
  panel_.DispMes(0, QString(40, QChar(0x9332)));  // far wider than the panel
  int first = -1, last = -1;
  for (int x = 0; x < 120; ++x) {
    for (int y = 0; y < 24; ++y) {
      if (PixelAt(panel_.Picture(), x, y) != 0xFFFFFFu) continue;
      if (first < 0) first = x;
      last = x;
    }
  }
  EXPECT_GE(first, 2);  // starts at the margin of a flat panel
  EXPECT_LT(first, 5);
  EXPECT_LE(last, 117);  // cut at its end to the margin
  EXPECT_GT(last, 100);
}

TEST_F(UC_TextPictureTest, PressesLightTheirSpace) {
  panel_.ResetMe();
  panel_.AddTextSpace(9, false, false, {}, 60, 30);
  panel_.AddTextSpace(9, false, false, {}, 900, 30);
  panel_.AddTextSpace(9, false, false, {}, -1, 30);
  panel_.SetColorEx(0x505050, 0x000000);
  panel_.DispMes(1, "B");
  panel_.SetUseClick(1, 1);
  EXPECT_EQ(panel_.HitTest(1000, 200), 1);
  EXPECT_EQ(panel_.HitTest(300, 200), 0);
  EXPECT_EQ(panel_.HitTest(10, 10), 0);

  QSignalSpy ud(&panel_, &UC_TextPicture::MouseUD), dbl(&panel_, &UC_TextPicture::DblClicked);
  QTest::mousePress(&panel_, Qt::LeftButton, {}, QPoint(70, 12));
  EXPECT_GT(Count(0x6E6E6E), 5);  // lit by 30 while pressed
  QTest::mouseRelease(&panel_, Qt::LeftButton, {}, QPoint(70, 12));
  EXPECT_EQ(Count(0x6E6E6E), 0);
  ASSERT_EQ(ud.size(), 2);
  EXPECT_EQ(ud[0], QVariantList({1, true, 1}));
  DoubleClick(&panel_, QPoint(70, 12));
  EXPECT_EQ(dbl.size(), 1);
  EXPECT_EQ(ud.size(), 6);  // the double click counts as one more press
  panel_.SetUseDblClick(1);
  DoubleClick(&panel_, QPoint(70, 12));
  EXPECT_EQ(dbl.size(), 1);
  EXPECT_EQ(ud.size(), 8);
  panel_.SetLocked(1);
  QTest::mouseClick(&panel_, Qt::LeftButton, {}, QPoint(70, 12));
  EXPECT_EQ(ud.size(), 8);
}

}  // namespace
}  // namespace lumora
