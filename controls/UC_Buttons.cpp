#include "controls/UC_Buttons.h"

#include <QFontMetrics>
#include <QMouseEvent>

#include "controls/ButtonIcons.h"
#include "controls/FontRegistry.h"
#include "controls/MouseCodes.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

constexpr int kDesignStyle[] = {7, 12, 13, 14};

}  // namespace

UC_Buttons::UC_Buttons(QWidget* parent) : DrawnWidget(parent), icons_(ButtonIconLibrary()) {
  setMouseTracking(true);
  buttons_.resize(1);
}

void UC_Buttons::SetNumButtons(int32_t count) {
  buttons_.assign(static_cast<size_t>(std::max(1, count)), Button{});
  laidOut_ = false;
}

void UC_Buttons::SetDesignType(int32_t design) {
  designType_ = design;
  if (design == 1) SetSelectedColor(0xFFFFFF);
}

void UC_Buttons::SetSelectedColor(Color color) {
  selectedColor_ = ResolveColor(color);
  selectedDark_ = AdjustColor(selectedColor_, -70, -70, -70, -1);
}

void UC_Buttons::ApplyFont() {
  SetControlFont(&surface_, -2, nullptr, fontSize_, fontBold_, false, fontFace_);
}

void UC_Buttons::SetFontSize(float size) {
  fontSize_ = size;
  ApplyFont();
}

void UC_Buttons::SetFontFace(const QString& face) {
  fontFace_ = face;
  ApplyFont();
}

void UC_Buttons::SetFontBold(bool bold) {
  fontBold_ = bold;
  ApplyFont();
}

void UC_Buttons::resizeEvent(QResizeEvent*) {
  if (SizeChanged()) Layout();
}

void UC_Buttons::Layout() {
  if (inLayout_) return;
  inLayout_ = true;
  selectedDark_ = AdjustColor(selectedColor_, -70, -70, -70, -1);
  ApplyFont();
  const bool anyIcon = std::any_of(buttons_.begin(), buttons_.end(),
                                   [](const Button& b) { return b.normalIcon != -1 || b.activeIcon != -1; });
  if (anyIcon && !iconsTinted_) {
    TintIcons(icons_, ToQRgb(SystemColor(kSysButtonFace)));
    iconsTinted_ = true;
  }
  // Automatic ears follow the design of each layout, so a later design change gets its own.
  ears_ = mimiWidth_ == -1 ? (designType_ == 0 ? 8 : 0) : mimiWidth_;
  const int n = NumButtons();
  bw_ = std::max(1, (width() - (2 * ears_ + 2)) / n);
  resize(bw_ * n + 2 * ears_ + 2, height());
  bh_ = std::max(1, height());
  surface_.Resize(size());
  face_.Resize(QSize(bw_, bh_));
  PaintFace(face_, -2);
  PaintFace(surface_, -2);
  PaintFace(face_, kDesignStyle[std::clamp(designType_, 0, 3)]);
  if (ears_ > 0) {
    Canvas c(surface_);
    const QRect ear(0, 0, ears_, bh_);
    c.Copy(0, 0, face_.Image(), ear);
    c.Copy(bw_ * n + ears_ + 1, 0, face_.Image(), ear);
    const Color shadow = SysColor(kSys3DDarkShadow);
    c.Line(ears_, 0, ears_, bh_ - 1, shadow);
    c.Fill(width() - 1, 0, width() - 1, bh_ - 1, shadow);
  }
  laidOut_ = true;
  for (int i = 0; i < n; ++i) {
    buttons_[i].x = bw_ * i + ears_ + 1;
    PlaceContent(i);
    DrawButton(i, 0);
  }
  Refresh();
  inLayout_ = false;
}

void UC_Buttons::PlaceContent(int i) {
  Button& b = buttons_[i];
  if (b.normalIcon != -1 || b.activeIcon != -1) {
    b.at = QPoint(b.x + bw_ / 2 - 9, bh_ / 2 - 9);
  } else {
    const QFontMetrics m(surface_.Font());
    b.at = QPoint(static_cast<int>(RoundHalfEven(b.x + bw_ / 2.0 - m.horizontalAdvance(b.caption) / 2.0)),
                  static_cast<int>(RoundHalfEven(bh_ / 2.0 - m.height() / 2.0)));
  }
}

