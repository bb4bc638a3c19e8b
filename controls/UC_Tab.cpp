#include "controls/UC_Tab.h"

#include <QMouseEvent>
#include <algorithm>

#include "controls/FontRegistry.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr int kTextPadding = 180;  // twips added to the widest text with UseIndpWidth
constexpr int kLowered = 2;        // pixels an unselected tab sits below the selected one
}  // namespace

UC_Tab::UC_Tab(QWidget* parent) : DrawnWidget(parent) {
  surface_.SetBackColor(SystemColor(kSysButtonFace));
  SetControlFont(&surface_, -2, nullptr, static_cast<float>(fontSize_), false, false, {});
}

void UC_Tab::SetBGPic(int pX, int pY, const Surface* background) {
  background_ = background;
  backgroundAt_ = QPoint(TwipsToPx(pX), TwipsToPx(pY));
  Draw();
}

void UC_Tab::SetTabMinWidth(int32_t twips) {
  minWidth_ = twips;
  Draw();
}

void UC_Tab::SetUseIndpWidth(int32_t on) { indpWidth_ = on != 0; }

void UC_Tab::SetSelectedTab(int32_t index) { selected_ = index; }

void UC_Tab::SetClickDisabled(int32_t on) { clickDisabled_ = on != 0; }

void UC_Tab::SetTabHidden(int32_t pIndex, int32_t pValue) {
  if (pIndex < 0 || pIndex >= NumTab()) return;
  tabs_[pIndex].hidden = pValue != 0;
  Draw();
}

void UC_Tab::SetFontSize(float size) {
  fontSize_ = static_cast<int>(RoundHalfEven(size));
  SetControlFont(&surface_, -2, nullptr, static_cast<float>(fontSize_), false, false, {});
  Measure();
  Draw();
}

void UC_Tab::SetNumTab(int32_t count) {
  tabs_.resize(static_cast<size_t>(std::max(count, 0)));
  SetControlFont(&surface_, -2, nullptr, static_cast<float>(fontSize_), false, false, {});
  Measure();
  Draw();
}

void UC_Tab::SetTabStr(int32_t pIndex, const QString& pValue) {
  if (pIndex < 0 || pIndex >= NumTab()) return;
  tabs_[pIndex].text = pValue;
  Measure();
  Draw();
}

void UC_Tab::Measure() {
  int widest = 0;
  for (Tab& tab : tabs_) {
    tab.textWidth = surface_.TextWidth(tab.text);
    widest = std::max(widest, tab.textWidth);
  }
  if (!indpWidth_) return;
  for (Tab& tab : tabs_) tab.width = widest + kTextPadding;
}

void UC_Tab::SetTabWidth(int32_t pTab, int32_t pValue) {
  if (pTab < 0 || pTab >= NumTab()) return;
  tabs_[pTab].width = pValue;
  Draw();
}

int UC_Tab::ShownWidth(const Tab& tab) const { return std::max(tab.width, minWidth_); }

int32_t UC_Tab::TabAt(int xTwips) const {
  int left = 0;
  for (int32_t index = 0; index < NumTab(); ++index) {
    if (tabs_[index].hidden) continue;
    const int right = left + ShownWidth(tabs_[index]);
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
  const int32_t index = TabAt(PxToTwips(static_cast<int>(event->position().x())));
  if (index >= 0) Select(index);
}

void UC_Tab::RaiseMinTabClick() {
  if (clickDisabled_) return;
  const auto first = std::find_if(tabs_.begin(), tabs_.end(), [](const Tab& tab) { return !tab.hidden; });
  if (first != tabs_.end()) Select(static_cast<int32_t>(first - tabs_.begin()));
}

void UC_Tab::resizeEvent(QResizeEvent*) { Draw(); }

void UC_Tab::Draw() {
  if (SizeChanged()) surface_.Resize(size());
  CopyBackground(background_, backgroundAt_);
  Canvas canvas(surface_);
  int left = 0;
  for (int32_t index = 0; index < NumTab(); ++index) {
    if (tabs_[index].hidden) continue;
    const int right = left + TwipsToPx(ShownWidth(tabs_[index])) - 1;
    DrawTab(canvas, tabs_[index], left, right, index == selected_);
    left = right + 1;
  }
  // The strip's base line runs on under the empty part, as under unselected tabs.
  if (left < width())
    canvas.Line(left, height() - 1, width() - 1, height() - 1, SystemColor(kSysButtonShadow));
  Refresh();
}

void UC_Tab::DrawTab(Canvas& canvas, const Tab& tab, int left, int right, bool selected) {
  const Color base = ThemeColor(1);
  const Color border = SystemColor(kSysButtonShadow);
  const int bottom = height() - 1;
  const int top = selected ? 0 : kLowered;
  if (selected) {
    canvas.Fill(left, 0, right, bottom, base);
  } else {
    // The extra face of an unselected tab, one pixel in from its borders.
    Surface face(QSize(right - left - 1, bottom - top - 1));
    PaintFace(face, 5, base, AdjustColor(base, 0, 0, 0, 0.92), AdjustColor(base, 0, 0, 0, 0.84));
    canvas.Copy(left + 1, top + 1, face.Image(), face.Image().rect());
    canvas.Line(left, bottom, right, bottom, border);
  }
  canvas.Line(left, top, right, top, border);
  canvas.Line(left, top, left, bottom, border);
  canvas.Line(right, top, right, bottom, border);
  const QFontMetrics metrics(surface_.Font());
  const int x = (left + right + 1 - metrics.horizontalAdvance(tab.text)) / 2;
  const int y = (top + bottom + 1 - metrics.height()) / 2;
  const Color ink = selected ? SystemColor(kSysWindowText) : AdjustColor(base, 0, 0, 0, 0.65);
  canvas.Text(x, y, tab.text, ink, surface_.Font());
}

}  // namespace lumora
