#pragma once
// Colours are 24-bit values with red in the low byte (0xBBGGRR). A value of the
// form 0x800000nn names system colour nn, taken from the application palette;
// −1 (0xFFFFFFFF) stands for "the default" where an argument allows it.

#include <QColor>
#include <cstdint>

namespace lumora {

using Color = uint32_t;
inline constexpr Color kDefaultColor = 0xFFFFFFFF;

// System colour numbers in use.
enum SysColorIndex : int {
  kSysWindow = 5,
  kSysWindowText = 8,
  kSysHighlight = 13,
  kSysHighlightText = 14,
  kSysButtonFace = 15,
  kSysButtonShadow = 16,
  kSysGrayText = 17,
  kSysButtonText = 18,
  kSys3DHighlight = 20,
  kSys3DDarkShadow = 21,
  kSys3DLight = 22,
};
inline constexpr Color SystemColor(int index) { return 0x80000000u | static_cast<Color>(index & 0xFF); }

struct Rgb {
  int red = 0, green = 0, blue = 0;
};

Rgb SplitColor(Color color);
Color MakeColor(int red, int green, int blue);  // each channel clamped to 0–255
// factor −1: the deltas are added; any other factor scales every channel.
Color AdjustColor(Color color, int dRed, int dGreen, int dBlue, double factor);

// The 24-bit value of system colour nn from the current application palette.
Color SysColor(int index);
// A system colour name becomes its value; other values keep their low 24 bits.
Color ResolveColor(Color color);
// Theme colours 0–3: white, button face, button shadow and a dark button face,
// each scaled to the program's own brightness (255, 200, 110, 60).
Color ThemeColor(int index);
// Forgets the cached theme colours (after a palette change).
void ResetThemeColors();

QColor ToQColor(Color color);
inline QRgb ToQRgb(Color color) { return ToQColor(color).rgb(); }
Color FromQColor(const QColor& color);

}  // namespace lumora
