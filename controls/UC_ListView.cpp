#include "controls/UC_ListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "controls/FontRegistry.h"
#include "controls/Twips.h"

namespace lumora {

UC_ListView::UC_ListView(QWidget* parent)
    : DrawnWidget(parent),
      TextLV(new QLineEdit(this)),
      ComboLV(new QComboBox(this)),
      ListLV(new QListWidget(this)) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  TextLV->setObjectName("TextLV");
  ComboLV->setObjectName("ComboLV");
  ListLV->setObjectName("ListLV");
  for (QWidget* editor :
       {static_cast<QWidget*>(TextLV), static_cast<QWidget*>(ComboLV), static_cast<QWidget*>(ListLV)}) {
    editor->hide();
    editor->installEventFilter(this);
  }
  connect(ComboLV, &QComboBox::activated, this,
          [this](int index) { CommitChoice(index, ComboLV->itemText(index)); });
  connect(ListLV, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { CommitChoice(ListLV->row(item), item->text()); });
  connect(TextLV, &QLineEdit::editingFinished, this, &UC_ListView::CommitText);
  SetStyle(9);
}

// ---- set-up

void UC_ListView::SetNumData(int32_t count) {
  count = std::max(count, 0);
  CloseEditor();
  columns_.resize(count);
  for (ListItem& item : items_) item.values.resize(count);
  order_.erase(std::remove_if(order_.begin(), order_.end(), [&](int32_t data) { return data >= count; }),
               order_.end());
  for (int32_t data = static_cast<int32_t>(order_.size()); data < count; ++data) order_.push_back(data);
  if (orderData_ >= count) orderData_ = -1;
  DrawAll();
}

void UC_ListView::SetNumAux(int32_t count) {
  numAux_ = std::max(count, 0);
  for (ListItem& item : items_) item.aux.resize(numAux_);
}

void UC_ListView::SetOneHeight(int32_t twips) {
  oneHeight_ = std::max(twips, 0);
  ClampTop();
  DrawAll();
}

void UC_ListView::Init() {
  ClampTop();
  DrawAll();
}

void UC_ListView::SetStyle(float pSize, bool pBold, const QString& pName, Color pForeColor,
                           Color pBackColor) {
  SetControlFont(this, -2, nullptr, pSize, pBold, false, pName);
  foreColor_ = pForeColor;
  backColor_ = pBackColor;
  ClampTop();
  DrawAll();
}

void UC_ListView::Refresh() { DrawAll(); }

// ---- look and behaviour

void UC_ListView::SetUseMadara(int32_t on) {
  madara_ = on != 0;
  DrawRows();
}
void UC_ListView::SetNoMultiSelect(int32_t on) { noMultiSelect_ = on != 0; }
void UC_ListView::SetSelectedColor(Color color) {
  selectedColor_ = color;
  DrawRows();
}
void UC_ListView::SetNumWheelScroll(int32_t items) { wheelItems_ = std::max(items, 1); }
void UC_ListView::SetVLineColor(Color color) {
  vLineColor_ = color;
  DrawRows();
}
void UC_ListView::SetVbarDisabled(int32_t on) {
  vbarDisabled_ = on != 0;
  DrawAll();
}
void UC_ListView::SetClickDisabled(int32_t on) { clickDisabled_ = on; }
void UC_ListView::SetTabDisabled(int32_t on) { tabDisabled_ = on != 0; }
void UC_ListView::SetSortDisabled(int32_t on) { sortDisabled_ = on != 0; }

// ---- scrolling

void UC_ListView::VBarMove(int32_t pValue) { ScrollTo(pValue); }
void UC_ListView::VBarScroll(int32_t pValue) { ScrollTo(topItem_ + pValue); }

void UC_ListView::HBarMove(int32_t pValue) {
  const std::vector<ColumnSpan> spans = Spans();
  const int total = spans.empty() ? 0 : spans.back().right + hScroll_;
  hScroll_ = std::clamp(pValue, 0, std::max(total - ListWidth(), 0));
  CloseEditor();
  DrawAll();
}

void UC_ListView::HBarScroll(int32_t pValue) { HBarMove(hScroll_ + pValue); }

void UC_ListView::ShowSelected(int32_t pIfHidden) { ShowItem(current_, pIfHidden); }

