#include "meters/ui/LevelHistoryDisplay.h"

#include <algorithm>
#include <cstring>

#include "controls/Colors.h"
#include "meters/ui/MeterPicture.h"
#include "support/Rounding.h"

namespace lumora {

void LevelHistoryDisplay::SetupFormat(const LevelState& levels, float waveRate) {
  if (!picture_) return;
  const int32_t width = std::max(1, picture_->Drawing().W());
  const int32_t height = picture_->Drawing().H();
  channels_ = levels.format.nCh == 1 ? 1 : 2;
  centre_ = {static_cast<int32_t>(RoundHalfEven(height / (2.0 * channels_))),
             static_cast<int32_t>(RoundHalfEven(height / 4.0 * 3))};
  scale_ =
      levels.fullScale > 0 ? static_cast<double>(height) / channels_ / 2 / levels.fullScale * waveRate : 0;
  framesPerColumn_ = std::max<int64_t>(1, levels.historyWindow / width);
  Clear();
}

void LevelHistoryDisplay::Clear() {
  if (picture_) picture_->Clear();
}

void LevelHistoryDisplay::BeginHistory(int64_t first, int64_t last) {
  next_ = first;
  last_ = last;
  sum_ = {0, 0};
  count_ = 0;
  if (!picture_ || first > last) return;
  // Columns rounded to the nearest: a short last group still gets a column of
  // its own, which falls just outside the picture when the rounding went down.
  const int64_t columns = RoundHalfEven(static_cast<double>(last - first + 1) / framesPerColumn_);
  const int32_t width = picture_->Drawing().W();
  x_ = width - static_cast<int32_t>(std::min<int64_t>(columns, width));
  Scroll(width - x_);
}

// Old columns move left by `columns` pixels (memmove per row: a painter copying
// an image onto itself cannot be trusted with overlapping areas); the strip
// that opens at the right is cleared.
void LevelHistoryDisplay::Scroll(int32_t columns) {
  QImage& image = picture_->Drawing().Image();
  const int32_t width = image.width();
  const QRgb back = ToQRgb(picture_->Drawing().BackColor());
  for (int32_t y = 0; y < image.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::memmove(row, row + columns, sizeof(QRgb) * (width - columns));
    std::fill(row + width - columns, row + width, back);
  }
  if (columns > 0) picture_->Changed(image.rect());
}

void LevelHistoryDisplay::AddMagnitudes(std::span<const FrameMagnitudes> frames) {
  if (!picture_) return;
  for (const FrameMagnitudes& m : frames) {
    sum_[0] += m[0];
    sum_[1] += m[1];
    ++count_;
    if (count_ == framesPerColumn_ || next_ == last_) DrawColumn();
    ++next_;
  }
}

void LevelHistoryDisplay::DrawColumn() {
  for (int32_t lane = 0; lane < channels_; ++lane) {
    DrawLine(centre_[lane], static_cast<double>(sum_[lane]) / count_ * scale_);
  }
  sum_ = {0, 0};
  count_ = 0;
  ++x_;
}

// Rows round(c - m) up to, not including, round(c + m): silence paints nothing.
void LevelHistoryDisplay::DrawLine(int32_t centre, double halfLength) {
  QImage& image = picture_->Drawing().Image();
  if (x_ < 0 || x_ >= image.width()) return;
  const int64_t top = std::max<int64_t>(0, RoundHalfEven(centre - halfLength));
  const int64_t end = std::min<int64_t>(image.height(), RoundHalfEven(centre + halfLength));
  const QRgb colour = ToQRgb(picture_->Drawing().ForeColor());
  for (int64_t y = top; y < end; ++y)
    reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)))[x_] = colour;
}

}  // namespace lumora
