#include "controls/UC_Tab.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/Drawing.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr int32_t kTextPadding = 180;  // twips added to the widest text with UseIndpWidth
constexpr int32_t kLowered = 2;        // pixels an unselected tab sits below the selected one
}  // namespace

UC_Tab::UC_Tab(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  ApplyFont();
}

void UC_Tab::SetBGPic(int32_t pX, int32_t pY, const QImage* pObj) {
  background_ = pObj;
  backgroundAt_ = QPoint(pX / Tpp(), pY / Tpp());
  Draw();
}

void UC_Tab::TabMinWidth(int32_t twips) {
  minWidth_ = twips;
  Draw();
}

void UC_Tab::UseIndpWidth(int32_t on) { indpWidth_ = on != 0; }

void UC_Tab::SelectedTab(int32_t index) { selected_ = index; }

void UC_Tab::ClickDisabled(int32_t on) { clickDisabled_ = on != 0; }

void UC_Tab::TabHidden(int32_t pIndex, int32_t pValue) {
  if (pIndex < 0 || pIndex >= NumTab()) return;
  tabs_[pIndex].hidden = pValue != 0;
  Renumber();
  Draw();
}

void UC_Tab::Renumber() {
  int32_t place = 0;
  for (Tab& tab : tabs_) tab.place = tab.hidden ? -1 : place++;
}

void UC_Tab::FontSize(float size) {
  fontSize_ = static_cast<int32_t>(RoundHalfEven(size));
  ApplyFont();
  Draw();
}

void UC_Tab::ApplyFont() {
  setFont(RegistryFont(SetControlFont(-2, static_cast<float>(fontSize_), false, false, QString())));
  for (int32_t index = 0; index < NumTab(); ++index) TabStr(index, tabs_[index].text);
}

void UC_Tab::NumTab(int32_t count) {
  tabs_.resize(std::max(count, 0));
  Renumber();
  ApplyFont();
  Draw();
}

void UC_Tab::TabStr(int32_t pIndex, const QString& pValue) {
  if (pIndex < 0 || pIndex >= NumTab()) return;
  tabs_[pIndex].text = pValue;
  tabs_[pIndex].textWidth = QFontMetrics(font()).horizontalAdvance(pValue) * Tpp();
  if (indpWidth_) {
    const auto widest = std::max_element(
        tabs_.begin(), tabs_.end(), [](const Tab& a, const Tab& b) { return a.textWidth < b.textWidth; });
    for (Tab& tab : tabs_) tab.width = widest->textWidth + kTextPadding;
  }
  Draw();
}

void UC_Tab::TabWidth(int32_t pTab, int32_t pValue) {
  if (pTab < 0 || pTab >= NumTab()) return;
  tabs_[pTab].width = pValue;
  Draw();
}

int32_t UC_Tab::ShownWidth(const Tab& tab) const { return std::max(tab.width, minWidth_); }

int32_t UC_Tab::TabAt(int32_t xTwips) const {
  int32_t left = 0;
  for (int32_t index = 0; index < NumTab(); ++index) {
    if (tabs_[index].hidden) continue;
    const int32_t right = left + ShownWidth(tabs_[index]);
    if (left < xTwips && xTwips <= right) return index;
    left = right;
  }
  return -1;
}

void UC_Tab::Select(int32_t index) {
  selected_ = index;
  Draw();
  emit TabClicked(index);
}

void UC_Tab::mouseReleaseEvent(QMouseEvent* event) {
  if (clickDisabled_) return;
  const int32_t index = TabAt(static_cast<int32_t>(event->position().x()) * Tpp());
  if (index >= 0) Select(index);
}

void UC_Tab::RaiseMinTabClick() {
  if (clickDisabled_) return;
  const auto first = std::find_if(tabs_.begin(), tabs_.end(), [](const Tab& tab) { return !tab.hidden; });
  if (first != tabs_.end()) Select(static_cast<int32_t>(first - tabs_.begin()));
}

void UC_Tab::resizeEvent(QResizeEvent*) { Draw(); }

void UC_Tab::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

void UC_Tab::Draw() {
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
  if (surface_.isNull()) return;
  CopyBackground(surface_, background_, backgroundAt_, SystemColor(15));
  QPainter painter(&surface_);
  painter.setFont(font());
  const int32_t base = ThemeColor(1);
  const QColor border = ColorOf(SystemColor(16));
  const int32_t bottom = height() - 1;
  int32_t left = 0;
  for (int32_t index = 0; index < NumTab(); ++index) {
    const Tab& tab = tabs_[index];
    if (tab.hidden) continue;
    const int32_t right = left + ShownWidth(tab) / Tpp() - 1;
    const bool selected = index == selected_;
    const int32_t top = selected ? 0 : kLowered;
    if (selected) {
      painter.fillRect(QRect(QPoint(left, 0), QPoint(right, bottom)), ColorOf(base));
    } else {
      // The extra face of an unselected tab, one pixel in from its borders.
      QImage face(std::max(right - left - 1, 1), std::max(bottom - top - 1, 1), QImage::Format_RGB32);
      PaintFace(face, 5, base, AdjustColor(base, 0, 0, 0, 0.92f), AdjustColor(base, 0, 0, 0, 0.84f));
      painter.drawImage(left + 1, top + 1, face);
    }
    painter.setPen(border);
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, top, left, bottom);
    painter.drawLine(right, top, right, bottom);
    if (!selected) painter.drawLine(left, bottom, right, bottom);
    painter.setPen(ColorOf(selected ? SystemColor(8) : AdjustColor(base, 0, 0, 0, 0.65f)));
    painter.drawText(QRect(QPoint(left, top), QPoint(right, bottom)), Qt::AlignCenter, tab.text);
    left = right + 1;
  }
  painter.setPen(border);
  if (left < width()) painter.drawLine(left, bottom, width() - 1, bottom);
  update();
}

}  // namespace lumora
