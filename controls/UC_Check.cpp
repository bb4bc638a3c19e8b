#include "controls/UC_Check.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "controls/Drawing.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr int32_t kBoxTwips = 240;   // box side at SizeRate 1
constexpr int32_t kCaptionGap = 4;   // pixels between the box and the caption
constexpr int32_t kDotRadius = 60;   // twips, whatever the SizeRate
constexpr int32_t kDotCentre = 105;  // twips right of and below the box's corner, at SizeRate 1
// The check mark as one closed pen path, in twips at SizeRate 1 from the box's corner.
constexpr int32_t kMark[][2] = {{45, 105}, {105, 165}, {180, 45}, {90, 135}};
}  // namespace

UC_Check::UC_Check(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void UC_Check::Enabled(bool on) {
  setEnabled(on);
  Draw();
}

void UC_Check::Caption(const QString& caption) {
  caption_ = caption;
  Layout();
}

void UC_Check::FontSize(float size) { fontSize_ = size; }

void UC_Check::SizeRate(float rate) {
  sizeRate_ = rate;
  Layout();
}

void UC_Check::Value(int32_t value) {
  value_ = value;
  Draw();
}

void UC_Check::Gradhdc(const QImage* image) {
  if (image == nullptr) return;
  boxImage_ = image;
  Draw();
}

void UC_Check::IsOption(int32_t option) {
  isOption_ = option;
  Draw();
}

void UC_Check::SetBGPic(int32_t pX, int32_t pY, const QImage* pObj) {
  background_ = pObj;
  backgroundAt_ = QPoint(pX / Tpp(), pY / Tpp());
  Draw();
}

void UC_Check::CloseBGObj() {
  background_ = nullptr;
  Draw();
}

int32_t UC_Check::BoxPixels() const {
  return static_cast<int32_t>(RoundHalfEven(sizeRate_ * kBoxTwips)) / Tpp();
}

void UC_Check::Layout() {
  setFont(RegistryFont(SetControlFont(-2, fontSize_, false, false, QString())));
  const QFontMetrics metrics(font());
  const int32_t box = BoxPixels();
  const int32_t textWidth = caption_.isEmpty() ? 0 : metrics.horizontalAdvance(caption_) + kCaptionGap + 2;
  const int32_t height = std::max(box, metrics.height());
  textTop_ = (height - metrics.height()) / 2;
  ownBox_ = QImage(box, box, QImage::Format_RGB32);
  PaintFace(ownBox_, 5, SystemColor(20), AdjustColor(SystemColor(15), 20, 20, 20, -1), SystemColor(15));
  QPainter painter(&ownBox_);
  painter.setPen(ColorOf(SystemColor(16)));
  painter.drawRect(0, 0, box - 1, box - 1);
  painter.end();
  laidOut_ = true;
  resize(box + textWidth, height);
  Draw();
}

void UC_Check::Draw() {
  if (!laidOut_) return Layout();
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
  CopyBackground(surface_, background_, backgroundAt_, SystemColor(15));
  const QColor ink = ColorOf(SystemColor(isEnabled() ? 18 : 16));
  const int32_t box = BoxPixels();
  const int32_t boxTop = (height() - box) / 2;
  QPainter painter(&surface_);
  painter.setFont(font());
  painter.setPen(ink);
  painter.drawText(QRect(box + kCaptionGap, textTop_, width(), height()), Qt::AlignLeft | Qt::AlignTop,
                   caption_);
  painter.drawImage(QPoint(0, boxTop), boxImage_ != nullptr ? *boxImage_ : ownBox_, QRect(0, 0, box, box));
  if (value_ == 1) DrawMark(painter, boxTop, ink);
  update();
}

void UC_Check::DrawMark(QPainter& painter, int32_t boxTop, const QColor& color) const {
  painter.setPen(color);
  painter.setBrush(color);
  if (isOption_) {
    // The dot keeps its size but stays in the middle of a scaled box.
    const int32_t centre = static_cast<int32_t>(kDotCentre * sizeRate_) / Tpp();
    const int32_t radius = kDotRadius / Tpp();
    painter.drawEllipse(QPoint(centre, boxTop + centre), radius, radius);
    return;
  }
  QPolygon mark;
  for (const auto& [x, y] : kMark) {
    mark << QPoint(static_cast<int32_t>(x * sizeRate_) / Tpp(),
                   boxTop + static_cast<int32_t>(y * sizeRate_) / Tpp());
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

void UC_Check::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

}  // namespace lumora
