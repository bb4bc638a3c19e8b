#include "controls/PaintFace.h"

#include <cmath>
#include <numbers>

#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

int Channel(double value) { return static_cast<int>(RoundHalfEven(value)); }

// wa·a + wb·b per channel, each rounded.
Color Mix(Color a, double wa, Color b, double wb) {
  const Rgb x = SplitColor(a);
  const Rgb y = SplitColor(b);
  return MakeColor(Channel(wa * x.red + wb * y.red), Channel(wa * x.green + wb * y.green),
                   Channel(wa * x.blue + wb * y.blue));
}

// a + (b − a)·t per channel, rounded.
Color Toward(Color a, Color b, double t) { return Mix(a, 1.0 - t, b, t); }

void Frame(Canvas& c, int w, int h, const std::array<Color, 9>& p) {
  c.Line(0, 0, 0, h - 1, p[0]);
  c.Line(0, 0, w - 1, 0, p[0]);
  c.Line(w - 1, 0, w - 1, h, p[8]);
  c.Line(0, h - 1, w - 1, h - 1, p[8]);
}

void Bevel(Canvas& c, int w, int h, const std::array<Color, 9>& p) {
  c.Line(0, 0, w, 0, p[0]);
  c.Fill(1, 1, w - 1, 1, p[1]);
  c.Fill(2, 2, w - 2, 2, p[1]);
  c.Fill(0, 0, 0, h, p[0]);
  c.Line(1, 1, 1, h - 1, p[1]);
  c.Line(2, 2, 2, h - 2, p[2]);
  c.Fill(w - 1, 0, w, h, p[6]);
  c.Line(w - 2, 1, w - 2, h - 1, p[5]);
  c.Line(w - 3, 2, w - 3, h - 2, p[4]);
  c.Fill(0, h - 1, w, h, p[6]);
  c.Line(1, h - 2, w - 1, h - 2, p[5]);
  c.Line(1, h - 3, w - 2, h - 3, p[4]);
}

void DiagonalGradient(Canvas& c, int w, int h, Color c1, Color c2) {
  const double n = (PxToTwips(w) + PxToTwips(h) + 20.0) / Tpp();
  for (int i = 0; i <= n; ++i) c.Line(0, i, i, 0, Toward(c1, c2, i / n));
}

void Tube(Canvas& c, int w, int h, Color c1, Color c2, Color c3, bool vertical) {
  const int n = std::max(1, (vertical ? w : h) / 2);
  for (int i = 0; i <= n; ++i) {
    const double f = 1.0 - static_cast<double>(i) / n;
    const Color a = Mix(c1, 1.0 - f, c2, f);
    const Color b = Mix(c3, 1.0 - f, c2, f);
    if (vertical) {
      c.Line(i, 0, i, h + 20, a);
      c.Line(n + i, 0, n + i, h + 20, b);
    } else {
      c.Line(0, n - i, w + 20, n - i, a);
      c.Line(0, n + i, w + 20, n + i, b);
    }
  }
}

// Ring colours from outside to inside for the shade at fraction f/n of the way in.
std::pair<Color, Color> RingColors(Color c1, Color c2, Color c3, int n, int i) {
  const double f = std::sqrt(static_cast<double>(n) * n - static_cast<double>(n - i) * (n - i));
  return {Toward(c1, c2, f / n), Toward(c3, c2, f / n)};
}

void Pillow(Canvas& c, int w, int h, Color c1, Color c2, Color c3, Color p8) {
  const int n = h / 2;
  for (int i = 1; i <= n; ++i) {
    const auto [a, b] = RingColors(c1, c2, c3, n, i);
    LitRoundRect(c, i + 1, i, w - i - 1, h - i, a, b, 3);
  }
  LitRoundRect(c, 1, 0, w - 1, h, 0xFFFFFF, p8, 1);
}

void RoundFace(Canvas& c, int w, int h, Color c1, Color c2, Color c3, Color p7, int r, int cx, int cy) {
  if (r == kDefaultGeometry) r = h / 2;
  if (cx == kDefaultGeometry) cx = w / 2;
  if (cy == kDefaultGeometry) cy = h / 2;
  for (int i = 1; i <= r; ++i) {
    const auto [a, b] = RingColors(c1, c2, c3, r, i);
    LitCircle(c, cx - (r - i), cy - r + i, cx + r - i, cy + r - i, a, b, 2, 0);
  }
  LitCircle(c, cx - r, cy - r, cx + r, cy + r, 0xFFFFFF, p7, 1, 0);
}

