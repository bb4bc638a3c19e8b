#pragma once
// Screen geometry is kept in twips (1/1440 inch). One whole-number factor, the
// twips per pixel of the screen (15 at 96 DPI), converts both axes; it is read
// once at start-up. Pixels from twips drop the remainder.

namespace lumora {

int Tpp();
void SetTpp(int twipsPerPixel);  // values below 1 count as 1
// 1440 / the primary screen's logical DPI, rounded; 15 without a screen.
void ReadTppFromScreen();

inline int TwipsToPx(int twips) { return twips / Tpp(); }
inline int PxToTwips(int px) { return px * Tpp(); }

}  // namespace lumora
