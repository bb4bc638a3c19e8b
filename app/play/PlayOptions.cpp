#include "app/play/PlayOptions.h"

#include <cmath>
#include <cstdlib>

namespace lumora::play {

const char* const kPlayUsage = R"(usage: lumora-play [options] FILE

Plays a WAV or MP3 file (the format of the file: rate, bits, channels) on an
output device, with the play level of the window, without a window.

  --output NAME        play on this output device, which must exist (default:
                       the setting "DeviceOutName", else the system's default)
  --output-file OUT    play into the simulated output device and write every
                       frame it played to the WAV file OUT
  --fast               with --output-file: run on simulated time as fast as the
                       machine allows
  --from SECONDS       start this far into the file
  --level DB           the play level, -60.0 ... 20.0 dB (default: the setting
                       "PlayLevel")
  --ini FILE           use FILE as the settings store
  --set KEY=VALUE      override one setting for this run, without saving it
  --help               print this text and exit

Events, one line each on stdout:
  play PATH FRAME      playback started at FRAME
  end PATH FRAMES      playback ended; FRAMES = frames played

It exits 0 at the end of the file or on SIGINT/SIGTERM; 1 with the reason on
stderr for a file that is missing, unreadable or not playable, or a device
that does not open; 2 for bad options.
)";

namespace {

bool TakesValue(const std::string& name) {
  return name == "--output" || name == "--output-file" || name == "--from" || name == "--level" ||
         IsSettingsOption(name);
}

// A number of the option within lo ... hi (`range` says so in words).
bool Number(const std::string& name, const std::string& value, double lo, double hi, const char* range,
            double& out, std::string& error) {
  char* end = nullptr;
  out = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !std::isfinite(out) || out < lo || out > hi) {
    error = name + " needs a number " + range + ", not \"" + value + "\"";
    return false;
  }
  return true;
}

bool Take(PlayOptions& options, const std::string& name, const std::string& value, std::string& error) {
  if (name == "--help" || name == "-h") return options.help = true;
  if (name == "--fast") return options.fast = true;
  if (name.empty() && options.file.empty()) {
    options.file = value;
  } else if (name == "--output") {
    options.outputName = value;
  } else if (name == "--output-file") {
    options.outputFile = value;
  } else if (name == "--from") {
    return Number(name, value, 0.0, 1e9, "of seconds, 0 or more", options.fromSeconds, error);
  } else if (name == "--level") {
    double db = 0.0;
    if (!Number(name, value, -60.0, 20.0, "of dB from -60.0 to 20.0", db, error)) return false;
    options.levelDb = static_cast<float>(db);
  } else if (IsSettingsOption(name)) {
    return TakeSettingsOption(options.settings, name, value, error);
  } else {
    error = name.empty() ? "one file only, not also \"" + value + "\""
                         : "unknown option \"" + name + "\" (see --help)";
    return false;
  }
  return true;
}

}  // namespace

std::optional<PlayOptions> ParsePlayOptions(int argc, char** argv, std::string& error) {
  PlayOptions options;
  const auto take = [&options](const std::string& name, const std::string& value, std::string& why) {
    return Take(options, name, value, why);
  };
  if (!WalkArguments(argc, argv, TakesValue, take, error)) return std::nullopt;
  if (options.help) return options;
  if (options.file.empty()) {
    error = "which file? (see --help)";
    return std::nullopt;
  }
  if (options.fast && options.outputFile.empty()) {
    error = "--fast needs --output-file";
    return std::nullopt;
  }
  if (!options.outputName.empty() && !options.outputFile.empty()) {
    error = "--output and --output-file exclude each other";
    return std::nullopt;
  }
  return options;
}

}  // namespace lumora::play
