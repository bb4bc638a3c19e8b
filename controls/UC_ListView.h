#pragma once
// UC_ListView: a multi-column list drawn by the program. A header row of
// column tabs (left click sorts, dragging a border resizes, right click shows
// or hides columns), items with one value per column, single or multiple
// selection, a vertical scroll bar of its own, and in-place editing of the
// columns that ask for it: a combo box or a list of choices, or a text box
// (numbers only in numeric columns).

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QVariant>
#include <cstdint>
#include <vector>

#include "controls/Colors.h"
#include "controls/DrawnWidget.h"
#include "controls/ListRows.h"

namespace lumora {

class UC_ListView : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_ListView(QWidget* parent = nullptr);

  // Set-up.
  int32_t NumData() const { return static_cast<int32_t>(columns_.size()); }
  void SetNumData(int32_t count);  // keeps the settings and values of the columns that stay
  int32_t NumAux() const { return numAux_; }
  void SetNumAux(int32_t count);
  int32_t OneHeight() const;         // item height in twips
  void SetOneHeight(int32_t twips);  // 0: from the font
  void Init();                       // lays out and draws everything (after the columns are set up)
  // Font and colours of the items (kDefaultColor: the window text and window colours).
  void SetStyle(float pSize, bool pBold = false, const QString& pName = QString(),
                Color pForeColor = kDefaultColor, Color pBackColor = kDefaultColor);
  void Refresh();
  void SetTabWidthAuto();  // every visible column as wide as its widest text

  // Look and behaviour.
  void SetUseMadara(int32_t on);  // every other item lightly shaded
  void SetNoMultiSelect(int32_t on);
  void SetSelectedColor(Color color);
  void SetNumWheelScroll(int32_t items);
  void SetVLineColor(Color color);  // kDefaultColor: no lines between the columns
  void SetVbarDisabled(int32_t on);
  int32_t ClickDisabled() const { return clickDisabled_; }
  void SetClickDisabled(int32_t on);
  void SetTabDisabled(int32_t on);  // no resizing and no column menu
  void SetSortDisabled(int32_t on);

  // Scrolling.
  void VBarMove(int32_t pValue);    // the first visible item
  void VBarScroll(int32_t pValue);  // scrolls by pValue items
  void HBarMove(int32_t pValue);    // horizontal offset in pixels
  void HBarScroll(int32_t pValue);
  void ShowSelected(int32_t pIfHidden = 0);
  // Scrolls so that pTopItem is visible (only when it is not, with pIfHidden).
  void ShowItem(int32_t pTopItem, int32_t pIfHidden = 0);
  int32_t TopItem() const { return topItem_; }

  // Columns.
  QString TabName(int32_t pData) const;
  void SetTabName(int32_t pData, const QString& name);
  int32_t TabHidden(int32_t pData) const;
  void SetTabHidden(int32_t pData, int32_t hidden);
  int32_t TabWidth(int32_t pData) const;  // twips
  void SetTabWidth(int32_t pData, int32_t twips);
  int32_t TabAlign(int32_t pData) const;
  void SetTabAlign(int32_t pData, int32_t align);
  void SetTabOrder(int32_t pTab, int32_t pValue);  // moves column pTab to display place pValue
  int32_t TabOrder(int32_t pTab) const;            // display place of a column
  int32_t DataNumeric(int32_t pData) const;
  void SetDataNumeric(int32_t pData, int32_t numeric);
  void SetUseTextCombo(int32_t pData, int32_t use);
  int32_t TextComboVisible() const;
  void AddComboItem(int32_t pData, const QString& pValue);
  void ClearComboItem(int32_t pData);
  void AddListItem(int32_t pData, const QString& pValue);
  void ClearListItem(int32_t pData);

  // Items.
  int32_t ItemCount() const { return static_cast<int32_t>(items_.size()); }
  void AddItem(int32_t pNum = 1);
  void InsertItem(int32_t pIndex, int32_t pNum = 1);
  void DeleteItem(int32_t pIndex);
  void DeleteAll();
  void DeleteSelected();
  void ExchangeItem(int32_t pPlus);  // moves the current item up (-1) or down (+1)
  void MoveCursor(int32_t pIsDown);
  QVariant Value(int32_t pIndex, int32_t pData) const;
  void SetValue(int32_t pIndex, int32_t pData, const QVariant& value);
  int32_t ComboIndex(int32_t pIndex, int32_t pData) const;  // the value's place among the choices, or -1
  QVariant AuxID(int32_t pIndex, int32_t pData) const;
  void SetAuxID(int32_t pIndex, int32_t pData, const QVariant& value);
  void SetDispColor(int32_t pIndex, Color color);
  void SetHLine(int32_t pIndex, int32_t on);
  int32_t IsSelected(int32_t pIndex) const;
  void SetIsSelected(int32_t pIndex, int32_t selected);
  int32_t YsItem(float y) const;  // the item at a height in twips, or -1