void UC_Buttons::DrawButton(int i, int state) {
  if (!laidOut_ || !Valid(i)) return;
  const Button& b = buttons_[i];
  const int offset = state == 1 ? 1 : 0;
  const bool lit = state == 1 || state == 2;
  {
    Canvas c(surface_);
    c.Fill(b.x, 0, b.x + bw_ - 1, bh_ - 1, surface_.BackColor());
    c.Copy(b.x, offset, face_.Image(), face_.Image().rect());
    const int icon = b.activeFlag == 1 && lit ? b.activeIcon : b.normalIcon;
    if (icon >= 0 && icon < kIconCount) {
      QPainter& p = c.Painter();
      p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
      p.drawImage(QPoint(b.at.x(), b.at.y() + offset), icons_,
                  QRect(icon * kIconSize, kIconSize, kIconSize, kIconSize));
      p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      p.drawImage(QPoint(b.at.x(), b.at.y() + offset), icons_,
                  QRect(icon * kIconSize, 0, kIconSize, kIconSize));
    }
  }
  if (b.normalIcon == -1 && b.activeIcon == -1 && !b.caption.isEmpty())
    DrawCaption(b, offset, b.on != 0 || lit || i == selectedButton_, !Enabled(i));
  Refresh(QRect(b.x, 0, bw_, bh_));
}

void UC_Buttons::DrawCaption(const Button& b, int offset, bool highlighted, bool disabled) {
  Canvas c(surface_);
  const Color light = SysColor(kSys3DHighlight);
  if (disable3D_ == 0) {
    const Color shadow = disabled ? light : highlighted ? selectedDark_ : ThemeColor(3);
    c.Text(b.at.x() + 1, b.at.y() + offset + 1, b.caption, shadow, surface_.Font());
  }
  Color color = disable3D_ == 0 ? light : ThemeColor(3);
  if (disabled && noGrayAtDisabled_ == 0)
    color = light;
  else if (highlighted)
    color = selectedColor_;
  c.Text(b.at.x(), b.at.y() + offset, b.caption, color, surface_.Font());
}

void UC_Buttons::DrawAll() {
  for (int i = 0; i < NumButtons(); ++i) DrawButton(i, 0);
}

int32_t UC_Buttons::GetButtonDisable(int16_t pIndex, int32_t pTemp) const {
  if (!Valid(pIndex)) return 0;
  return pTemp != 0 ? buttons_[pIndex].tempDisabled : buttons_[pIndex].disabled;
}

void UC_Buttons::SetButtonDisable(int16_t pIndex, int32_t pValue, int32_t pDraw, int32_t pTemp) {
  if (!Valid(pIndex)) return;
  (pTemp != 0 ? buttons_[pIndex].tempDisabled : buttons_[pIndex].disabled) = pValue;
  if (pDraw != 0) DrawButton(pIndex, 0);
}

void UC_Buttons::SetButtonDisableAll(int32_t pValue, int32_t pTemp) {
  for (int i = 0; i < NumButtons(); ++i) {
    (pTemp != 0 ? buttons_[i].tempDisabled : buttons_[i].disabled) = pValue;
    if (buttons_[i].activeFlag == 0) DrawButton(i, 0);
  }
}

void UC_Buttons::SetButtonState(int16_t pIndex, int16_t pMode) { DrawButton(pIndex, pMode); }

void UC_Buttons::SetPicIndexa(int32_t pIndex, int32_t pValue) {
  if (!Valid(pIndex)) return;
  Button& b = buttons_[pIndex];
  b.activeIcon = pValue;
  b.activeFlag = 1;
  b.caption.clear();
  if (laidOut_) PlaceContent(pIndex);
}

void UC_Buttons::SetPicIndexn(int32_t pIndex, int32_t pValue) {
  if (!Valid(pIndex)) return;
  buttons_[pIndex].normalIcon = pValue;
  buttons_[pIndex].caption.clear();
  if (laidOut_) PlaceContent(pIndex);
}

void UC_Buttons::ApplyIconPreset(int count, std::initializer_list<int> normal,
                                 std::initializer_list<int> active, int flag) {
  SetNumButtons(count);
  for (int i = 0; i < count; ++i) {
    buttons_[i].normalIcon = normal.begin()[i];
    buttons_[i].activeIcon = active.begin()[i];
    buttons_[i].activeFlag = flag;
  }
}