constexpr Color kMetal[29] = {0xC4BDBE, 0xD7D3D4, 0xCFC8C8, 0xD2CCCD, 0xD0CBCB, 0xCCC4C5, 0xCAC3C4, 0xD2CDCE,
                              0xC3BBBC, 0xD5D0D1, 0xCEC9C8, 0xD2CDCE, 0xC7C0C2, 0xCDC6C8, 0xD1CCCC, 0xCFC9CA,
                              0xD2CCCD, 0xD5CED0, 0xCDC7C6, 0xCFC8C8, 0xD2CDCE, 0xD8D3D4, 0xCCC6C6, 0xD2CCCD,
                              0xD7D1D2, 0xC9C2C2, 0xCDC7C8, 0xD0C9C9, 0xD3CECE};

void BrushedMetal(Canvas& c, int w, int h, bool shadedEdges) {
  for (int y = 1; y <= h; ++y) {
    Color t = kMetal[y % 29];
    if (shadedEdges && y < 20) t = AdjustColor(t, (20 - y) * 3, (20 - y) * 3, (20 - y) * 3, -1);
    if (shadedEdges && y >= 20 && y > h - 20) {
      const int d = -(y - (h - 20)) * 3;
      t = AdjustColor(t, d, d, d, -1);
    }
    c.Fill(1, y, w, y, t);
  }
  c.Fill(1, 1, 1, h - 1, 0xFFFFFF);
  c.Fill(1, 1, w - 1, 1, 0xFFFFFF);
  c.Fill(0, 0, w, 0, 0xFFFFFF);
  c.Fill(0, 0, 0, h, 0xFFFFFF);
  c.Fill(2, h - 2, w, h, 0xB0B0B0);
  c.Fill(w - 2, 2, w, h, 0xB0B0B0);
  c.Fill(1, h - 1, w, h, 0x606060);
  c.Fill(w - 1, 1, w, h, 0x606060);
}

// The pen walk shared by both outlines: steps points round a centre chosen per
// angle, each segment in a colour between A (start and end) and B (half-way).
template <class CentreOf>
void LitWalk(Canvas& c, int steps, double startStep, int radius, Color a, Color b, int lineWidth,
             CentreOf centreOf) {
  const double half = steps / 2.0;
  QPoint previous;
  for (int k = 0; k <= steps; ++k) {
    const double step = startStep + k;
    const double angle = step * 2.0 * std::numbers::pi / steps;
    const QPointF centre = centreOf(std::fmod(step, steps));
    const QPoint point(static_cast<int>(RoundHalfEven(centre.x() + radius * std::cos(angle))),
                       static_cast<int>(RoundHalfEven(centre.y() + radius * std::sin(angle))));
    if (k > 0) {
      const double t = std::abs(k - half) / half;
      c.PenSegment(previous, point, Mix(a, t, b, 1.0 - t), lineWidth);
    }
    previous = point;
  }
}

}  // namespace

std::array<Color, 9> FacePalette(Color c1, Color c2, Color c3) {
  c1 = c1 == kDefaultColor ? ThemeColor(0) : ResolveColor(c1);
  c2 = c2 == kDefaultColor ? ThemeColor(1) : ResolveColor(c2);
  c3 = c3 == kDefaultColor ? ThemeColor(2) : ResolveColor(c3);
  return {c1, Mix(c1, 0.66, c2, 0.33), Mix(c1, 0.33, c2, 0.66),
          c2, Mix(c2, 0.66, c3, 0.33), Mix(c2, 0.33, c3, 0.66),
          c3, Mix(c3, 0.66, 0, 0),     Mix(c3, 0.33, 0, 0)};
}

