#pragma once
// Mouse buttons and shift states as the controls' events number them.

#include <Qt>

namespace lumora {

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

inline int ButtonNumber(Qt::MouseButton b) {
  return b == Qt::LeftButton ? kLeftButton : b == Qt::RightButton ? kRightButton : kMiddleButton;
}

// 1 Shift, 2 Ctrl, 4 Alt.
inline int ShiftMask(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace lumora
