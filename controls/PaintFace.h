#pragma once
// The face painter and its outline routines: every shaded surface of the
// program (gradients, tubes, bevels, pillow and round button faces, the
// brushed-metal panel) comes from here. Coordinates are pixels from the
// surface's top-left corner; W and H are the surface's size.

#include <QString>
#include <array>

#include "controls/Colors.h"
#include "controls/Surface.h"

namespace lumora {

inline constexpr int kDefaultGeometry = -99999;

// The nine shades P0–P8 between three base colours (−1 = theme colours 0, 1, 2).
std::array<Color, 9> FacePalette(Color c1, Color c2, Color c3);

// Styles −2 (background only), −1 (frame), 1 (raised bevel), 2 (diagonal
// gradient), 5/6 (horizontal/vertical tube), 7/8 (tube and frame), 12 (pillow),
// 13 (round face; radius and centre default to the surface's), 14 (brushed
// metal), 15 (metal with shaded top and bottom). Other styles draw nothing.
void PaintFace(Surface& surface, int style, Color c1 = kDefaultColor, Color c2 = kDefaultColor,
               Color c3 = kDefaultColor, int radius = kDefaultGeometry, int centreX = kDefaultGeometry,
               int centreY = kDefaultGeometry);

// Outlines whose colour turns from A (upper left) to B (lower right) and back.
void LitRoundRect(Canvas& canvas, int left, int top, int right, int bottom, Color a, Color b, int lineWidth);
void LitCircle(Canvas& canvas, int left, int top, int right, int bottom, Color a, Color b, int lineWidth,
               int mode);

// A diagonal gradient (unless skipFill) framed by thickness rings: lit top and
// left edges from c2, dark bottom and right edges from c1.
void BevelBorder(Surface& surface, Color c1, Color c2, bool skipFill, int thickness);

// The platform's soft 3-D edge round a rectangle given in twips: sunken or raised.
void EdgeBox(Surface& surface, int left, int top, int width, int height, bool sunken);

}  // namespace lumora
