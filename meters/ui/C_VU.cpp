#include "meters/ui/C_VU.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "meters/MeterScale.h"
#include "meters/ui/MeterPicture.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr float kNoHold = 99.0f;
constexpr float kBottomDb = -99.9f;

// Whole pixels of a twips value: rounded to a whole twip, then the remainder of
// the division dropped, as every drawn surface converts its extent.
int32_t ToPixels(double twips, int32_t tpp) {
  const int64_t t = RoundHalfEven(twips);
  return static_cast<int32_t>(t >= 0 ? t / tpp : -((-t + tpp - 1) / tpp));
}

QFont FontOfSize(float points, int32_t tpp) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(std::max<int>(1, static_cast<int>(RoundHalfEven(points * 20.0 / tpp))));
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}
}  // namespace

C_VU::C_VU() { SetNumValue(0); }

void C_VU::SetFontSize(int32_t type, float size) {
  if (type >= 0 && type < 3) fontSize_[type] = size;
}

void C_VU::SetNumValue(int32_t numValue) {
  numValue_ = std::max(0, numValue);
  labels_.resize(numValue_ + 1);
  labelOffsets_.resize(numValue_ + 1);
}

void C_VU::SetMargin(float barXStart, float barXEnd, float labelX, float dbXneg) {
  for (auto [value, field] :
       {std::pair{barXStart, &barXStart_}, {barXEnd, &barXEnd_}, {labelX, &labelX_}, {dbXneg, &dbXneg_}}) {
    if (value != -1) *field = value;
  }
}

int32_t C_VU::BarXStart() const { return static_cast<int32_t>(RoundHalfEven(barXStart_)); }
int32_t C_VU::BarXEnd() const { return static_cast<int32_t>(RoundHalfEven(barXEnd_)); }

int32_t C_VU::Tpp() const { return picture_ ? picture_->Tpp() : 15; }
float C_VU::BarThickness() const { return static_cast<float>((2 * barWidth_ - 1) * Tpp()); }

float C_VU::BarCentre(int32_t bar) const {
  const float h = BarThickness();
  return static_cast<float>(RoundHalfEven((barMargin_ + h) * bar + topMargin_ + h / 2));
}

float C_VU::MeterX(float db, bool interpolate) const {
  return DbToMeterPos(db, interpolate) / kMeterZeroDbPos * barLength_ + barXStart_;
}

void C_VU::SetParms() {
  if (!picture_) return;
  const int32_t tpp = Tpp();
  barLength_ = picture_->ScaleWidth() - barXStart_ - barXEnd_;
  const int64_t xr =
      RoundHalfEven(DbToMeterPos(redPoint_, false) / kMeterZeroDbPos * barLength_ + barXStart_);
  redX_ = static_cast<float>(xr / tpp * tpp);
  ComputeColours();
  MeasureFonts();
  picture_->Clear();
}

void C_VU::ComputeColours() {
  red_.clear();
  green_.clear();
  grey_.clear();
  for (int32_t i = 0; i < barWidth_; ++i) {
    const int a = static_cast<int>(RoundHalfEven(120.0 / barWidth_ * i + 50));
    const int b = static_cast<int>(RoundHalfEven(80.0 / barWidth_ * i + 10));
    red_.emplace_back(a, b, b);
    green_.emplace_back(b, a, b);
    grey_.emplace_back(a, a, a);
  }
}

void C_VU::ApplyFontSize(int32_t type) {
  if (currentFontSize_ == fontSize_[type] && font_.pixelSize() > 0) return;
  font_ = FontOfSize(fontSize_[type], Tpp());
  currentFontSize_ = fontSize_[type];
}

float C_VU::TextWidth(const QString& text) const {
  return static_cast<float>(QFontMetricsF(font_).horizontalAdvance(text) * Tpp());
}

void C_VU::MeasureFonts() {
  const QString wide = QStringLiteral("\u6f22");
  for (int32_t k = 0; k < 3; ++k) {
    ApplyFontSize(k);
    FontMetrics& m = metrics_[k];
    m.height = static_cast<float>(QFontMetricsF(font_).height() * Tpp());
    m.width = TextWidth(wide);
    m.halfHeight = static_cast<float>(RoundHalfEven(m.height / 2));
    if (k != 1) continue;
    for (size_t n = 0; n < labels_.size(); ++n) {
      labelOffsets_[n] = static_cast<float>(RoundHalfEven(m.width - TextWidth(labels_[n]) / 2));
    }
  }
}

void C_VU::SetStrType(int32_t isNum) {
  for (int32_t n = 0; n <= numValue_; ++n) {
    labels_[n] = isNum ? QString::number(n + 1) : QString(n % 2 ? "R" : "L");
  }
}

void C_VU::SetStr(int32_t bar, const QString& label) {
  if (bar >= 0 && bar <= numValue_) labels_[bar] = label;
}

QRect C_VU::PixelRect(float x1, float y1, float x2, float y2) const {
  const int32_t tpp = Tpp();
  // Both corners belong to the box, whichever order they come in.
  return QRect(QPoint(ToPixels(x1, tpp), ToPixels(y1, tpp)), QPoint(ToPixels(x2, tpp), ToPixels(y2, tpp)))
      .normalized();
}

