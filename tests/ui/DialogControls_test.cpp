// The controls of the configuration dialog: the list with its cell editors,
// the tabs, the check boxes and the path box with its dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "controls/Colors.h"
#include "controls/FileDialogs.h"
#include "controls/Twips.h"
#include "controls/UC_Check.h"
#include "controls/UC_ListView.h"
#include "controls/UC_PathText.h"
#include "controls/UC_Tab.h"

namespace lumora {
namespace {

// A list of fruits: name, a number, and the number again as plain text.
class ListViewTest : public ::testing::Test {
 protected:
  ListViewTest() {
    list.resize(400, 200);
    list.SetNumData(3);
    const char* names[] = {"名前", "数", "文字"};
    for (int data = 0; data < 3; ++data) {
      list.SetTabName(data, names[data]);
      list.SetTabWidth(data, 100 * Tpp());
    }
    list.SetDataNumeric(1, 1);
    const char* fruits[] = {"banana", "Apple", "cherry", "date", "elder"};
    const int numbers[] = {10, 2, 33, 4, 5};
    for (int item = 0; item < 5; ++item) {
      list.AddItem();
      list.SetValue(item, 0, fruits[item]);
      list.SetValue(item, 1, numbers[item]);
      list.SetValue(item, 2, QString::number(numbers[item]));
    }
    list.Init();
    list.show();
  }
  // The pixel row in the middle of an item.
  int RowY(int item) const {
    for (int y = 0; y < list.height(); ++y) {
      if (list.YsItem(static_cast<float>(y * Tpp())) == item &&
          list.YsItem(static_cast<float>((y + 4) * Tpp())) == item)
        return y + 4;
    }
    return -1;
  }
  QPoint Cell(int item, int data) const { return {data * 100 + 50, RowY(item)}; }
  QPoint Header(int data) const { return {data * 100 + 50, 3}; }
  QStringList Column(int data) const {
    QStringList values;
    for (int item = 0; item < list.ItemCount(); ++item) values << list.Value(item, data).toString();
    return values;
  }
  std::vector<int> Selected() const {
    std::vector<int> items;
    for (int item = 0; item < list.ItemCount(); ++item) {
      if (list.IsSelected(item)) items.push_back(item);
    }
    return items;
  }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(&list, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, list.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&list, &move);
    QTest::mouseRelease(&list, Qt::LeftButton, {}, to);
  }
  UC_ListView list;
};

TEST_F(ListViewTest, HeaderClicksSortUpThenDownByTextOrNumberAndKeepTheCurrentItem) {
  list.SetSelectedItem(0);  // banana
  QTest::mouseClick(&list, Qt::LeftButton, {}, Header(0));
  EXPECT_EQ(Column(0), QStringList({"Apple", "banana", "cherry", "date", "elder"}));
  EXPECT_EQ(list.SelectedItem(), 1);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Header(0));
  EXPECT_EQ(Column(0), QStringList({"elder", "date", "cherry", "banana", "Apple"}));
  EXPECT_EQ(list.SelectedItem(), 3);
  EXPECT_EQ(list.OrderInverted(), 1);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Header(1));
  EXPECT_EQ(Column(2), QStringList({"2", "4", "5", "10", "33"}));
  QTest::mouseClick(&list, Qt::LeftButton, {}, Header(2));
  EXPECT_EQ(Column(2), QStringList({"10", "2", "33", "4", "5"}));
  list.SetSortDisabled(1);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Header(1));
  EXPECT_EQ(list.OrderData(), 2);
}

TEST_F(ListViewTest, ClicksSelectOneItemARangeOrToggleOne) {
  QSignalSpy clicked(&list, &UC_ListView::Clicked);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(1, 0));
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, Cell(3, 0));
  EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3}));
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ControlModifier, Cell(2, 0));
  EXPECT_EQ(Selected(), std::vector<int>({1, 3}));
  list.SetNoMultiSelect(1);
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, Cell(4, 0));
  EXPECT_EQ(Selected(), std::vector<int>({4}));
  EXPECT_EQ(clicked.count(), 4);
  list.SetClickDisabled(1);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(0, 0));
  EXPECT_EQ(list.SelectedItem(), 4);
}

TEST_F(ListViewTest, SelectedItemsAreDrawnInTheSelectionColour) {
  list.SetSelectedColor(0x00D000);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(2, 0));
  const QImage shown = list.grab().toImage();
  EXPECT_EQ(shown.pixelColor(396 - 100, RowY(2)), QColor(0, 0xD0, 0));
  EXPECT_EQ(shown.pixelColor(396 - 100, RowY(1)), ToQColor(SystemColor(kSysWindow)));
}

