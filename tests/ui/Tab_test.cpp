#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/Colors.h"
#include "controls/Twips.h"
#include "controls/UC_Tab.h"

namespace lumora {
namespace {

constexpr int kTabPixels = 80;

// The configuration dialog's three tabs, 80 pixels each.
class TabTest : public ::testing::Test {
 protected:
  TabTest() {
    tabs.resize(300, 24);
    tabs.SetNumTab(3);
    const char* texts[] = {"一般", "キーボード", "リモート"};
    for (int tab = 0; tab < 3; ++tab) {
      tabs.SetTabStr(tab, texts[tab]);
      tabs.SetTabWidth(tab, kTabPixels * Tpp());
    }
    tabs.show();
  }
  // How many pixels of a tab (by its place from the left) have a colour.
  int Count(const QImage& image, int place, const QColor& color) const {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = place * kTabPixels; x < (place + 1) * kTabPixels; ++x)
        count += image.pixelColor(x, y) == color;
    }
    return count;
  }
  void ClickPlace(int place) { QTest::mouseClick(&tabs, Qt::LeftButton, {}, {place * kTabPixels + 40, 12}); }
  UC_Tab tabs;
};

TEST_F(TabTest, TheSelectedTabStandsUpInTheBaseColourWithWindowText) {
  ClickPlace(1);
  const QImage shown = tabs.grab().toImage();
  const QColor base = ToQColor(ThemeColor(1));
  const QColor selectedText = ToQColor(SystemColor(kSysWindowText));
  const QColor otherText = ToQColor(AdjustColor(ThemeColor(1), 0, 0, 0, 0.65));
  EXPECT_EQ(shown.pixelColor(kTabPixels + 40, 1), base);                      // selected: from the top row
  EXPECT_EQ(shown.pixelColor(40, 1), ToQColor(SystemColor(kSysButtonFace)));  // others: two pixels lower
  EXPECT_EQ(shown.pixelColor(kTabPixels, 0), ToQColor(SystemColor(kSysButtonShadow)));  // border
  EXPECT_GT(Count(shown, 1, selectedText), 10);
  EXPECT_EQ(Count(shown, 1, otherText), 0);
  EXPECT_GT(Count(shown, 0, otherText), 10);
  EXPECT_EQ(Count(shown, 0, selectedText), 0);
}

TEST_F(TabTest, AClickSelectsTheVisibleTabUnderThePointer) {
  QSignalSpy clicked(&tabs, &UC_Tab::TabClicked);
  tabs.SetTabHidden(1, 1);
  ClickPlace(1);
  EXPECT_EQ(tabs.SelectedTab(), 2);
  ClickPlace(2);  // right of the last visible tab
  tabs.SetClickDisabled(1);
  ClickPlace(0);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked[0][0].toInt(), 2);
}

TEST_F(TabTest, RaiseMinTabClickSelectsTheFirstVisibleTab) {
  QSignalSpy clicked(&tabs, &UC_Tab::TabClicked);
  tabs.SetSelectedTab(2);
  tabs.SetTabHidden(0, 1);
  tabs.RaiseMinTabClick();
  EXPECT_EQ(tabs.SelectedTab(), 1);
  tabs.SetTabHidden(1, 1);
  tabs.SetTabHidden(2, 1);
  tabs.RaiseMinTabClick();
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked[0][0].toInt(), 1);
}

}  // namespace
}  // namespace lumora