void UC_ListView::ShowItem(int32_t pTopItem, int32_t pIfHidden) {
  if (pTopItem < 0 || pTopItem >= ItemCount()) return;
  const bool visible = pTopItem >= topItem_ && pTopItem < topItem_ + VisibleRows();
  if (pIfHidden && visible) return;
  if (!pIfHidden) return ScrollTo(pTopItem);
  ScrollTo(pTopItem < topItem_ ? pTopItem : pTopItem - VisibleRows() + 1);
}

void UC_ListView::ScrollTo(int32_t top) {
  const int32_t before = topItem_;
  topItem_ = top;
  ClampTop();
  if (topItem_ == before) return;
  CloseEditor();
  DrawRows();
}

void UC_ListView::ClampTop() { topItem_ = std::clamp(topItem_, 0, std::max(ItemCount() - VisibleRows(), 0)); }

// ---- columns

QString UC_ListView::TabName(int32_t pData) const {
  return pData >= 0 && pData < NumData() ? columns_[pData].name : QString();
}

void UC_ListView::SetTabName(int32_t pData, const QString& name) {
  if (pData < 0 || pData >= NumData()) return;
  columns_[pData].name = name;
  DrawHeader();
}

int32_t UC_ListView::TabHidden(int32_t pData) const {
  return pData >= 0 && pData < NumData() ? columns_[pData].hidden : 0;
}

void UC_ListView::SetTabHidden(int32_t pData, int32_t hidden) {
  if (pData < 0 || pData >= NumData()) return;
  columns_[pData].hidden = hidden != 0;
  CloseEditor();
  DrawAll();
}

int32_t UC_ListView::TabWidth(int32_t pData) const {
  return pData >= 0 && pData < NumData() ? columns_[pData].width : 0;
}

void UC_ListView::SetTabWidth(int32_t pData, int32_t twips) {
  if (pData < 0 || pData >= NumData()) return;
  columns_[pData].width = std::max(twips, Tpp());
  CloseEditor();
  DrawAll();
}

int32_t UC_ListView::TabAlign(int32_t pData) const {
  return pData >= 0 && pData < NumData() ? columns_[pData].align : 0;
}

void UC_ListView::SetTabAlign(int32_t pData, int32_t align) {
  if (pData < 0 || pData >= NumData()) return;
  columns_[pData].align = align;
  DrawAll();
}

void UC_ListView::SetTabOrder(int32_t pTab, int32_t pValue) {
  const auto at = std::find(order_.begin(), order_.end(), pTab);
  if (at == order_.end() || pValue < 0 || pValue >= NumData()) return;
  order_.erase(at);
  order_.insert(order_.begin() + pValue, pTab);
  CloseEditor();
  DrawAll();
  emit TabReOrderd();
}

int32_t UC_ListView::TabOrder(int32_t pTab) const {
  const auto at = std::find(order_.begin(), order_.end(), pTab);
  return at == order_.end() ? -1 : static_cast<int32_t>(at - order_.begin());
}

int32_t UC_ListView::DataNumeric(int32_t pData) const {
  return pData >= 0 && pData < NumData() ? columns_[pData].numeric : 0;
}

void UC_ListView::SetDataNumeric(int32_t pData, int32_t numeric) {
  if (pData >= 0 && pData < NumData()) columns_[pData].numeric = numeric != 0;
}

void UC_ListView::SetUseTextCombo(int32_t pData, int32_t use) {
  if (pData >= 0 && pData < NumData()) columns_[pData].useEditor = use != 0;
}

int32_t UC_ListView::TextComboVisible() const { return editItem_ >= 0; }

void UC_ListView::AddComboItem(int32_t pData, const QString& pValue) {
  if (pData >= 0 && pData < NumData()) columns_[pData].comboItems << pValue;
}

void UC_ListView::ClearComboItem(int32_t pData) {
  if (pData >= 0 && pData < NumData()) columns_[pData].comboItems.clear();
}

void UC_ListView::AddListItem(int32_t pData, const QString& pValue) {
  if (pData >= 0 && pData < NumData()) columns_[pData].listItems << pValue;
}

void UC_ListView::ClearListItem(int32_t pData) {
  if (pData >= 0 && pData < NumData()) columns_[pData].listItems.clear();
}

