#pragma once
// Mouse buttons and shift states as the controls' events number them.

#include <Qt>

namespace lumora {

// 1 left, 2 right, 4 middle.
inline int ButtonNumber(Qt::MouseButton b) { return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : 4; }

// 1 Shift, 2 Ctrl, 4 Alt.
inline int ShiftMask(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace lumora
