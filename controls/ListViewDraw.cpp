// The list view's geometry and drawing: the header of column tabs, the items
// and the scroll bar, each drawn into the surface only when it changed.

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/Drawing.h"
#include "controls/UC_ListView.h"

namespace lumora {

namespace {
constexpr int32_t kVBarWidth = 16;  // pixels
constexpr int32_t kMinThumb = 12;   // pixels
constexpr int32_t kCellMargin = 4;  // pixels between a cell's edge and its text

Qt::Alignment AlignmentOf(int32_t align) {
  if (align == 1) return Qt::AlignRight;
  if (align == 2) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}
}  // namespace

// ---- geometry

int32_t UC_ListView::OneHeight() const { return RowHeight() * Tpp(); }

int32_t UC_ListView::RowHeight() const {
  return oneHeight_ > 0 ? std::max(oneHeight_ / Tpp(), 1) : QFontMetrics(font()).height() + 4;
}

int32_t UC_ListView::HeaderHeight() const { return RowHeight() + 4; }

int32_t UC_ListView::VisibleRows() const { return std::max((height() - HeaderHeight()) / RowHeight(), 1); }

bool UC_ListView::HasVBar() const { return !vbarDisabled_ && ItemCount() > VisibleRows(); }

int32_t UC_ListView::ListWidth() const { return width() - (HasVBar() ? kVBarWidth : 0); }

QRect UC_ListView::RowRect(int32_t item) const {
  return QRect(0, HeaderHeight() + (item - topItem_) * RowHeight(), ListWidth(), RowHeight());
}

QRect UC_ListView::VBarRect() const {
  return QRect(width() - kVBarWidth, HeaderHeight(), kVBarWidth, height() - HeaderHeight());
}

QRect UC_ListView::ThumbRect() const {
  const QRect bar = VBarRect();
  const int32_t hidden = ItemCount() - VisibleRows();
  if (hidden <= 0) return bar;
  const int32_t size = std::max(bar.height() * VisibleRows() / ItemCount(), kMinThumb);
  return QRect(bar.left(), bar.top() + (bar.height() - size) * topItem_ / hidden, kVBarWidth, size);
}

std::vector<UC_ListView::ColumnSpan> UC_ListView::Spans() const {
  std::vector<ColumnSpan> spans;
  int32_t left = -hScroll_;
  for (int32_t data : order_) {
    if (columns_[data].hidden) continue;
    const int32_t right = left + columns_[data].width / Tpp();
    spans.push_back({data, left, right});
    left = right;
  }
  return spans;
}

int32_t UC_ListView::ColumnAt(int32_t x) const {
  for (const ColumnSpan& span : Spans()) {
    if (x >= span.left && x < span.right) return span.data;
  }
  return -1;
}

int32_t UC_ListView::BorderAt(int32_t x) const {
  for (const ColumnSpan& span : Spans()) {
    if (std::abs(x - span.right) <= kBorderGrip) return span.data;
  }
  return -1;
}

int32_t UC_ListView::ItemAt(int32_t y) const {
  if (ItemCount() == 0) return -1;
  return std::clamp(topItem_ + (y - HeaderHeight()) / RowHeight(), 0, ItemCount() - 1);
}

// ---- drawing

void UC_ListView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

void UC_ListView::resizeEvent(QResizeEvent*) {
  ClampTop();
  CloseEditor();
  DrawAll();
}

void UC_ListView::DrawAll() {
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
  if (surface_.isNull()) return;
  DrawHeader();
  DrawRows();
}

void UC_ListView::DrawHeader() {
  if (surface_.isNull()) return;
  const int32_t height = HeaderHeight();
  QPainter painter(&surface_);
  QImage face(std::max(width(), 1), height, QImage::Format_RGB32);
  PaintFace(face, 7, -1, -1, -1);
  painter.drawImage(0, 0, face);
  painter.setFont(font());
  const QColor shadow = ColorOf(SystemColor(16));
  for (const ColumnSpan& span : Spans()) {
    const ListColumn& column = columns_[span.data];
    const QRect text(span.left + kCellMargin, 0, span.right - span.left - 2 * kCellMargin, height);
    painter.setPen(ColorOf(SystemColor(18)));
    painter.drawText(text, AlignmentOf(column.align) | Qt::AlignVCenter, column.name);
    painter.setPen(shadow);
    painter.drawLine(span.right - 1, 2, span.right - 1, height - 3);
    if (span.data == orderData_) {
      // A small triangle pointing the way the values grow.
      const int32_t cx = span.right - 8;
      const int32_t cy = height / 2;
      for (int32_t row = 0; row < 4; ++row) {
        const int32_t y = orderInverted_ ? cy + 2 - row : cy - 2 + row;
        painter.drawLine(cx - row, y, cx + row, y);
      }
    }
  }
  update(0, 0, width(), height);
}

QColor UC_ListView::TextColor(const ListItem& item) const {
  if (item.selected) return ColorOf(SystemColor(14));
  if (item.dispColor >= 0) return ColorOf(item.dispColor);
  return ColorOf(foreColor_ >= 0 ? foreColor_ : SystemColor(8));
}

void UC_ListView::DrawRow(int32_t item) {
  if (surface_.isNull() || item < topItem_ || item >= topItem_ + VisibleRows() || item >= ItemCount()) return;
  const ListItem& row = items_[item];
  const QRect rect = RowRect(item);
  const int32_t back = backColor_ >= 0 ? backColor_ : SystemColor(5);
  QColor fill = ColorOf(madara_ && item % 2 == 1 ? AdjustColor(back, -10, -10, -4, -1) : back);
  if (row.selected) fill = ColorOf(selectedColor_ >= 0 ? selectedColor_ : SystemColor(13));
  QPainter painter(&surface_);
  painter.fillRect(rect, fill);
  painter.setFont(font());
  for (const ColumnSpan& span : Spans()) {
    const ListColumn& column = columns_[span.data];
    const QRect cell(span.left, rect.top(), span.right - span.left, rect.height());
    painter.setPen(TextColor(row));
    painter.drawText(cell.adjusted(kCellMargin, 0, -kCellMargin, 0),
                     AlignmentOf(column.align) | Qt::AlignVCenter, row.values[span.data].toString());
    if (vLineColor_ >= 0) {
      painter.setPen(ColorOf(vLineColor_));
      painter.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
    }
  }
  if (row.hLine) {
    painter.setPen(ColorOf(SystemColor(16)));
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  }
  if (item == current_ && hasFocus()) {
    painter.setPen(QPen(TextColor(row), 0, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  update(rect);
}

void UC_ListView::DrawRows() {
  if (surface_.isNull()) return;
  const QRect area(0, HeaderHeight(), width(), height() - HeaderHeight());
  {
    QPainter painter(&surface_);
    painter.fillRect(area, ColorOf(backColor_ >= 0 ? backColor_ : SystemColor(5)));
  }
  for (int32_t item = topItem_; item < topItem_ + VisibleRows(); ++item) DrawRow(item);
  if (HasVBar()) DrawVBar();
  update(area);
}

void UC_ListView::DrawVBar() {
  const QRect bar = VBarRect();
  const QRect thumb = ThumbRect();
  QPainter painter(&surface_);
  painter.fillRect(bar, ColorOf(ThemeColor(1)));
  painter.setPen(ColorOf(SystemColor(16)));
  painter.drawLine(bar.left(), bar.top(), bar.left(), bar.bottom());
  QImage face(thumb.size(), QImage::Format_RGB32);
  PaintFace(face, 8, -1, -1, -1);
  painter.drawImage(thumb.topLeft(), face);
  update(bar);
}

}  // namespace lumora