// ---- items

ListItem UC_ListView::NewItem() const {
  ListItem item;
  item.values.resize(columns_.size());
  item.aux.resize(numAux_);
  return item;
}

void UC_ListView::AddItem(int32_t pNum) { InsertItem(ItemCount(), pNum); }

void UC_ListView::InsertItem(int32_t pIndex, int32_t pNum) {
  pIndex = std::clamp(pIndex, 0, ItemCount());
  CloseEditor();
  items_.insert(items_.begin() + pIndex, std::max(pNum, 0), NewItem());
  if (current_ >= pIndex) current_ += std::max(pNum, 0);
  DrawAll();
}

void UC_ListView::DeleteItem(int32_t pIndex) {
  if (pIndex < 0 || pIndex >= ItemCount()) return;
  CloseEditor();
  items_.erase(items_.begin() + pIndex);
  if (current_ > pIndex || current_ >= ItemCount()) --current_;
  ClampTop();
  DrawAll();
}

void UC_ListView::DeleteAll() {
  CloseEditor();
  items_.clear();
  current_ = -1;
  topItem_ = 0;
  DrawAll();
}

void UC_ListView::DeleteSelected() {
  CloseEditor();
  items_.erase(
      std::remove_if(items_.begin(), items_.end(), [](const ListItem& item) { return item.selected; }),
      items_.end());
  current_ = std::min(current_, ItemCount() - 1);
  ClampTop();
  DrawAll();
}

void UC_ListView::ExchangeItem(int32_t pPlus) {
  const int32_t other = current_ + (pPlus > 0 ? 1 : -1);
  if (current_ < 0 || other < 0 || other >= ItemCount()) return;
  CloseEditor();
  std::swap(items_[current_], items_[other]);
  current_ = other;
  DrawRow(current_);
  DrawRow(other - (pPlus > 0 ? 1 : -1));
  ShowItem(current_, 1);
}

void UC_ListView::MoveCursor(int32_t pIsDown) {
  if (ItemCount() == 0) return;
  SetSelectedItem(std::clamp(current_ + (pIsDown ? 1 : -1), 0, ItemCount() - 1));
}

QVariant UC_ListView::Value(int32_t pIndex, int32_t pData) const {
  if (pIndex < 0 || pIndex >= ItemCount() || pData < 0 || pData >= NumData()) return {};
  return items_[pIndex].values[pData];
}

void UC_ListView::SetValue(int32_t pIndex, int32_t pData, const QVariant& value) {
  if (pIndex < 0 || pIndex >= ItemCount() || pData < 0 || pData >= NumData()) return;
  items_[pIndex].values[pData] = value;
  DrawRow(pIndex);
}

int32_t UC_ListView::ComboIndex(int32_t pIndex, int32_t pData) const {
  if (pData < 0 || pData >= NumData()) return -1;
  const ListColumn& column = columns_[pData];
  const QStringList& choices = column.comboItems.isEmpty() ? column.listItems : column.comboItems;
  return static_cast<int32_t>(choices.indexOf(Value(pIndex, pData).toString()));
}

QVariant UC_ListView::AuxID(int32_t pIndex, int32_t pData) const {
  if (pIndex < 0 || pIndex >= ItemCount() || pData < 0 || pData >= numAux_) return {};
  return items_[pIndex].aux[pData];
}

void UC_ListView::SetAuxID(int32_t pIndex, int32_t pData, const QVariant& value) {
  if (pIndex >= 0 && pIndex < ItemCount() && pData >= 0 && pData < numAux_) items_[pIndex].aux[pData] = value;
}

void UC_ListView::SetDispColor(int32_t pIndex, Color color) {
  if (pIndex < 0 || pIndex >= ItemCount()) return;
  items_[pIndex].dispColor = color;
  DrawRow(pIndex);
}

void UC_ListView::SetHLine(int32_t pIndex, int32_t on) {
  if (pIndex < 0 || pIndex >= ItemCount()) return;
  items_[pIndex].hLine = on != 0;
  DrawRow(pIndex);
}

int32_t UC_ListView::IsSelected(int32_t pIndex) const {
  return pIndex >= 0 && pIndex < ItemCount() ? items_[pIndex].selected : 0;
}

