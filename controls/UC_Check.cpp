#include "controls/UC_Check.h"

#include <QMouseEvent>
#include <QPolygon>
#include <algorithm>

#include "controls/FontRegistry.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr int kBoxTwips = 240;   // box side at SizeRate 1
constexpr int kCaptionGap = 4;   // pixels between the box and the caption
constexpr int kDotRadius = 60;   // twips, whatever the SizeRate
constexpr int kDotCentre = 105;  // twips right of and below the box's corner, at SizeRate 1
// The check mark as one closed pen path, in twips at SizeRate 1 from the box's corner.
constexpr int kMark[][2] = {{45, 105}, {105, 165}, {180, 45}, {90, 135}};
}  // namespace

UC_Check::UC_Check(QWidget* parent) : SkinnedControl(parent) {
  surface_.SetBackColor(SystemColor(kSysButtonFace));
}

void UC_Check::SetEnabled(bool on) {
  setEnabled(on);
  Draw();
}

void UC_Check::SetCaption(const QString& caption) {
  caption_ = caption;
  Layout();
}

void UC_Check::SetFontSize(float size) { fontSize_ = size; }

void UC_Check::SetSizeRate(float rate) {
  sizeRate_ = rate;
  Layout();
}

void UC_Check::SetValue(int32_t value) {
  value_ = value;
  Draw();
}

void UC_Check::SetGradhdc(const QImage* boxImage) {
  if (boxImage == nullptr) return;
  boxImage_ = boxImage;
  Draw();
}

void UC_Check::SetIsOption(int32_t option) {
  isOption_ = option;
  Draw();
}

void UC_Check::SetBGPic(int pX, int pY, const Surface* background) {
  background_ = background;
  backgroundAt_ = QPoint(TwipsToPx(pX), TwipsToPx(pY));
  Draw();
}

void UC_Check::CloseBGObj() {
  background_ = nullptr;
  Draw();
}

int UC_Check::BoxPixels() const { return TwipsToPx(static_cast<int>(RoundHalfEven(sizeRate_ * kBoxTwips))); }

void UC_Check::Layout() {
  SetControlFont(&surface_, -2, nullptr, fontSize_, false, false, {});
  const QFontMetrics metrics(surface_.Font());
  const int box = BoxPixels();
  const int textWidth = caption_.isEmpty() ? 0 : kCaptionGap + metrics.horizontalAdvance(caption_) + 2;
  const int height = std::max(box, metrics.height());
  textTop_ = (height - metrics.height()) / 2;
  // The box's own face, lit from above, for windows that hand over no shared one.
  ownBox_.Resize(QSize(box, box));
  const Color face = SysColor(kSysButtonFace);
  PaintFace(ownBox_, 5, SystemColor(kSys3DHighlight), AdjustColor(face, 24, 24, 24, -1), face);
  Canvas frame(ownBox_);
  frame.Line(0, 0, box - 1, 0, SystemColor(kSysButtonShadow));
  frame.Line(0, 0, 0, box - 1, SystemColor(kSysButtonShadow));
  frame.Line(box - 1, 0, box - 1, box - 1, SystemColor(kSysButtonShadow));
  frame.Line(0, box - 1, box - 1, box - 1, SystemColor(kSysButtonShadow));
  laidOut_ = true;
  resize(box + textWidth, height);
  Draw();
}

void UC_Check::Draw() {
  if (!laidOut_) return Layout();
  if (SizeChanged()) surface_.Resize(size());
  CopyBackground(background_, backgroundAt_);
  const Color ink = SystemColor(isEnabled() ? kSysButtonText : kSysButtonShadow);
  const int box = BoxPixels();
  const int boxTop = (height() - box) / 2;
  Canvas canvas(surface_);
  canvas.Text(box + kCaptionGap, textTop_, caption_, ink, surface_.Font());
  canvas.Copy(0, boxTop, boxImage_ != nullptr ? *boxImage_ : ownBox_.Image(), QRect(0, 0, box, box));
  if (value_ == 1) DrawMark(canvas, boxTop, ink);
  Refresh();
}

void UC_Check::DrawMark(Canvas& canvas, int boxTop, Color color) const {
  QPainter& painter = canvas.Painter();
  painter.setPen(ToQColor(color));
  painter.setBrush(ToQColor(color));
  if (isOption_) {
    // The dot keeps its size but stays in the middle of a scaled box.
    const int centre = TwipsToPx(static_cast<int>(kDotCentre * sizeRate_));
    const int radius = TwipsToPx(kDotRadius);
    painter.drawEllipse(QPoint(centre, boxTop + centre), radius, radius);
    return;
  }
  QPolygon mark;
  for (const auto& [x, y] : kMark) {
    mark << QPoint(TwipsToPx(static_cast<int>(x * sizeRate_)),
                   boxTop + TwipsToPx(static_cast<int>(y * sizeRate_)));
  }
  painter.drawPolygon(mark);
}

void UC_Check::mouseReleaseEvent(QMouseEvent*) {
  // A check box toggles; an option button only ever becomes selected.
  if (isOption_) {
    if (value_ == 0) value_ = 1;
  } else {
    value_ = value_ == 1 ? 0 : 1;
  }
  Draw();
  emit Click();
}

}  // namespace lumora