void UC_Buttons::SetButtonsMCI() { ApplyIconPreset(3, {1, 2, 3}, {9, 10, 11}, 1); }
void UC_Buttons::SetButtonsPCXplay() { ApplyIconPreset(5, {15, 16, 1, 3, 17}, {18, 19, 9, 11, 20}, 1); }
void UC_Buttons::SetButtonsEditorCtrl() { ApplyIconPreset(4, {4, 5, 6, 7}, {4, 5, 6, 7}, 0); }
void UC_Buttons::SetButtonsEditorPlay() { ApplyIconPreset(4, {0, 1, 2, 3}, {8, 9, 10, 11}, 1); }

void UC_Buttons::SetOKCancel(int32_t pOKIsZero, int32_t pNoSize, int32_t pType) {
  SetNumButtons(2);
  buttons_[pOKIsZero != 0 ? 0 : 1].caption = QStringLiteral("OK");
  buttons_[pOKIsZero != 0 ? 1 : 0].caption = QStringLiteral("キャンセル");
  SetDesignType(pType);
  if (pNoSize == 0) {
    inLayout_ = true;  // one layout below, not one per resize
    resize(TwipsToPx(2400), TwipsToPx(330));
    inLayout_ = false;
  }
  Layout();
}

void UC_Buttons::SetSelectedButton(int32_t index) {
  const int previous = selectedButton_;
  selectedButton_ = index;
  DrawButton(previous, 0);
  DrawButton(index, 0);
}

void UC_Buttons::SetButtonChar(int32_t index, const QString& text) {
  if (!Valid(index)) return;
  Button& b = buttons_[index];
  b.caption = text;
  b.normalIcon = b.activeIcon = -1;
  if (laidOut_) PlaceContent(index);
}

QString UC_Buttons::GetButtonChar(int16_t pIndex) const {
  return Valid(pIndex) ? buttons_[pIndex].caption : QString();
}

void UC_Buttons::SetButtonOn(int16_t pIndex, int32_t pValue, int32_t pDraw) {
  if (!Valid(pIndex)) return;
  buttons_[pIndex].on = pValue;
  if (pDraw != 0) DrawButton(pIndex, 0);
}

int32_t UC_Buttons::GetButtonOn(int16_t pIndex) const { return Valid(pIndex) ? buttons_[pIndex].on : 0; }

void UC_Buttons::SetButtonCharNum() {
  for (int i = 0; i < NumButtons(); ++i) SetButtonChar(i, QString::number(i + 1));
}

int UC_Buttons::HitTest(int p) const {
  const int n = NumButtons();
  if (!laidOut_ || p < buttons_[0].x || p > buttons_[n - 1].x + bw_) return -1;
  for (int i = 0; i < n; ++i)
    if (buttons_[i].x + bw_ >= p) return i;
  return -1;
}

void UC_Buttons::Press(int x, Qt::MouseButton button) {
  lastX_ = x;
  pressed_ = HitTest(x);
  if (pressed_ < 0 || !Enabled(pressed_) || button != Qt::LeftButton) return;
  DrawButton(pressed_, 1);
  emit ButtonDown(pressed_);
}

void UC_Buttons::mousePressEvent(QMouseEvent* event) {
  Press(event->position().toPoint().x(), event->button());
}

void UC_Buttons::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Press(lastX_, Qt::LeftButton);
}

void UC_Buttons::mouseReleaseEvent(QMouseEvent* event) {
  const int i = pressed_;
  pressed_ = -1;
  if (i < 0 || !Enabled(i)) return;
  const QPoint p = event->position().toPoint();
  const Button& b = buttons_[i];
  const bool inside = p.x() >= b.x && p.x() <= b.x + bw_ && p.y() >= 0 && p.y() <= bh_;
  if (event->button() == Qt::LeftButton) {
    DrawButton(i, 0);  // also after a release outside: no button stays drawn pressed
    if (!inside) return;
    const int shift = ShiftMask(event->modifiers());
    if (shift != 0)
      emit ShiftClicked(i, shift);
    else
      emit ButtonClicked(i);
  } else if (event->button() == Qt::RightButton && inside) {
    emit RightClicked(i);
  }
}

void UC_Buttons::mouseMoveEvent(QMouseEvent* event) {
  const int index = HitTest(event->position().toPoint().x());
  if (index == hover_) return;
  hover_ = index;
  emit Hover(index);
}

}  // namespace lumora
