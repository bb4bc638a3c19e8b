#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "controls/Colors.h"
#include "controls/Twips.h"
#include "controls/UC_ListView.h"

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

}  // namespace
}  // namespace lumora
