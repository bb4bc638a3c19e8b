// The list view's geometry and drawing: the header of column tabs, the items
// and the scroll bar, each drawn into the surface only when it changed.

#include <QFontMetrics>
#include <algorithm>

#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "controls/UC_ListView.h"

namespace lumora {

namespace {
constexpr int32_t kVBarWidth = 16;  // pixels
constexpr int32_t kMinThumb = 12;   // pixels
constexpr int kCellMargin = 4;      // pixels between a cell's edge and its text

// The left edge of a text aligned in a cell (0 left, 1 right, 2 centre), in
// from the cell's edges by the margin; a text too wide starts at the left.
int TextLeft(const QFontMetrics& metrics, const QString& text, int left, int right, int32_t align) {
  const int room = right - left - 2 * kCellMargin;
  const int width = metrics.horizontalAdvance(text);
  if (align == 1) return left + kCellMargin + std::max(room - width, 0);
  if (align == 2) return left + kCellMargin + std::max((room - width) / 2, 0);
  return left + kCellMargin;
}

// Draws a text cut at the cell's right edge (less the margin).
void CellText(Canvas& canvas, const QFont& font, const QString& text, int left, int right, int top,
              int32_t align, Color color) {
  const QFontMetrics metrics(font);
  QPainter& painter = canvas.Painter();
  painter.save();
  painter.setClipRect(QRect(QPoint(left, top), QPoint(right - kCellMargin, top + metrics.height())));
  canvas.Text(TextLeft(metrics, text, left, right, align), top, text, color, font);
  painter.restore();
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

void UC_ListView::SetTabWidthAuto() {
  const QFontMetrics metrics(font());
  for (int32_t data = 0; data < NumData(); ++data) {
    int widest = metrics.horizontalAdvance(columns_[data].name);
    for (const ListItem& item : items_) {
      widest = std::max(widest, metrics.horizontalAdvance(item.values[data].toString()));
    }
    columns_[data].width = std::max(PxToTwips(widest + 2 * kCellMargin + 2), kMinColumnWidth);
  }
  DrawAll();
}

// ---- drawing

void UC_ListView::resizeEvent(QResizeEvent*) {
  if (!SizeChanged()) return;  // the first showing of a list drawn at its size
  ClampTop();
  CloseEditor();
  DrawAll();
}

void UC_ListView::DrawAll() {
  if (SizeChanged()) surface_.Resize(size());
  DrawHeader();
  DrawRows();
}

void UC_ListView::DrawHeader() {
  const int height = HeaderHeight();
  Surface face(QSize(width(), height));
  PaintFace(face, 7);
  Canvas canvas(surface_);
  canvas.Copy(0, 0, face.Image(), face.Image().rect());
  const int textTop = (height - QFontMetrics(font()).height()) / 2;
  const Color shadow = SystemColor(kSysButtonShadow);
  for (const ColumnSpan& span : Spans()) {
    const ListColumn& column = columns_[span.data];
    CellText(canvas, font(), column.name, span.left, span.right, textTop, column.align,
             SystemColor(kSysButtonText));
    canvas.Line(span.right - 1, 2, span.right - 1, height - 3, shadow);
    if (span.data == orderData_) {
      // A small triangle pointing the way the values grow.
      const int cx = span.right - 8;
      const int cy = height / 2;
      for (int row = 0; row < 4; ++row) {
        const int y = orderInverted_ ? cy + 2 - row : cy - 2 + row;
        canvas.Line(cx - row, y, cx + row, y, shadow);
      }
    }
  }
  update(0, 0, width(), height);
}

Color UC_ListView::BackColor() const {
  return backColor_ != kDefaultColor ? backColor_ : SysColor(kSysWindow);
}

Color UC_ListView::TextColor(const ListItem& item) const {
  if (item.selected) return SystemColor(kSysHighlightText);
  if (item.dispColor != kDefaultColor) return item.dispColor;
  return foreColor_ != kDefaultColor ? foreColor_ : SystemColor(kSysWindowText);
}

void UC_ListView::DrawRow(int32_t item) {
  if (item < topItem_ || item >= topItem_ + VisibleRows() || item >= ItemCount()) return;
  const ListItem& row = items_[item];
  const QRect rect = RowRect(item);
  Color fill = madara_ && item % 2 == 1 ? AdjustColor(BackColor(), -10, -10, -4, -1) : BackColor();
  if (row.selected) fill = selectedColor_;
  Canvas canvas(surface_);
  canvas.Fill(rect.left(), rect.top(), rect.right(), rect.bottom(), fill);
  const int textTop = rect.top() + (rect.height() - QFontMetrics(font()).height()) / 2;
  for (const ColumnSpan& span : Spans()) {
    const QString text = row.values[span.data].toString();
    CellText(canvas, font(), text, span.left, span.right, textTop, columns_[span.data].align, TextColor(row));
    if (vLineColor_ != kDefaultColor)
      canvas.Line(span.right - 1, rect.top(), span.right - 1, rect.bottom(), vLineColor_);
  }
  if (row.hLine)
    canvas.Line(rect.left(), rect.bottom(), rect.right(), rect.bottom(), SystemColor(kSysButtonShadow));
  if (item == current_ && hasFocus()) {
    QPainter& painter = canvas.Painter();
    painter.setPen(QPen(ToQColor(TextColor(row)), 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  update(rect);
}

void UC_ListView::DrawRows() {
  const QRect area(0, HeaderHeight(), width(), height() - HeaderHeight());
  Canvas(surface_).Fill(area.left(), area.top(), area.right(), area.bottom(), BackColor());
  for (int32_t item = topItem_; item < topItem_ + VisibleRows(); ++item) DrawRow(item);
  if (HasVBar()) DrawVBar();
  update(area);
}

void UC_ListView::DrawVBar() {
  const QRect bar = VBarRect();
  const QRect thumb = ThumbRect();
  Canvas canvas(surface_);
  canvas.Fill(bar.left(), bar.top(), bar.right(), bar.bottom(), ThemeColor(1));
  canvas.Line(bar.left(), bar.top(), bar.left(), bar.bottom(), SystemColor(kSysButtonShadow));
  Surface face(thumb.size());
  PaintFace(face, 8);
  canvas.Copy(thumb.left(), thumb.top(), face.Image(), face.Image().rect());
  update(bar);
}

}  // namespace lumora
