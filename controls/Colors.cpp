#include "controls/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>

#include "support/Rounding.h"

namespace lumora {
namespace {

int ClampChannel(double value) { return static_cast<int>(std::clamp<double>(RoundHalfEven(value), 0, 255)); }

struct SysRole {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The Windows system colour numbers mapped onto the nearest Qt palette roles.
SysRole RoleOf(int index) {
  using P = QPalette;
  switch (index) {
    case 2:
    case 13:
      return {P::Active, P::Highlight};
    case 3:
      return {P::Inactive, P::Highlight};
    case 5:
      return {P::Active, P::Base};
    case 7:
    case 8:
    case 11:
      return {P::Active, P::WindowText};
    case 9:
    case 14:
      return {P::Active, P::HighlightedText};
    case 17:
      return {P::Disabled, P::Text};
    case 18:
      return {P::Active, P::ButtonText};
    case 19:
      return {P::Inactive, P::HighlightedText};
    case 15:
      return {P::Active, P::Button};
    case 16:
      return {P::Active, P::Dark};
    case 20:
      return {P::Active, P::Light};
    case 21:
      return {P::Active, P::Shadow};
    case 22:
      return {P::Active, P::Midlight};
    case 23:
      return {P::Active, P::ToolTipText};
    case 24:
      return {P::Active, P::ToolTipBase};
    case 26:
      return {P::Active, P::Link};
    default:
      return {P::Active, P::Window};  // desktop, menus, frames, work space
  }
}

std::array<Color, 4> themeCache{};

}  // namespace

Rgb SplitColor(Color color) {
  return {static_cast<int>(color % 256), static_cast<int>((color / 256) % 256),
          static_cast<int>((color / 65536) % 256)};
}

Color MakeColor(int red, int green, int blue) {
  const auto c = [](int v) { return static_cast<Color>(std::clamp(v, 0, 255)); };
  return c(red) | c(green) << 8 | c(blue) << 16;
}

Color AdjustColor(Color color, int dRed, int dGreen, int dBlue, double factor) {
  const Rgb c = SplitColor(color);
  if (factor == -1)
    return MakeColor(ClampChannel(c.red + dRed), ClampChannel(c.green + dGreen),
                     ClampChannel(c.blue + dBlue));
  return MakeColor(ClampChannel(c.red * factor), ClampChannel(c.green * factor),
                   ClampChannel(c.blue * factor));
}

Color SysColor(int index) {
  const SysRole r = RoleOf(index);
  return FromQColor(QGuiApplication::palette().color(r.group, r.role));
}

Color ResolveColor(Color color) {
  if ((color & 0xFFFFFF00u) == 0x80000000u) return SysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

Color ThemeColor(int index) {
  if (index < 0 || index > 3) return 0;
  if (themeCache[index] != 0) return themeCache[index] == 1 ? 0 : themeCache[index];
  static constexpr int kTarget[] = {255, 200, 110, 60};
  const Color base = index == 0 ? 0xFFFFFF : SysColor(index == 2 ? kSysButtonShadow : kSysButtonFace);
  const Rgb c = SplitColor(base);
  const int64_t average = RoundHalfEven((c.red + c.green + c.blue) / 3.0);
  if (average == 0) return 0;  // a black system colour: no brightness to scale, not cached
  const double scale = static_cast<double>(kTarget[index]) / static_cast<double>(average);
  const Color result =
      MakeColor(ClampChannel(scale * c.red), ClampChannel(scale * c.green), ClampChannel(scale * c.blue));
  themeCache[index] = result == 0 ? 1 : result;
  return result;
}

void ResetThemeColors() { themeCache.fill(0); }

QColor ToQColor(Color color) {
  const Rgb c = SplitColor(ResolveColor(color));
  return QColor(c.red, c.green, c.blue);
}

Color FromQColor(const QColor& color) { return MakeColor(color.red(), color.green(), color.blue()); }

}  // namespace lumora
