// The position bar: its fill for a value, and the mouse.

#include "controls/UC_Bar.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "UiTestKit.h"
#include "controls/Twips.h"

namespace lumora {
namespace {

class UC_BarTest : public testing::Test {
 protected:
  void SetUp() override {
    SetTpp(15);
    bar_.resize(104, 20);  // a trough of 100 pixels from x = 2
    bar_.SetNoGrad(1);
    bar_.SetBarColor(0x0000FF);
  }
  bool Filled(int x) const { return PixelAt(bar_.Picture(), x, 10) == 0x0000FFu; }

  UC_Bar bar_;
};

TEST_F(UC_BarTest, FillFollowsTheValue) {
  const struct {
    int32_t value, stored, lastFilled;
  } cases[] = {{50, 50, 51}, {1, 1, 2}, {150, 100, 101}, {-5, 0, 1}, {0, 0, 1}};
  for (const auto& c : cases) {
    bar_.SetValue(c.value);
    EXPECT_EQ(bar_.Value(), c.stored) << c.value;
    EXPECT_EQ(Filled(c.lastFilled), c.lastFilled >= 2) << c.value;
    EXPECT_FALSE(Filled(c.lastFilled + 1)) << c.value;
  }
  bar_.SetTextToDisp(QStringLiteral("00:01:23"));
  bar_.SetValue(100);
  EXPECT_EQ(PixelAt(bar_.Picture(), 0, 0), SysColor(kSys3DDarkShadow));  // the sunken edge
}

TEST_F(UC_BarTest, MouseSetsTheValueAndHoldsOffTheOwner) {
  QSignalSpy ud(&bar_, &UC_Bar::MouseUD), scrolled(&bar_, &UC_Bar::Scrolled),
      right(&bar_, &UC_Bar::RightClicked);
  QTest::mousePress(&bar_, Qt::LeftButton, {}, QPoint(27, 10));
  EXPECT_EQ(bar_.Value(), 25);
  EXPECT_TRUE(bar_.Clicked());
  bar_.SetValue(90);  // the owner's update loses to the user's hand
  EXPECT_EQ(bar_.Value(), 25);
  QTest::mouseMove(&bar_, QPoint(62, 10));
  EXPECT_EQ(bar_.Value(), 60);
  EXPECT_TRUE(Filled(61));
  QTest::mouseRelease(&bar_, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_EQ(bar_.Value(), 100);
  EXPECT_FALSE(bar_.Clicked());
  EXPECT_EQ(ud.size(), 2);
  EXPECT_EQ(scrolled.size(), 1);

  QTest::mouseClick(&bar_, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(right.size(), 1);
  EXPECT_EQ(bar_.Value(), 100);
  bar_.SetLocked(1);
  QTest::mouseClick(&bar_, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseClick(&bar_, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(bar_.Value(), 100);
  EXPECT_EQ(ud.size() + right.size(), 3);
}

}  // namespace
}  // namespace lumora