TEST_F(ListViewTest, ANumberCellTakesDigitsCommitsOnEnterAndCancelsOnEscape) {
  list.SetUseTextCombo(1, 1);
  QSignalSpy keys(&list, &UC_ListView::TextComboKeyAction);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(3, 1));
  auto* editor = list.findChild<QLineEdit*>("TextLV");
  ASSERT_TRUE(editor->isVisible());
  QTest::keyClicks(editor, "12a5");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(list.Value(3, 1), QVariant(125.0));
  EXPECT_EQ(keys.last(), QVariantList({0, 1, 1, Qt::Key_Return, 0}));
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(3, 1));
  QTest::keyClicks(editor, "9");
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(list.Value(3, 1), QVariant(125.0));
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(ListViewTest, DraggingAColumnBorderResizesItDownToItsLeastWidth) {
  QSignalSpy moved(&list, &UC_ListView::TabMoved);
  QTest::mouseMove(&list, {100, 3});
  EXPECT_EQ(list.cursor().shape(), Qt::SplitHCursor);
  Drag({100, 3}, {150, 3});
  EXPECT_EQ(list.TabWidth(0), (100 + 53) * Tpp());  // the border lands 3 pixels right of the pointer
  EXPECT_EQ(moved.count(), 1);
  QTest::mouseMove(&list, {153, 3});
  Drag({153, 3}, {5, 3});
  EXPECT_EQ(list.TabWidth(0), 450);
  EXPECT_EQ(list.OrderData(), -1);  // resizing never sorts
}

TEST_F(ListViewTest, TheWheelAndTheKeysScrollAndMoveTheCurrentItem) {
  list.AddItem(40);
  list.SetNumWheelScroll(3);
  QTest::mouseClick(&list, Qt::LeftButton, {}, Cell(0, 0));
  QWheelEvent wheel(QPointF(50, 100), list.mapToGlobal(QPointF(50, 100)), {}, {0, -120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&list, &wheel);
  EXPECT_EQ(list.TopItem(), 3);
  QTest::keyClick(&list, Qt::Key_End);
  EXPECT_EQ(list.SelectedItem(), 44);
  EXPECT_GE(RowY(44), 0);  // scrolled into view
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(list.SelectedItem(), 43);
}

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

// A path box whose dialogs are answered by the test.
class PathTextTest : public ::testing::Test {
 protected:
  PathTextTest() {
    SetDialogPresenter([this](const DialogRequest& request) {
      requests.push_back(request);
      return answer;
    });
    box.resize(300, 22);
    box.Init();
    box.show();
  }
  ~PathTextTest() override { SetDialogPresenter(nullptr); }
  void ClickButton() { QTest::mouseClick(&box, Qt::LeftButton, {}, {box.width() - 5, 11}); }

  std::vector<DialogRequest> requests;
  std::string answer;
  UC_PathText box;
  QSignalSpy chosen{&box, &UC_PathText::SelectButtonClicked};
};

TEST_F(PathTextTest, AnOpenDialogFiltersByTheExtensionStartsInTheTextsFolderAndAddsTheExtension) {
  box.SetUsage(UC_PathText::kOpenDialog);
  box.SetExt("wav");
  box.SetText("/rec/a.wav");
  answer = "/data/take";
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, DialogRequest::kOpen);
  EXPECT_EQ(requests[0].folder, "/rec");
  EXPECT_EQ(requests[0].name, "/rec/a.wav");
  ASSERT_EQ(requests[0].filters.size(), 1u);
  EXPECT_EQ(requests[0].filters[0], std::make_pair(std::string("wavファイル"), std::string("*.wav")));
  EXPECT_EQ(box.Text(), "/data/take.wav");
  EXPECT_EQ(chosen.count(), 1);
}

TEST_F(PathTextTest, TheFolderPickerStartsInInitDirAndAnswersWithATrailingSlash) {
  QSignalSpy changed(&box, &UC_PathText::TextChange);
  box.SetUsage(UC_PathText::kFolderPicker);
  box.SetInitDir("/start/");
  answer = "/data";
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].folder, "/start");
  EXPECT_EQ(requests[0].title, "フォルダを選択してください");
  EXPECT_EQ(box.Text(), "/data/");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(chosen.count(), 1);
}

// A cancelled dialog changes and raises nothing; a disabled button does
// nothing; without a dialog the click is reported at once.
TEST_F(PathTextTest, CancelDisabledButtonAndNoDialog) {
  box.SetUsage(UC_PathText::kSaveDialog);
  box.SetFilter("ミキサー|*.exe|すべて|*");
  box.SetText("/usr/bin/mixer");
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, DialogRequest::kSave);
  EXPECT_EQ(requests[0].filters.size(), 2u);
  EXPECT_EQ(box.Text(), "/usr/bin/mixer");
  box.SetButtonDisabled(1);
  ClickButton();
  EXPECT_EQ(chosen.count(), 0);
  box.SetButtonDisabled(0);
  box.SetUsage(UC_PathText::kNoDialog);
  ClickButton();
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_EQ(requests.size(), 1u);
  QSignalSpy doubled(&box, &UC_PathText::TextDblClicked);
  QTest::mouseDClick(box.findChild<QLineEdit*>("TextPath"), Qt::LeftButton);
  EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
}  // namespace lumora
