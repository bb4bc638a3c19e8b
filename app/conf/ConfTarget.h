#pragma once
// What the configuration dialog changes in the running program besides the
// settings: the main window implements it, tests fake it.

#include <string>

#include "remote/Functions.h"

namespace lumora {

class ConfTarget {
 public:
  virtual ~ConfTarget() = default;

  // The key and remote assignments in use; OK overwrites them.
  virtual ControlMaps& Maps() = 0;
  // The folder takes are recorded in; shown when "DataPath" is not set.
  virtual std::string RecordingFolder() const = 0;
  // Takes from now on go to folder (ends in "/").
  virtual void SetRecordingFolder(const std::string& folder) = 0;
  // The level history's vertical magnification, at once.
  virtual void SetWaveRate(float rate) = 0;
  // Takes "PreRecTime", "ContinueAtLimit" and "SplitMinutes" from the settings
  // for the takes from now on.
  virtual void TakeFieldSettings() = 0;
  // Restarts the remote from the settings.
  virtual void InitHID() = 0;
};

}  // namespace lumora
