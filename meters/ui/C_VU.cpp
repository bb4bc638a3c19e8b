#include "meters/ui/C_VU.h"

#include <QFontMetrics>

#include "controls/FontRegistry.h"
#include "controls/Surface.h"
#include "controls/Twips.h"
#include "meters/MeterScale.h"
#include "meters/ui/MeterPicture.h"
#include "support/Rounding.h"

namespace lumora {

namespace {
constexpr float kNoHold = 99.0f;
constexpr float kBottomDb = -99.9f;

// The pixel a twips value lies in, rounded to a whole twip first as surfaces
// measure their extent.
int ToPx(double twips) { return TwipsToPx(static_cast<int>(RoundHalfEven(twips))); }

void ApplyFont(Surface& surface, float size) {
  SetControlFont(FontTarget(&surface), -2, nullptr, size, false, false, QString());
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

float C_VU::BarThickness() const { return static_cast<float>((2 * barWidth_ - 1) * Tpp()); }

float C_VU::BarCentre(int32_t bar) const {
  const float h = BarThickness();
  return static_cast<float>(RoundHalfEven((barMargin_ + h) * bar + topMargin_ + h / 2));
}

// The scale goes on to +10 dB, but the bar ends at 0 dB: only the RMS+3db
// option reads higher, and a bar drawn past its end would leave pixels beside
// the reading that no later draw clears.
float C_VU::MeterX(float db, bool interpolate) const {
  const float pos = std::min<float>(DbToMeterPos(db, interpolate), kMeterZeroDbPos);
  return pos / kMeterZeroDbPos * barLength_ + barXStart_;
}

void C_VU::SetParms() {
  if (!picture_) return;
  barLength_ = picture_->ScaleWidth() - barXStart_ - barXEnd_;
  const int64_t xr = RoundHalfEven(MeterX(redPoint_, false));
  redX_ = static_cast<float>(xr / Tpp() * Tpp());
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
    red_.push_back(MakeColor(a, b, b));
    green_.push_back(MakeColor(b, a, b));
    grey_.push_back(MakeColor(a, a, a));
  }
}

void C_VU::ApplyFontSize(int32_t type) {
  if (currentFontSize_ == fontSize_[type]) return;
  ApplyFont(picture_->Drawing(), fontSize_[type]);
  currentFontSize_ = fontSize_[type];
}

void C_VU::MeasureFonts() {
  const Surface& surface = picture_->Drawing();
  for (int32_t k = 0; k < 3; ++k) {
    ApplyFontSize(k);
    FontMetrics& m = metrics_[k];
    m.height = static_cast<float>(surface.TextHeight());
    m.width = static_cast<float>(surface.TextWidth(QStringLiteral("\u6f22")));
    m.halfHeight = static_cast<float>(RoundHalfEven(m.height / 2));
    if (k != 1) continue;
    // Labels centred on LabelX + one full-width character.
    for (size_t n = 0; n < labels_.size(); ++n) {
      labelOffsets_[n] = static_cast<float>(RoundHalfEven(m.width - surface.TextWidth(labels_[n]) / 2.0));
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

void C_VU::Box(Canvas& canvas, float x1, float y1, float x2, float y2, Color colour) {
  const QPoint a(ToPx(x1), ToPx(y1)), b(ToPx(x2), ToPx(y2));
  canvas.Fill(a.x(), a.y(), b.x(), b.y(), colour);
  changed_ |= QRect(a, b).normalized();
}

// The gradient: boxes from the outermost rows (darkest) in to the centre row
// (brightest), each `barWidthStep_` rows narrower on both sides.
void C_VU::NestedBoxes(Canvas& canvas, float y, float x1, float x2, const std::vector<Color>& colours) {
  for (int32_t i = barWidth_ - 1; i >= 0; i -= barWidthStep_) {
    Box(canvas, x1, y - i * Tpp(), x2, y + i * Tpp(), colours[barWidth_ - 1 - i]);
  }
}

void C_VU::Print(Canvas& canvas, const Surface& surface, float x, float y, const QString& text) {
  const QPoint topLeft(ToPx(x), ToPx(y));
  canvas.Text(topLeft.x(), topLeft.y(), text, surface.ForeColor(), surface.Font());
  const QFontMetrics fm(surface.Font());
  changed_ |= QRect(topLeft, QSize(fm.horizontalAdvance(text), fm.height()));
}

void C_VU::DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) {
  if (!picture_ || bar < 0 || bar > numValue_ || green_.empty()) return;
  Surface& surface = picture_->Drawing();
  const int tpp = Tpp();
  const float y = BarCentre(bar);
  const float width = static_cast<float>(picture_->ScaleWidth());
  const float half = metrics_[0].halfHeight;
  changed_ = QRect();
  Canvas canvas(surface);
  if (!useBG_) {
    Box(canvas, barXStart_ + tpp, y - barWidth_ * tpp, barXStart_ + barLength_, y + barWidth_ * tpp,
        surface.BackColor());
  }
  const float xs = std::max(MeterX(rmsDb, true), barXStart_);
  if (xs > redX_) {
    NestedBoxes(canvas, y, redX_ + tpp, xs, red_);
    NestedBoxes(canvas, y, barXStart_, redX_, green_);
  } else {
    NestedBoxes(canvas, y, barXStart_, xs, green_);
  }
  const float xp = std::max(MeterX(peakDb, true) - 3 * tpp, barXStart_);
  NestedBoxes(canvas, y, xp, xp + 3 * tpp, grey_);
  if (holdDb != kNoHold) {
    const float xh = std::max(MeterX(holdDb, true) - tpp, barXStart_);
    NestedBoxes(canvas, y, xh, xh + tpp, grey_);
  }
  if (!useBG_) Box(canvas, barXStart_ + barLength_ + tpp, y - half, width, y + half, surface.BackColor());
  if (!text.empty()) {
    const QString reading = QString::fromStdString(text);
    ApplyFontSize(0);
    Print(canvas, surface, width - surface.TextWidth(reading) - dbXneg_, y - half, reading);
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
  Surface& surface = target.Drawing();
  const int tpp = Tpp();
  changed_ = QRect();
  Canvas canvas(surface);
  // The target's font is set here every time: the size cache belongs to the own picture.
  ApplyFont(surface, fontSize_[1]);
  for (int32_t n = 0; n <= numValue_; ++n) {
    Print(canvas, surface, labelOffsets_[n] + labelX_, BarCentre(n) - metrics_[1].halfHeight, labels_[n]);
  }
  ApplyFont(surface, fontSize_[2]);
  if (&target == picture_) currentFontSize_ = fontSize_[2];
  const float ys = (numValue_ + 1) * BarThickness() + topMargin_ + numValue_ * barMargin_ + tpp + barMargin_;
  const int bottom = ToPx(picture_->ScaleHeight() - 2 * tpp);
  for (const Tick& tick : kTicks) {
    const float x = MeterX(tick.db, false);
    // A tick line leaves out its end point.
    if (bottom > ToPx(ys)) {
      canvas.Fill(ToPx(x), ToPx(ys), ToPx(x), bottom - 1, surface.ForeColor());
      changed_ |= QRect(QPoint(ToPx(x), ToPx(ys)), QPoint(ToPx(x), bottom - 1));
    }
    if (*tick.text) Print(canvas, surface, x + 2 * tpp, ys + tpp, QString::fromLatin1(tick.text));
  }
  target.Changed(changed_);
}

int32_t C_VU::PictureHeight() const {
  const int tpp = Tpp();
  return static_cast<int32_t>(RoundHalfEven((numValue_ + 1) * BarThickness() + topMargin_ +
                                            numValue_ * barMargin_ + (tpp + barMargin_) + tpp +
                                            fontSize_[2] * tpp + 6 * tpp));
}

}  // namespace lumora