void C_VU::Box(QPainter& painter, float x1, float y1, float x2, float y2, QColor colour) {
  const QRect r = PixelRect(x1, y1, x2, y2);
  painter.fillRect(r, colour);
  changed_ |= r;
}

// The gradient: boxes from the outermost rows (darkest) in to the centre row
// (brightest), each `barWidthStep_` rows narrower on both sides.
void C_VU::NestedBoxes(QPainter& painter, float y, float x1, float x2, const std::vector<QColor>& colours) {
  const int32_t tpp = Tpp();
  for (int32_t i = barWidth_ - 1; i >= 0; i -= barWidthStep_) {
    Box(painter, x1, y - i * tpp, x2, y + i * tpp, colours[barWidth_ - 1 - i]);
  }
}

void C_VU::Print(QPainter& painter, float x, float y, const QString& text) {
  const int32_t tpp = Tpp();
  const QFontMetrics fm(font_);
  const QPoint topLeft(ToPixels(x, tpp), ToPixels(y, tpp));
  painter.setFont(font_);
  painter.drawText(topLeft + QPoint(0, fm.ascent()), text);
  changed_ |= QRect(topLeft, QSize(fm.horizontalAdvance(text), fm.height()));
}

void C_VU::DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) {
  if (!picture_ || bar < 0 || bar > numValue_ || green_.empty()) return;
  const int32_t tpp = Tpp();
  const float y = BarCentre(bar);
  const float width = static_cast<float>(picture_->ScaleWidth());
  const float half = metrics_[0].halfHeight;
  changed_ = QRect();
  QPainter painter(&picture_->Image());
  if (!useBG_) {
    Box(painter, barXStart_ + tpp, y - barWidth_ * tpp, barXStart_ + barLength_, y + barWidth_ * tpp,
        picture_->BackColor());
  }
  const float xs = std::max(MeterX(rmsDb, true), barXStart_);
  if (xs > redX_) {
    NestedBoxes(painter, y, redX_ + tpp, xs, red_);
    NestedBoxes(painter, y, barXStart_, redX_, green_);
  } else {
    NestedBoxes(painter, y, barXStart_, xs, green_);
  }
  const float xp = std::max(MeterX(peakDb, true) - 3 * tpp, barXStart_);
  NestedBoxes(painter, y, xp, xp + 3 * tpp, grey_);
  if (holdDb != kNoHold) {
    const float xh = std::max(MeterX(holdDb, true) - tpp, barXStart_);
    NestedBoxes(painter, y, xh, xh + tpp, grey_);
  }
  if (!useBG_) Box(painter, barXStart_ + barLength_ + tpp, y - half, width, y + half, picture_->BackColor());
  if (!text.empty()) {
    const QString reading = QString::fromStdString(text);
    ApplyFontSize(0);
    painter.setPen(picture_->ForeColor());
    Print(painter, width - TextWidth(reading) - dbXneg_, y - half, reading);
  }
  picture_->Changed(changed_);
}

void C_VU::ResetVU(int32_t bar) {
  for (int32_t n = 0; n <= numValue_; ++n) {
    if (bar == -1 || bar == n) DrawVU(n, kBottomDb, kBottomDb, "", kNoHold);
  }
}

void C_VU::DrawScale() {
  if (picture_) DrawScaleToPB(*picture_);
}

void C_VU::DrawScaleToPB(MeterPicture& target) {
  if (!picture_) return;
  struct Tick {
    float db;
    const char* text;
  };
  static constexpr Tick kTicks[] = {{0.0f, "0db"}, {-6.0f, "-6"},   {-12.0f, "-12"}, {-20.0f, "-20"},
                                    {-30.0f, ""},  {-40.0f, "-40"}, {-60.0f, ""},    {kBottomDb, ""}};
  const int32_t tpp = Tpp();
  const float h = BarThickness();
  changed_ = QRect();
  QPainter painter(&target.Image());
  painter.setPen(target.ForeColor());
  ApplyFontSize(1);
  for (int32_t n = 0; n <= numValue_; ++n) {
    Print(painter, labelOffsets_[n] + labelX_, BarCentre(n) - metrics_[1].halfHeight, labels_[n]);
  }
  ApplyFontSize(2);
  const float ys = (numValue_ + 1) * h + topMargin_ + numValue_ * barMargin_ + tpp + barMargin_;
  const float bottom = static_cast<float>(picture_->ScaleHeight() - 2 * tpp);
  for (const Tick& tick : kTicks) {
    const float x = DbToMeterPos(tick.db, false) / kMeterZeroDbPos * barLength_ + barXStart_;
    // A line leaves out its end point: the tick stops one row above `bottom`.
    const QRect line = PixelRect(x, ys, x, bottom).adjusted(0, 0, 0, -1);
    painter.fillRect(line, target.ForeColor());
    changed_ |= line;
    if (*tick.text) Print(painter, x + 2 * tpp, ys + tpp, QString::fromLatin1(tick.text));
  }
  target.Changed(changed_);
}

int32_t C_VU::PictureHeight() const {
  const int32_t tpp = Tpp();
  const float h = BarThickness();
  return static_cast<int32_t>(RoundHalfEven((numValue_ + 1) * h + topMargin_ + numValue_ * barMargin_ +
                                            (tpp + barMargin_) + tpp + fontSize_[2] * tpp + 6 * tpp));
}

}  // namespace lumora
