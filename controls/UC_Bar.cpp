#include "controls/UC_Bar.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <algorithm>

#include "controls/FontRegistry.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {

UC_Bar::UC_Bar(QWidget* parent) : DrawnWidget(parent), textFont_(SharedFont(9)) {}

void UC_Bar::SetStyle(float pSize, bool pBold, const QString& pName, Color pForeColor) {
  textFont_ = SharedFont(pSize, pBold, false, pName);
  textColor_ = pForeColor;
}

void UC_Bar::SetBarColor(Color color) {
  barColor_ = ResolveColor(color);
  PaintImages();
}

void UC_Bar::SetNoGrad(int32_t noGrad) {
  noGrad_ = noGrad != 0;
  PaintImages();
}

void UC_Bar::resizeEvent(QResizeEvent*) {
  if (SizeChanged()) PaintImages();
}

void UC_Bar::PaintImages() {
  surface_.Resize(size());
  const QSize inner = (size() - QSize(2, 2)).expandedTo(QSize(1, 1));
  trough_.Resize(inner);
  const Color shadow = SysColor(kSysButtonShadow);
  PaintFace(trough_, 2, AdjustColor(shadow, 20, 20, 20, -1), AdjustColor(shadow, -40, -40, -40, -1));
  bar_.Resize(inner);
  if (noGrad_)
    bar_.SetBackColor(barColor_);
  else
    PaintFace(bar_, 5, barColor_, AdjustColor(barColor_, 90, 90, 90, -1), barColor_);
  SetValue(value_);
}

void UC_Bar::SetValue(int32_t v) {
  if (clicked_) return;
  value_ = std::clamp(v, 0, std::max(max_, 0));
  DrawTo(value_ == 0 || max_ <= 0 ? 2
                                  : static_cast<int>(RoundHalfEven(LengthPx() * double(value_) / max_ + 2)));
}

int32_t UC_Bar::ValueAt(int xPx) const {
  if (max_ <= 0) return 0;
  const int64_t v = RoundHalfEven((xPx - 2.0) / LengthPx() * max_);
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, max_));
}

void UC_Bar::DrawTo(int xPx) {
  if (SizeChanged()) PaintImages();  // a size set before the widget was shown
  xPx = std::clamp(xPx, 2, LengthPx() + 2);
  {
    Canvas c(surface_);
    c.Copy(1, 1, trough_.Image(), trough_.Image().rect());
    const int shown = xPx - 1;
    c.Copy(1, 1, bar_.Image(), QRect(bar_.W() - shown, 0, shown, bar_.H()));
  }
  EdgeBox(surface_, 0, 0, PxToTwips(width()), PxToTwips(height()), true);
  if (!text_.isEmpty()) {
    const QFontMetrics m(textFont_);
    const int x = std::max(0, (width() - m.horizontalAdvance(text_)) / 2);
    Canvas(surface_).Text(x, (height() - m.height()) / 2, text_, textColor_, textFont_);
  }
  Refresh();
}

void UC_Bar::SetFromPointer(int xPx) {
  DrawTo(xPx);
  value_ = ValueAt(xPx);
}

void UC_Bar::mousePressEvent(QMouseEvent* event) {
  if (locked_ || event->button() != Qt::LeftButton) return;
  lastX_ = event->position().toPoint().x();
  SetFromPointer(lastX_);
  clicked_ = true;
  emit MouseUD(true);
}

void UC_Bar::mouseMoveEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x();
  if (locked_ || !(event->buttons() & Qt::LeftButton) || x == lastX_) return;
  lastX_ = x;
  SetFromPointer(x);
  emit Scrolled();
}

void UC_Bar::mouseReleaseEvent(QMouseEvent* event) {
  if (locked_) return;
  if (event->button() != Qt::LeftButton) {
    emit RightClicked(false);
    return;
  }
  SetFromPointer(event->position().toPoint().x());
  clicked_ = false;
  emit MouseUD(false);
}

}  // namespace lumora