void UC_ListView::SetIsSelected(int32_t pIndex, int32_t selected) {
  if (pIndex < 0 || pIndex >= ItemCount()) return;
  items_[pIndex].selected = selected != 0;
  DrawRow(pIndex);
}

int32_t UC_ListView::YsItem(float y) const {
  const int32_t row = static_cast<int32_t>(y) / Tpp() - HeaderHeight();
  if (row < 0) return -1;
  const int32_t item = topItem_ + row / RowHeight();
  return item < ItemCount() ? item : -1;
}

// ---- selection

void UC_ListView::SetSelectedItem(int32_t pValue) {
  if (pValue < -1 || pValue >= ItemCount()) return;
  CloseEditor();
  for (int32_t item = 0; item < ItemCount(); ++item) {
    if (items_[item].selected != (item == pValue)) SetIsSelected(item, item == pValue);
  }
  SetCurrent(pValue);
  ShowItem(pValue, 1);
}

void UC_ListView::SetCurrent(int32_t item) {
  const int32_t before = current_;
  current_ = item;
  DrawRow(before);
  DrawRow(current_);
}

int32_t UC_ListView::NumSelectedItems() const {
  return static_cast<int32_t>(
      std::count_if(items_.begin(), items_.end(), [](const ListItem& item) { return item.selected; }));
}

void UC_ListView::SelectAll() {
  for (ListItem& item : items_) item.selected = true;
  DrawRows();
}

void UC_ListView::UnSelectAll() {
  for (ListItem& item : items_) item.selected = false;
  DrawRows();
}

// ---- sorting

void UC_ListView::SetOrderData(int32_t pData) { SortBy(pData); }

void UC_ListView::SetOrderInverted(int32_t inverted) { SortBy(orderData_, inverted != 0); }

void UC_ListView::SortBy(int32_t pData, int32_t direction) {
  if (pData < 0 || pData >= NumData()) return;
  // Without a direction a new column sorts ascending and the same column again
  // turns the order round, so that every click on a tab flips it.
  if (direction < 0) direction = pData == orderData_ ? !orderInverted_ : 0;
  CloseEditor();
  for (int32_t item = 0; item < ItemCount(); ++item) items_[item].marked = item == current_;
  SortListItems(items_, pData, columns_[pData].numeric, direction != 0);
  const auto marked =
      std::find_if(items_.begin(), items_.end(), [](const ListItem& item) { return item.marked; });
  current_ = marked == items_.end() ? -1 : static_cast<int32_t>(marked - items_.begin());
  orderData_ = pData;
  orderInverted_ = direction != 0;
  DrawAll();
}

// ---- mouse and keys

void UC_ListView::ClickItem(int32_t item, Qt::KeyboardModifiers modifiers) {
  if (item < 0) return;
  const bool multi = !noMultiSelect_;
  if (multi && (modifiers & Qt::ShiftModifier) && current_ >= 0) {
    const auto [from, to] = std::minmax(current_, item);
    for (int32_t i = 0; i < ItemCount(); ++i) {
      if (items_[i].selected != (i >= from && i <= to)) SetIsSelected(i, i >= from && i <= to);
    }
    return SetCurrent(item);
  }
  if (multi && (modifiers & Qt::ControlModifier)) {
    SetIsSelected(item, !items_[item].selected);
    return SetCurrent(item);
  }
  SetSelectedItem(item);
}

void UC_ListView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (at.y() < HeaderHeight()) {
    resizing_ = event->button() == Qt::LeftButton && overBorder_ ? BorderAt(at.x()) : -1;
    return;
  }
  if (HasVBar() && VBarRect().contains(at)) {
    const QRect thumb = ThumbRect();
    if (thumb.contains(at)) {
      thumbGrab_ = at.y() - thumb.top();
    } else {
      VBarScroll(at.y() < thumb.top() ? -VisibleRows() : VisibleRows());
    }
    return;
  }
  if (clickDisabled_) return;
  emit MouseDown(static_cast<int>(event->button()), static_cast<int>(event->modifiers() >> 25) & 7,
                 static_cast<float>(at.x() * Tpp()), static_cast<float>(at.y() * Tpp()));
  if (event->button() != Qt::LeftButton) return;
  const int32_t item = ItemAt(at.y());
  ClickItem(item, event->modifiers());
  emit Clicked();
  const int32_t data = ColumnAt(at.x());
  const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
  if (plain && item >= 0 && data >= 0 && columns_[data].useEditor) EditCell(item, data);
}

