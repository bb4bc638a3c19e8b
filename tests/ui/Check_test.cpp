#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/Colors.h"
#include "controls/Twips.h"
#include "controls/UC_Check.h"

namespace lumora {
namespace {

QColor Ink(bool enabled) { return ToQColor(SystemColor(enabled ? kSysButtonText : kSysButtonShadow)); }

// The box's top row on the control.
int BoxTop(const UC_Check& check, int box) { return (check.height() - box) / 2; }

struct ClickCase {
  int isOption;
  int before;
  int after;
};

TEST(CheckTest, AClickTogglesABoxOrSelectsAnOptionAndAlwaysRaisesClick) {
  const ClickCase cases[] = {{0, 0, 1}, {0, 1, 0}, {0, 2, 1}, {1, 0, 1}, {1, 1, 1}};
  for (const ClickCase& c : cases) {
    UC_Check check;
    check.SetCaption("ラッチ");
    check.SetIsOption(c.isOption);
    check.SetValue(c.before);
    QSignalSpy clicked(&check, &UC_Check::Click);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_EQ(check.Value(), c.after) << c.isOption << " " << c.before;
    EXPECT_EQ(clicked.count(), 1);
  }
}

TEST(CheckTest, ADisabledBoxIgnoresClicksAndDrawsItsCaptionInTheShadowColour) {
  UC_Check check;
  check.SetCaption("出力反転");
  check.SetEnabled(false);
  QSignalSpy clicked(&check, &UC_Check::Click);
  QTest::mouseClick(&check, Qt::LeftButton);
  EXPECT_EQ(check.Value(), 0);
  EXPECT_EQ(clicked.count(), 0);
  const QImage shown = check.grab().toImage();
  int shadow = 0;
  int ink = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 16 + 4; x < shown.width(); ++x) {
      shadow += shown.pixelColor(x, y) == Ink(false);
      ink += shown.pixelColor(x, y) == Ink(true);
    }
  }
  EXPECT_GT(shadow, 10);
  EXPECT_EQ(ink, 0);
}

TEST(CheckTest, TheMarkShowsOnlyForValueOneAndScalesWithTheBox) {
  struct MarkCase {
    int isOption;
    float sizeRate;
    int value;
    QPoint inBox;  // a pixel of the mark, from the box's corner
    bool marked;
  };
  // At 15 twips per pixel: the middle of the check mark's short stroke from (45, 105) to (105, 165)
  // twips (times SizeRate), and the dot's centre (105, 105).
  const MarkCase cases[] = {
      {0, 1.0f, 1, {5, 9}, true},  {0, 1.0f, 0, {5, 9}, false}, {0, 1.0f, 2, {5, 9}, false},
      {0, 1.5f, 1, {7, 13}, true}, {1, 1.0f, 1, {7, 7}, true},  {1, 1.0f, 0, {7, 7}, false},
  };
  for (const MarkCase& c : cases) {
    UC_Check check;
    check.SetSizeRate(c.sizeRate);
    check.SetIsOption(c.isOption);
    check.SetValue(c.value);
    const int box = static_cast<int>(240 * c.sizeRate) / Tpp();
    const QImage shown = check.grab().toImage();
    const QColor pixel = shown.pixelColor(c.inBox + QPoint(0, BoxTop(check, box)));
    EXPECT_EQ(pixel == Ink(true), c.marked) << c.isOption << " " << c.sizeRate << " " << c.value;
    EXPECT_EQ(shown.pixelColor(box - 1, BoxTop(check, box) + box / 2),
              ToQColor(SystemColor(kSysButtonShadow)));  // box border
  }
}

}  // namespace
}  // namespace lumora
