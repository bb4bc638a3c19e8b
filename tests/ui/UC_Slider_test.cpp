// The slider and the position bar: the thumb or fill for a value, dragging, and
// the slider's arrows repeating on a hand-stepped clock.

#include "controls/UC_Slider.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "UiTestKit.h"
#include "controls/Twips.h"
#include "controls/UC_Bar.h"

namespace lumora {
namespace {

class UC_SliderTest : public testing::Test {
 protected:
  void SetUp() override {
    SetTpp(15);
    auto timer = std::make_unique<ManualIntervalTimer>();
    clock_ = timer.get();
    slider_.SetTimer(std::move(timer));
    slider_.resize(300, 20);
    slider_.SetNoArrow(1);
    slider_.Init2();
  }
  // The pixel column of the thumb's trailing dark edge.
  int TrailingEdge() const {
    for (int x = 0; x < slider_.width(); ++x)
      if (PixelAt(slider_.Picture(), x, 2) == SysColor(kSys3DDarkShadow)) return x;
    return -1;
  }

  UC_Slider slider_;
  ManualIntervalTimer* clock_ = nullptr;
};

TEST_F(UC_SliderTest, ValueMovesTheThumb) {
  const struct {
    int32_t value, stored, position;
  } cases[] = {
      {500, 500, 2010}, {0, 0, 0}, {1000, 1000, 4020}, {2000, 1000, 4020}, {-7, 0, 0}};  // travel 4500 − 480
  for (const auto& c : cases) {
    slider_.SetValue(c.value);
    EXPECT_EQ(slider_.Value(), c.stored) << c.value;
    EXPECT_EQ(slider_.ThumbPosition(), c.position) << c.value;
    EXPECT_EQ(TrailingEdge(), c.position / 15 + 31) << c.value;
  }
  slider_.SetMax(0);  // no range: values are ignored
  slider_.SetValue(0);
  EXPECT_EQ(slider_.Value(), 0);
  EXPECT_EQ(slider_.ThumbPosition(), 0);
}

TEST_F(UC_SliderTest, DraggingFromTheTrackAndFromTheThumb) {
  QSignalSpy ud(&slider_, &UC_Slider::MouseUD), scrolled(&slider_, &UC_Slider::Scrolled);
  QTest::mousePress(&slider_, Qt::LeftButton, {}, QPoint(200, 10));  // off the thumb: centred on the pointer
  EXPECT_EQ(slider_.ThumbPosition(), 3000 - 240);
  EXPECT_EQ(slider_.Value(), 687);
  EXPECT_TRUE(slider_.Clicked());
  QTest::mouseRelease(&slider_, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_FALSE(slider_.Clicked());

  slider_.SetValue(0);
  QTest::mousePress(&slider_, Qt::LeftButton, {}, QPoint(10, 10));  // on the thumb: it keeps the grab point
  EXPECT_EQ(slider_.ThumbPosition(), 0);
  QTest::mouseMove(&slider_, QPoint(110, 10));
  EXPECT_EQ(slider_.ThumbPosition(), 1500);
  EXPECT_EQ(slider_.Value(), 373);
  QTest::mouseMove(&slider_, QPoint(400, 10));
  EXPECT_EQ(slider_.Value(), 1000);
  EXPECT_EQ(slider_.ThumbPosition(), 4020);
  QTest::mouseRelease(&slider_, Qt::LeftButton, {}, QPoint(400, 10));
  EXPECT_EQ(ud.size(), 4);
  EXPECT_EQ(scrolled.size(), 6);  // press, release twice; two moves

  slider_.SetRefuseInput(true);
  QTest::mouseClick(&slider_, Qt::LeftButton, {}, QPoint(20, 10));
  DoubleClick(&slider_, QPoint(20, 10));
  EXPECT_EQ(slider_.Value(), 1000);
  EXPECT_EQ(ud.size() + scrolled.size(), 10);
}

TEST_F(UC_SliderTest, ArrowsRepeatEvery200Milliseconds) {
  slider_.SetNoArrow(0);
  slider_.Init2();
  slider_.SetValue(970);
  QSignalSpy scrolled(&slider_, &UC_Slider::Scrolled);
  const QPoint increase(295, 10);
  QTest::mousePress(&slider_, Qt::LeftButton, {}, increase);
  EXPECT_EQ(slider_.Value(), 980);  // one step at once
  clock_->Advance(199);
  EXPECT_EQ(slider_.Value(), 980);
  clock_->Advance(1);
  EXPECT_EQ(slider_.Value(), 990);
  clock_->Advance(400);
  EXPECT_EQ(slider_.Value(), 1000);  // stops at the limit
  EXPECT_EQ(scrolled.size(), 4);
  EXPECT_TRUE(slider_.Clicked());
  QTest::mouseRelease(&slider_, Qt::LeftButton, {}, increase);
  EXPECT_FALSE(slider_.Clicked());
  EXPECT_FALSE(clock_->Active());

  QTest::mousePress(&slider_, Qt::LeftButton, {}, QPoint(5, 10));
  clock_->Advance(200);
  QTest::mouseRelease(&slider_, Qt::LeftButton, {}, QPoint(5, 10));
  EXPECT_EQ(slider_.Value(), 980);
  slider_.SetDisabletrim(true);
  QTest::mouseClick(&slider_, Qt::LeftButton, {}, QPoint(5, 10));
  EXPECT_EQ(slider_.Value(), 980);
}

// The position bar: its fill for a value, and the mouse.
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