void PaintFace(Surface& surface, int style, Color c1, Color c2, Color c3, int radius, int centreX,
               int centreY) {
  if (style < -2 || style > 15) return;
  const int w = surface.W();
  const int h = surface.H();
  const std::array<Color, 9> p = FacePalette(c1, c2, c3);
  if (style == -2) {
    surface.SetBackColor(p[3]);
    return;
  }
  Canvas c(surface);
  switch (style) {
    case -1:
      Frame(c, w, h, p);
      break;
    case 1:
      Bevel(c, w, h, p);
      break;
    case 2:
      DiagonalGradient(c, w, h, p[0], p[3]);
      break;
    case 5:
    case 7:
      Tube(c, w, h, p[0], p[3], p[6], false);
      break;
    case 6:
    case 8:
      Tube(c, w, h, p[0], p[3], p[6], true);
      break;
    case 12:
      Pillow(c, w, h, p[0], p[3], p[6], p[8]);
      break;
    case 13:
      RoundFace(c, w, h, p[0], p[3], p[6], p[7], radius, centreX, centreY);
      break;
    case 14:
    case 15:
      BrushedMetal(c, w, h, style == 15);
      break;
    default:
      break;
  }
  if (style == 7 || style == 8) Frame(c, w, h, p);
}

void LitRoundRect(Canvas& canvas, int left, int top, int right, int bottom, Color a, Color b, int lineWidth) {
  const int r = (bottom - top) / 3 - 1;
  LitWalk(canvas, 190, 260.0 * 190 / 360, r, ResolveColor(a), ResolveColor(b), lineWidth, [&](double at) {
    if (at <= 47.5) return QPointF(right - r - 1, bottom - r - 2);
    if (at <= 95) return QPointF(left + r, bottom - r - 2);
    if (at <= 142.5) return QPointF(left + r, top + r);
    return QPointF(right - r - 1, top + r);
  });
}

void LitCircle(Canvas& canvas, int left, int top, int right, int bottom, Color a, Color b, int lineWidth,
               int mode) {
  const QPointF centre((left + right) / 2, (top + bottom) / 2);
  const int r = (bottom - top) / 2 - 2;
  const int steps = mode == 1 ? 4 : 190;
  const double start = mode == 1 ? 3.5 : 250.0 * 190 / 360;
  LitWalk(canvas, steps, start, r, ResolveColor(a), ResolveColor(b), lineWidth,
          [&](double) { return centre; });
}

void BevelBorder(Surface& surface, Color c1, Color c2, bool skipFill, int thickness) {
  if (!skipFill) PaintFace(surface, 2, c1, c2);
  const int w = surface.W();
  const int h = surface.H();
  const Color light = AdjustColor(ResolveColor(c2), 40, 40, 40, -1);
  const Color dark = AdjustColor(ResolveColor(c1), -40, -40, -40, -1);
  Canvas c(surface);
  for (int k = 0; k < thickness; ++k) {
    c.Line(k, k, w - k, k, light);
    c.Line(k, k, k, h - k, light);
    c.Line(k, h - k - 1, w - k - 1, h - k - 1, dark);
    c.Line(w - k - 1, k, w - k - 1, h - k - 1, dark);
  }
}

void EdgeBox(Surface& surface, int left, int top, int width, int height, bool sunken) {
  // Soft edges: the outer ring carries the stronger shade on the top and left.
  struct Ring {
    int topLeft, bottomRight;
  };
  const Ring rings[2] = {
      sunken ? Ring{kSys3DDarkShadow, kSys3DHighlight} : Ring{kSys3DHighlight, kSys3DDarkShadow},
      sunken ? Ring{kSysButtonShadow, kSys3DLight} : Ring{kSys3DLight, kSysButtonShadow}};
  const int l = TwipsToPx(left);
  const int t = TwipsToPx(top);
  const int r = TwipsToPx(left + width) - 1;
  const int b = TwipsToPx(top + height) - 1;
  Canvas c(surface);
  for (int k = 0; k < 2; ++k) {
    const Color tl = SysColor(rings[k].topLeft);
    const Color br = SysColor(rings[k].bottomRight);
    c.Line(l + k, t + k, r - k - 1, t + k, tl);
    c.Line(l + k, t + k, l + k, b - k - 1, tl);
    c.Line(r - k, t + k, r - k, b - k, br);
    c.Line(l + k, b - k, r - k, b - k, br);
  }
}

}  // namespace lumora
