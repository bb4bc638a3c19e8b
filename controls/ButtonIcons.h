#pragma once
// The button strips' icon library: 26 icons of 18 × 18 pixels side by side,
// icon k at x = 18·k, the pictures in rows 0–17 and their masks in rows 18–35
// (mask white where the face shows through, picture black there).
//
//  0 record   1 play    2 pause   3 stop    4 previous mark  5 next mark
//  6 mark     7 erase   8–11 lit record, play, pause, stop
// 12 folder  13 lit folder  14 eject  15 to start  16 rewind  17 fast forward
// 18–20 lit to start, rewind, fast forward  21 loop  22 speaker
// 23, 24 lit loop and speaker  25 settings
// Lit icons keep their colours; the others are drawn for a grey face of
// brightness 210 and tinted to the system's button face.

#include <QImage>

namespace lumora {

inline constexpr int kIconSize = 18;
inline constexpr int kIconCount = 26;

const QImage& ButtonIconLibrary();
bool IconKeepsColors(int icon);
// Multiplies every non-black picture pixel of the tinted icons by face / 210 per channel.
void TintIcons(QImage& library, QRgb face);

}  // namespace lumora