  // Selection.
  int32_t SelectedItem() const { return current_; }
  void SetSelectedItem(int32_t pValue);  // the current and only selected item
  int32_t NumSelectedItems() const;
  void SelectAll();
  void UnSelectAll();

  // Sorting.
  int32_t OrderData() const { return orderData_; }
  void SetOrderData(int32_t pData);  // sorts: ascending, or the other way for the same column again
  int32_t OrderInverted() const { return orderInverted_; }
  void SetOrderInverted(int32_t inverted);             // sorts the current column in that direction
  void SortBy(int32_t pData, int32_t direction = -1);  // direction 0 up, 1 down, -1 automatic

  // In-place editing: opens the editor of a cell; closing commits a text box.
  void EditCell(int32_t pIndex, int32_t pData);
  void HideTextCombo();

 signals:
  void DblClicked();
  void TabMoved();
  void TabReOrderd();
  void RightClicked();
  void MouseDown(int Button, int Shift, float X, float Y);
  void Clicked();
  void ComboChaged(int pData, int pValue);
  // pAction: 0 the key goes to the editor, 1 it commits, 2 it cancels.
  void TextComboKeyAction(int pIsCombo, int pTab, int pAction, int KeyValue, int Shift);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr int kBorderGrip = 3;        // pixels either side of a column border that resize
  static constexpr int kMinColumnWidth = 450;  // twips; a dragged column never gets narrower
  struct ColumnSpan {
    int32_t data;
    int32_t left;  // pixels, scrolled
    int32_t right;
  };
  // Geometry (pixels).
  int32_t RowHeight() const;
  int32_t HeaderHeight() const;
  int32_t VisibleRows() const;
  int32_t ListWidth() const;  // without the scroll bar
  bool HasVBar() const;
  QRect RowRect(int32_t item) const;
  QRect VBarRect() const;
  QRect ThumbRect() const;
  std::vector<ColumnSpan> Spans() const;
  int32_t ColumnAt(int32_t x) const;  // -1 when right of the last column
  int32_t BorderAt(int32_t x) const;  // the column whose right border is under x, or -1
  int32_t ItemAt(int32_t y) const;    // limited to the existing items; -1 for an empty list

  // Drawing into the surface, then update() of what changed.
  void DrawAll();
  void DrawHeader();
  void DrawRow(int32_t item);
  void DrawRows();
  void DrawVBar();
  Color TextColor(const ListItem& item) const;
  Color BackColor() const;

  // Behaviour.
  void ClickItem(int32_t item, Qt::KeyboardModifiers modifiers);
  void SetCurrent(int32_t item);
  void ScrollTo(int32_t top);
  void ResizeColumn(int32_t data, int32_t x);
  void HeaderRelease(QMouseEvent* event);
  void ShowColumnMenu(const QPoint& at);
  void ClampTop();
  ListItem NewItem() const;

  // Editing.
  void CommitText();
  void CommitChoice(int32_t index, const QString& text);
  void CloseEditor();

  std::vector<ListColumn> columns_;
  std::vector<int32_t> order_;  // display place -> column
  std::vector<ListItem> items_;
  int32_t numAux_ = 0;
  int32_t oneHeight_ = 0;  // twips, 0 for the font's line height
  Color foreColor_ = kDefaultColor;
  Color backColor_ = kDefaultColor;
  Color selectedColor_ = SystemColor(kSysHighlight);
  Color vLineColor_ = 0xE0E0E0;
  int32_t wheelItems_ = 3;
  bool madara_ = false;
  bool noMultiSelect_ = false;
  bool vbarDisabled_ = false;
  int32_t clickDisabled_ = 0;
  bool tabDisabled_ = false;
  bool sortDisabled_ = false;

  int32_t current_ = -1;
  int32_t topItem_ = 0;
  int32_t hScroll_ = 0;
  int32_t orderData_ = -1;
  int32_t orderInverted_ = 0;

  int32_t resizing_ = -1;  // the column whose border is being dragged
  bool overBorder_ = false;
  int32_t thumbGrab_ = -1;  // pointer offset in the held thumb, -1 when none

  int32_t editItem_ = -1;
  int32_t editData_ = -1;
  QLineEdit* TextLV;
  QComboBox* ComboLV;
  QListWidget* ListLV;
};

}  // namespace lumora
