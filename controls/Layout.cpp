#include "controls/Layout.h"

#include <QComboBox>

#include "support/Rounding.h"

namespace lumora {

QRect TwipsRect(const QWidget& control) {
  const QRect g = control.geometry();
  return {PxToTwips(g.x()), PxToTwips(g.y()), PxToTwips(g.width()), PxToTwips(g.height())};
}

void PlaceCaption(Surface& surface, const QRect& control, const QString& text, int position, int dx, int dy) {
  const int w = surface.TextWidth(text);
  const int h = surface.TextHeight();
  const int left = control.x();
  const int top = control.y();
  const int right = control.x() + control.width();
  const int bottom = control.y() + control.height();
  const int middle = top + (control.height() - h) / 2;
  const int above = top - h - 30;
  const struct {
    int x, y;
  } at[] = {{left - w - 90, top + 60}, {left + 30, above},
            {right + 30, top + 60},    {left + control.width() / 2 - w / 2, above},
            {left + 30, bottom + 30},  {right - w, bottom + 30},
            {left - w - 90, middle},   {right + 30, middle}};
  if (position >= 0 && position < 8) {
    surface.CurrentX = at[position].x + dx;
    surface.CurrentY = at[position].y + dy;
  }
  surface.Print(text);
}

void PlaceCaption(Surface& surface, const QWidget& control, const QString& text, int position, int dx,
                  int dy) {
  PlaceCaption(surface, TwipsRect(control), text, position, dx, dy);
}

QString FitText(const QString& text, const Surface& surface, int maxWidth, bool keepEnd) {
  if (text.size() < 2 || surface.TextWidth(text) <= maxWidth) return text;
  const auto piece = [&](qsizetype k) { return keepEnd ? text.right(k) : text.left(k); };
  qsizetype k = 2;
  while (k < text.size() && surface.TextWidth(piece(k)) <= maxWidth) ++k;
  return piece(k - 1);
}

void PlaceNextTo(QWidget& control, const QWidget& reference, int side, int gap, int align, int value) {
  if (gap == -1) gap = PxToTwips(2);
  const QRect ref = TwipsRect(reference);
  const QRect own = TwipsRect(control);
  int left = own.x();
  int top = own.y();
  const int refBottom = ref.y() + ref.height();
  switch (side) {
    case 0:
      top = refBottom + gap;
      break;
    case 1:
      left = ref.x() + ref.width() + gap;
      break;
    case 2:
      top = ref.y() + (ref.height() - own.height()) / 2;
      break;
    case 3:
      left = ref.x() + ref.width() + gap - own.width();
      break;
    default:
      return;
  }
  const bool movesTop = side == 1 || side == 3;
  if (align == 1) {
    if (side == 3)
      top = refBottom + gap;
    else if (movesTop)
      top = ref.y();
    else
      left = ref.x();
  } else if (align == 2) {
    (movesTop ? top : left) = value;
  }
  control.move(TwipsToPx(left), TwipsToPx(top));
}

int ScaledPx(int twips, double factor) { return static_cast<int>(RoundHalfEven(twips * factor)) / Tpp(); }

void ScaleControl(double factor, QWidget& control, bool keepWidth, bool keepHeight, bool movePosition,
                  bool scaleFont) {
  if (factor == 1) return;
  const QRect t = TwipsRect(control);
  const QRect px = control.geometry();
  control.setGeometry(movePosition ? ScaledPx(t.x(), factor) : px.x(),
                      movePosition ? ScaledPx(t.y(), factor) : px.y(),
                      keepWidth ? px.width() : ScaledPx(t.width(), factor),
                      keepHeight ? px.height() : ScaledPx(t.height(), factor));
  if (!scaleFont) return;
  for (int i = 0; i < FontCount(); ++i) {
    const FontEntry& e = FontAt(i);
    if (e.font != control.font()) continue;
    SetControlFont(&control, -2, nullptr, static_cast<float>(e.pointSize * factor), e.bold, e.italic,
                   e.faceName);
    return;
  }
}

void SetupSkinnedControl(SkinnedControl& control, const QString& caption, int32_t value,
                         const Surface* background, float fontSize, const QImage* gradient, float sizeRate) {
  if (gradient != nullptr) control.SetGradhdc(gradient);
  const QRect at = TwipsRect(control);
  control.SetBGPic(at.x(), at.y(), background);
  control.SetFontSize(fontSize);
  control.SetSizeRate(sizeRate);
  control.SetCaption(caption);
  control.SetValue(value);
}

void MoveSkinnedControl(SkinnedControl& control, QPoint at, const Surface* background) {
  control.move(at);
  control.SetBGPic(PxToTwips(at.x()), PxToTwips(at.y()), background);
}

void ComboSelectText(QComboBox& combo, const QString& text) {
  for (int i = combo.count() - 1; i >= 0; --i) {
    if (combo.itemText(i) == text) {
      combo.setCurrentIndex(i);
      return;
    }
  }
}

}  // namespace lumora
