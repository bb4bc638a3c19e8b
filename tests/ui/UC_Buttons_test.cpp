// The button strip: layout, the faces of its states, and mouse events.

#include "controls/UC_Buttons.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "UiTestKit.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"

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

}  // namespace
}  // namespace lumora
