#pragma once
// The command line of lumora-play.

#include <optional>
#include <string>

#include "settings/RunOptions.h"

namespace lumora::play {

struct PlayOptions {
  bool help = false;
  bool fast = false;
  std::string file;              // the WAV or MP3 file to play
  std::string outputName;        // --output
  std::string outputFile;        // --output-file: the simulated output, written to this WAV file
  double fromSeconds = 0.0;      // --from
  std::optional<float> levelDb;  // --level; else the setting "PlayLevel"
  SettingsOptions settings;      // --ini, --set
};

// Parses argv; on a mistake returns nothing and sets error to a one-line reason.
std::optional<PlayOptions> ParsePlayOptions(int argc, char** argv, std::string& error);

extern const char* const kPlayUsage;

}  // namespace lumora::play