void UC_ListView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (thumbGrab_ >= 0) {
    const int32_t track = VBarRect().height() - ThumbRect().height();
    const int32_t range = ItemCount() - VisibleRows();
    if (track > 0) ScrollTo((at.y() - thumbGrab_ - VBarRect().top()) * range / track);
    return;
  }
  if (resizing_ >= 0) return ResizeColumn(resizing_, at.x());
  if (event->buttons() != Qt::NoButton) return;
  overBorder_ = !tabDisabled_ && at.y() < HeaderHeight() && BorderAt(at.x()) >= 0;
  setCursor(overBorder_ ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void UC_ListView::ResizeColumn(int32_t data, int32_t x) {
  for (const ColumnSpan& span : Spans()) {
    if (span.data != data) continue;
    const int32_t grown = columns_[data].width + (x + kBorderGrip - span.right) * Tpp();
    columns_[data].width = std::max(grown, kMinColumnWidth);
  }
  DrawHeader();
}

void UC_ListView::mouseReleaseEvent(QMouseEvent* event) {
  if (thumbGrab_ >= 0) {
    thumbGrab_ = -1;
    return;
  }
  const QPoint at = event->position().toPoint();
  if (resizing_ >= 0 || at.y() < HeaderHeight()) return HeaderRelease(event);
  if (!clickDisabled_ && event->button() == Qt::RightButton) emit RightClicked();
}

void UC_ListView::HeaderRelease(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && resizing_ >= 0) {
    resizing_ = -1;
    overBorder_ = false;
    setCursor(Qt::ArrowCursor);
    CloseEditor();
    DrawAll();
    emit TabMoved();
  } else if (event->button() == Qt::LeftButton) {
    if (!sortDisabled_) SortBy(ColumnAt(at.x()));
  } else if (event->button() == Qt::RightButton && !tabDisabled_) {
    ShowColumnMenu(event->globalPosition().toPoint());
  }
}

void UC_ListView::ShowColumnMenu(const QPoint& at) {
  QMenu MenuRCTab(this);
  for (int32_t data = 0; data < NumData(); ++data) {
    QAction* action = MenuRCTab.addAction(columns_[data].name);
    action->setCheckable(true);
    action->setChecked(!columns_[data].hidden);
    connect(action, &QAction::toggled, this, [this, data](bool shown) { SetTabHidden(data, !shown); });
  }
  MenuRCTab.exec(at);
}

void UC_ListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->position().y() < HeaderHeight() || clickDisabled_) return;
  if (HasVBar() && VBarRect().contains(event->position().toPoint())) return;
  emit DblClicked();
}

void UC_ListView::focusInEvent(QFocusEvent*) { DrawRow(current_); }
void UC_ListView::focusOutEvent(QFocusEvent*) { DrawRow(current_); }

void UC_ListView::wheelEvent(QWheelEvent* event) {
  const int32_t notches = event->angleDelta().y() / 120;
  if (notches != 0) VBarScroll(-notches * wheelItems_);
  event->accept();
}

void UC_ListView::keyPressEvent(QKeyEvent* event) {
  const int32_t page = std::max(VisibleRows() - 1, 1);
  switch (event->key()) {
    case Qt::Key_Up:
      return MoveCursor(0);
    case Qt::Key_Down:
      return MoveCursor(1);
    case Qt::Key_PageUp:
      return SetSelectedItem(std::max(current_ - page, 0));
    case Qt::Key_PageDown:
      return SetSelectedItem(std::min(current_ + page, ItemCount() - 1));
    case Qt::Key_Home:
      return SetSelectedItem(ItemCount() > 0 ? 0 : -1);
    case Qt::Key_End:
      return SetSelectedItem(ItemCount() - 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2: {
      const auto editable = std::find_if(order_.begin(), order_.end(), [&](int32_t data) {
        return columns_[data].useEditor && !columns_[data].hidden;
      });
      if (editable != order_.end()) EditCell(current_, *editable);
      return;
    }
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace lumora
