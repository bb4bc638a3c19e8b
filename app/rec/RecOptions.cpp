#include "app/rec/RecOptions.h"

#include <cmath>
#include <cstdlib>

namespace lumora::rec {

const char* const kRecUsage = R"(usage: lumora-rec [options]

Records one take (or, in sequential automatic mode, a series of takes) from an
input device with the settings of the window, without a window.

  --input NAME         record from this input device, which must exist
                       (default: the setting "DeviceInName", else the
                       system's default input)
  --input-file FILE    record from a WAV file through the simulated input, as a
                       live source; the take has the file's rate, bits, channels
  --test-signal        record the built-in test signal (1 kHz at -20 dB)
  --fast               with --input-file: run on simulated time (40 ms ticks) as
                       fast as the machine allows, with the result of real time
  --seconds N          stop after N seconds of audio
  --ini FILE           use FILE as the settings store
  --set KEY=VALUE      override one setting for this run, without saving it
                       (repeatable), e.g. --set AutoRec=1 --set Modemp3=1
  --remote             the remote box (the setting "USBHIDID", 1 when 0) runs
                       the commands of its inputs ("HIDfct-01" ...) and shows
                       the takes on its tally lights; exits 1 without a box
  --commands           run the command names read from standard input, one a
                       line, one each tick: REC, REC_STOP, STOP_ALL, ...
  --remote-script FILE a simulated remote box whose inputs change as FILE says,
                       one change a line: SECONDS press|release INPUT (1-8),
                       e.g. "1.0 press 1"; with --fast on simulated time
  --list-devices       print the input and output devices and exit
  --help               print this text and exit

The take is started as the record button starts it: armed when "AutoRec" is 1
(it writes once the input passes "StartLevel" dB and stops after "EndTime"/10 s
at or below "EndLevel" dB), written to DataPath/new.wav, or to numbered files
new01.wav, new02.wav, ... when "Sequential" is 1, which also re-arms after each
automatic stop. "RecLevel" is the gain in dB; "Modemp3"=1 records MP3 at
"mp3BitRate" kbit/s.

It stops as the stop button does at the end of the input file, after --seconds,
or on SIGINT/SIGTERM, then exits 0. With --remote, --commands or --remote-script
no take starts by itself: the commands start and stop takes, --seconds counts
the run's time, and the run also ends at the end of standard input (--commands)
or once the script is over and no take runs (--remote-script). Failing to start
(no device, a folder that cannot be written, a file another recorder is
writing) exits 1 with the reason on stderr, and so does a take that stopped on
an error (a full disk, a lost device); bad options exit 2.

Events, one line each on stdout:
  start PATH           a take opened its file (a take that goes on past the file
                       limit or at a split, "ContinueAtLimit" and "SplitMinutes",
                       opens its next file, PATH-2.wav, PATH-3.wav, ...)
  write PATH           an armed take started writing
  lost PATH FRAMES     FRAMES frames the device could not deliver (a stall longer
                       than the capture ring holds) are missing at this point
  stop PATH FRAMES     a take (or one file of it) ended; FRAMES = sample frames
                       in the file
  warn disk SECONDS    the disk holds less than five minutes more of the take
                       (once a take, and again after space came back)
  tally CODE           the simulated remote box received a tally command
)";

namespace {

bool TakesValue(const std::string& name) {
  return name == "--input" || name == "--input-file" || name == "--seconds" || name == "--remote-script" ||
         IsSettingsOption(name);
}

bool Take(RecOptions& options, const std::string& name, const std::string& value, std::string& error) {
  if (name == "--help" || name == "-h") return options.help = true;
  if (name == "--list-devices") return options.listDevices = true;
  if (name == "--fast") return options.fast = true;
  if (name == "--test-signal") return options.testSignal = true;
  if (name == "--remote") return options.remote = true;
  if (name == "--commands") return options.commands = true;
  if (name == "--input") {
    options.inputName = value;
  } else if (name == "--input-file") {
    options.inputFile = value;
  } else if (name == "--remote-script") {
    options.remoteScript = value;
  } else if (name == "--seconds") {
    char* end = nullptr;
    options.seconds = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(options.seconds) || options.seconds <= 0) {
      error = "--seconds needs a positive number, not \"" + value + "\"";
      return false;
    }
  } else if (IsSettingsOption(name)) {
    return TakeSettingsOption(options.settings, name, value, error);
  } else {
    error = "unknown option \"" + (name.empty() ? value : name) + "\" (see --help)";
    return false;
  }
  return true;
}

}  // namespace

std::optional<RecOptions> ParseRecOptions(int argc, char** argv, std::string& error) {
  RecOptions options;
  const auto take = [&options](const std::string& name, const std::string& value, std::string& why) {
    return Take(options, name, value, why);
  };
  if (!WalkArguments(argc, argv, TakesValue, take, error)) return std::nullopt;
  if (options.testSignal && !options.inputFile.empty()) {
    error = "--test-signal and --input-file exclude each other";
    return std::nullopt;
  }
  if (options.remote && !options.remoteScript.empty()) {
    error = "--remote and --remote-script exclude each other";
    return std::nullopt;
  }
  if (options.fast && options.inputFile.empty()) {
    error = "--fast needs --input-file";
    return std::nullopt;
  }
  return options;
}

}  // namespace lumora::rec
