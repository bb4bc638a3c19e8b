#pragma once
// The eleven commands that function keys and remote inputs carry, their
// stored assignments, and the executor that runs one on a CommandTarget.

#include <array>
#include <cstdint>
#include <string>

#include "remote/CommandTarget.h"
#include "settings/Settings.h"

namespace lumora {

// Command indexes; 0 is "N/A", no command.
enum Function : int32_t {
  kFnNone = 0,
  kFnRec = 1,
  kFnRecStop = 2,
  kFnPlay = 3,
  kFnPlayStop = 4,
  kFnPlayPause = 5,
  kFnHeadPlus = 6,
  kFnHeadMinus = 7,
  kFnHeadHome = 8,
  kFnStopAll = 9,
  kFnSave = 10,
  kFnReg = 11,
};
inline constexpr int32_t kFunctionCount = 12;  // with "N/A"

// Column 0 the label ("録音"), 1 the command name ("REC"), 2 the symbol ("○").
// The empty text for another column or an index outside 0 ... 11.
std::string FunctionText(int32_t index, int32_t column);
// The index of the first entry whose text in column is text exactly
// (case-sensitive); -1 when text is empty or in no entry.
int32_t FunctionIndexOf(const std::string& text, int32_t column);

// The command index of each function key and remote input, and the delay (ms)
// before a latched remote input's command runs.
struct ControlMaps {
  std::array<int32_t, 12> FKeyFunctions{kFnRec,  kFnRecStop,  kFnPlay, kFnPlayStop, kFnPlayPause, kFnStopAll,
                                        kFnSave, kFnHeadHome, kFnNone, kFnNone,     kFnNone,      kFnNone};
  std::array<int32_t, 8> RemoteFunctions{kFnRec,       kFnRecStop, kFnPlay, kFnPlayStop,
                                         kFnPlayPause, kFnStopAll, kFnSave, kFnHeadHome};
  std::array<int32_t, 8> RemoteDelays{};
};

// The built-in maps with the stored names ("fkeyfct-01" ... "12", "HIDfct-01"
// ... "08") and delays ("HIDwaitms-01" ... "08") laid over them: an empty or
// unknown name keeps the built-in command, "N/A" assigns none.
ControlMaps LoadControlMaps(const Settings& settings);

// Runs command index (1 ... 11) on target; anything else does nothing.
void DoFunction(int32_t index, CommandTarget& target);

// The key-release handler's part for F1 ... F12 (key codes 112 ... 123; the
// shift state does not matter): runs the key's command. Returns the key code
// to pass on: 0 for F4 and F10, which the handler consumes.
int32_t FunctionKeyUp(int32_t keyCode, const ControlMaps& maps, CommandTarget& target);

}  // namespace lumora
