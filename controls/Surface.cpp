#include "controls/Surface.h"

#include <QFontMetrics>
#include <algorithm>

#include "controls/Twips.h"

namespace lumora {

Surface::Surface(QSize size, Color back) : back_(ResolveColor(back)) { Resize(size); }

void Surface::Resize(QSize size) {
  image_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  Clear();
}

void Surface::SetBackColor(Color color) {
  back_ = ResolveColor(color);
  Clear();
}

void Surface::Clear() { image_.fill(ToQColor(back_)); }

int Surface::TextWidth(const QString& text) const {
  return PxToTwips(QFontMetrics(font_).horizontalAdvance(text));
}

int Surface::TextHeight() const { return PxToTwips(QFontMetrics(font_).height()); }

void Surface::Print(const QString& text) {
  Canvas(*this).Text(TwipsToPx(CurrentX), TwipsToPx(CurrentY), text, fore_, font_);
  CurrentX = 0;
  CurrentY += TextHeight();
}

Canvas::Canvas(Surface& surface) : Canvas(surface.Image()) {}

Canvas::Canvas(QImage& image) : painter_(&image) { painter_.setRenderHint(QPainter::Antialiasing, false); }

void Canvas::Line(int x1, int y1, int x2, int y2, Color color) {
  painter_.setPen(QPen(ToQColor(color), 0));
  painter_.drawLine(x1, y1, x2, y2);
}

void Canvas::Fill(int x1, int y1, int x2, int y2, Color color) {
  painter_.fillRect(
      QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
      ToQColor(color));
}

void Canvas::Pixel(int x, int y, Color color) { Fill(x, y, x, y, color); }

void Canvas::PenSegment(QPoint a, QPoint b, Color color, int width) {
  if (width <= 1) {
    painter_.setPen(QPen(ToQColor(color), 0));
  } else {
    painter_.setPen(QPen(ToQColor(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  }
  painter_.drawLine(a, b);
}

void Canvas::Text(int x, int y, const QString& text, Color color, const QFont& font) {
  painter_.setFont(font);
  painter_.setPen(ToQColor(color));
  painter_.drawText(x, y + QFontMetrics(font).ascent(), text);
}

void Canvas::Copy(int x, int y, const QImage& source, const QRect& sourceRect) {
  painter_.drawImage(QPoint(x, y), source, sourceRect);
}

}  // namespace lumora
