#pragma once
// The settings of pre-record, next files and splits, read into the recorder's
// controls the same way by the window and by lumora-rec.

#include "recording/RecordingState.h"
#include "settings/Settings.h"

namespace lumora {

// "PreRecTime" (0 ... 100), "ContinueAtLimit" (0 or 1), "SplitMinutes" (0 ... 1440),
// each brought into its range.
void ReadFieldSettings(const Settings& settings, RecorderControls& controls);

}  // namespace lumora
