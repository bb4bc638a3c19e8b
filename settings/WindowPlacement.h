#pragma once
// Saving and restoring a window's placement through the settings, as pure
// rules over numbers: the window passes its placement and screen size and
// applies what comes back. Positions and sizes are in twips.

#include <cstdint>
#include <string>

namespace lumora {

class Settings;

enum WindowStateValue : int16_t { kWindowNormal = 0, kWindowMinimized = 1, kWindowMaximized = 2 };

struct WindowPlacement {
  float left = 0.0f;
  float top = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  int16_t state = kWindowNormal;
};

struct PlacementOptions {
  bool skipSize = false;
  bool skipState = false;
  bool skipPosition = false;  // restore only
};

// The placement to apply, from the keys prefix + "WindowLeft", "WindowTop",
// "WindowHeight", "WindowWidth", "WindowState" with the current values as
// defaults. Position and size are read only while the window is in the normal
// state: a negative Left or Top becomes 0, a Left beyond screenWidth or a Top
// beyond screenHeight becomes 0, sizes are taken as stored. The state is read
// whatever the current state; a stored state other than 0, 1 or 2 keeps the
// current one.
WindowPlacement RestoreWindowPlacement(const Settings& settings, const std::string& prefix,
                                       const WindowPlacement& current, float screenWidth, float screenHeight,
                                       PlacementOptions options);

// Writes Left and Top (and Height and Width unless skipSize) only while the
// window is in the normal state, so a minimised or maximised window keeps the
// last normal placement stored; then the state unless skipState.
void SaveWindowPlacement(Settings& settings, const std::string& prefix, const WindowPlacement& current,
                         PlacementOptions options);

}  // namespace lumora
