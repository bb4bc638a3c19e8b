#include "settings/WindowPlacement.h"

#include "settings/Settings.h"

namespace lumora {
namespace {

float RestoredCoordinate(float stored, float screenExtent) {
  return stored < 0.0f || stored > screenExtent ? 0.0f : stored;
}

}  // namespace

WindowPlacement RestoreWindowPlacement(const Settings& settings, const std::string& prefix,
                                       const WindowPlacement& current, float screenWidth, float screenHeight,
                                       PlacementOptions options) {
  WindowPlacement placement = current;
  if (current.state == kWindowNormal && !options.skipPosition) {
    placement.left =
        RestoredCoordinate(settings.ReadDecimal(prefix + "WindowLeft", current.left), screenWidth);
    placement.top = RestoredCoordinate(settings.ReadDecimal(prefix + "WindowTop", current.top), screenHeight);
  }
  if (current.state == kWindowNormal && !options.skipSize) {
    placement.height = settings.ReadDecimal(prefix + "WindowHeight", current.height);
    placement.width = settings.ReadDecimal(prefix + "WindowWidth", current.width);
  }
  if (!options.skipState) {
    const int16_t state = settings.ReadShort(prefix + "WindowState", current.state);
    if (state >= kWindowNormal && state <= kWindowMaximized) placement.state = state;
  }
  return placement;
}

void SaveWindowPlacement(Settings& settings, const std::string& prefix, const WindowPlacement& current,
                         PlacementOptions options) {
  if (current.state == kWindowNormal) {
    settings.WriteDecimal(prefix + "WindowLeft", current.left);
    settings.WriteDecimal(prefix + "WindowTop", current.top);
    if (!options.skipSize) {
      settings.WriteDecimal(prefix + "WindowHeight", current.height);
      settings.WriteDecimal(prefix + "WindowWidth", current.width);
    }
  }
  if (!options.skipState) settings.WriteWhole(prefix + "WindowState", current.state);
}

}  // namespace lumora
