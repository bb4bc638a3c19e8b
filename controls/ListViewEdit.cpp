// The list view's in-place editors: a combo box or a list when the column
// offers choices, otherwise a text box (numbers only in numeric columns).

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include "controls/UC_ListView.h"

namespace lumora {

namespace {
// A signed whole or decimal number, or nothing yet.
const QRegularExpression kNumber(R"(-?\d*\.?\d*)");
}  // namespace

void UC_ListView::EditCell(int32_t pIndex, int32_t pData) {
  if (pIndex < 0 || pIndex >= ItemCount() || pData < 0 || pData >= NumData()) return;
  const ListColumn& column = columns_[pData];
  if (!column.useEditor || column.hidden) return;
  CloseEditor();
  ShowItem(pIndex, 1);
  QRect cell;
  for (const ColumnSpan& span : Spans()) {
    if (span.data == pData)
      cell = QRect(span.left, RowRect(pIndex).top(), span.right - span.left, RowHeight());
  }
  editItem_ = pIndex;
  editData_ = pData;
  const QString text = Value(pIndex, pData).toString();
  if (!column.comboItems.isEmpty()) {
    ComboLV->clear();
    ComboLV->addItems(column.comboItems);
    ComboLV->setCurrentIndex(static_cast<int>(column.comboItems.indexOf(text)));
    ComboLV->setGeometry(cell.adjusted(0, -2, 0, 2));
    ComboLV->show();
    ComboLV->setFocus();
    ComboLV->showPopup();
  } else if (!column.listItems.isEmpty()) {
    ListLV->clear();
    ListLV->addItems(column.listItems);
    ListLV->setCurrentRow(static_cast<int>(column.listItems.indexOf(text)));
    const int rows = std::min(static_cast<int>(column.listItems.size()), 8);
    ListLV->setGeometry(cell.left(), cell.bottom() + 1, cell.width(), rows * ListLV->sizeHintForRow(0) + 4);
    ListLV->show();
    ListLV->setFocus();
  } else {
    TextLV->setValidator(column.numeric ? new QRegularExpressionValidator(kNumber, TextLV) : nullptr);
    TextLV->setText(text);
    TextLV->selectAll();
    TextLV->setGeometry(cell);
    TextLV->show();
    TextLV->setFocus();
  }
}

void UC_ListView::CommitChoice(int32_t index, const QString& text) {
  if (editItem_ < 0 || index < 0) return;
  const int32_t item = editItem_;
  const int32_t data = editData_;
  CloseEditor();
  SetValue(item, data, text);
  emit ComboChaged(data, index);
}

void UC_ListView::CommitText() {
  if (editItem_ < 0 || TextLV->isHidden()) return;
  const int32_t item = editItem_;
  const int32_t data = editData_;
  const QString text = TextLV->text();
  CloseEditor();
  bool isNumber = false;
  const double number = text.toDouble(&isNumber);
  SetValue(item, data, columns_[data].numeric && isNumber ? QVariant(number) : QVariant(text));
}

void UC_ListView::HideTextCombo() {
  if (!TextLV->isHidden()) return CommitText();
  CloseEditor();
}

void UC_ListView::CloseEditor() {
  if (editItem_ < 0) return;
  // Cleared first: hiding moves the focus, which would commit the text again.
  editItem_ = -1;
  editData_ = -1;
  ComboLV->hidePopup();
  for (QWidget* editor :
       {static_cast<QWidget*>(TextLV), static_cast<QWidget*>(ComboLV), static_cast<QWidget*>(ListLV)}) {
    editor->hide();
  }
  setFocus();
}

bool UC_ListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || editItem_ < 0) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool commits = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const bool cancels = key->key() == Qt::Key_Escape;
  const int action = commits ? 1 : cancels ? 2 : 0;
  emit TextComboKeyAction(watched != TextLV, editData_, action, key->key(),
                          static_cast<int>(key->modifiers() >> 25) & 7);
  if (cancels) {
    CloseEditor();
    return true;
  }
  if (commits && watched == TextLV) {
    CommitText();
    return true;
  }
  if (commits && watched == ListLV && ListLV->currentItem() != nullptr) {
    CommitChoice(ListLV->currentRow(), ListLV->currentItem()->text());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lumora
