#pragma once
// What lumora-rec assembles before its first tick: the settings with the run's
// overrides, the log, the devices, and the recorder's controls.

#include <memory>
#include <string>

#include "app/rec/RecOptions.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveDevice.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"

namespace lumora::rec {

// The devices of the run. With --input-file or --test-signal a simulated backend
// whose input 0 is that source (`simulated` points at it); otherwise the
// program's devices. Nullptr and a reason when the input file is unusable.
std::unique_ptr<WaveBackend> PrepareDevices(const RecOptions& options, SimulatedWave*& simulated,
                                            std::string& error);

// Fills the recorder's selectors and controls from the settings (and the input
// file's own format), as the window's start-up fills its controls. False and a
// reason when the device named by --input does not exist.
bool PrepareRecorder(const RecOptions& options, const Settings& settings, WaveBackend& devices,
                     Recorder& recorder, std::string& error);

}  // namespace lumora::rec
