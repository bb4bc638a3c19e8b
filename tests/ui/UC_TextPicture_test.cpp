// The text panel: colour schemes, text placement and cutting, presses and hit tests.

#include "controls/UC_TextPicture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "UiTestKit.h"
#include "controls/FontRegistry.h"
#include "controls/Twips.h"

namespace lumora {
namespace {

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
