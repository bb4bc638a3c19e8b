#include "recording/FieldSettings.h"

#include <algorithm>

namespace lumora {

void ReadFieldSettings(const Settings& settings, RecorderControls& controls) {
  controls.PreRecTime = std::clamp(settings.ReadWhole("PreRecTime"), 0, 100);
  controls.ContinueAtLimit = settings.ReadWhole("ContinueAtLimit") != 0 ? 1 : 0;
  controls.SplitMinutes = std::clamp(settings.ReadWhole("SplitMinutes"), 0, 1440);
}

}  // namespace lumora
