#pragma once
// The command line of lumora-rec.

#include <optional>
#include <string>

#include "settings/RunOptions.h"

namespace lumora::rec {

struct RecOptions {
  bool help = false;
  bool listDevices = false;
  bool fast = false;
  bool testSignal = false;                                // --test-signal: the built-in 1 kHz tone
  SettingsOptions settings;                               // --ini, --set
  std::string inputName;                                  // --input
  std::string inputFile;                                  // --input-file
  double seconds = -1.0;                                  // --seconds; < 0: no limit
  bool remote = false;                                    // --remote: the remote box drives the takes
  bool commands = false;                                  // --commands: command names on stdin
  std::string remoteScript;                               // --remote-script: a simulated box's inputs
  // Commands or a remote drive the takes: none starts by itself.
  bool CommandDriven() const { return remote || commands || !remoteScript.empty(); }
};

// Parses argv; on a mistake returns nothing and sets error to a one-line reason.
std::optional<RecOptions> ParseRecOptions(int argc, char** argv, std::string& error);

extern const char* const kRecUsage;

}  // namespace lumora::rec
