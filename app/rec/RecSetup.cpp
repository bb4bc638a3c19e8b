#include "app/rec/RecSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/Wav.h"
#include "platform/SignalSource.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"
#include "recording/FieldSettings.h"
#include "settings/DataFolder.h"
#include "support/FileSystem.h"
#include "support/PlainText.h"

namespace lumora::rec {

namespace {

// The sample format of the selectors: rate text, bits index (0 24, 1 16, 2 8),
// channels index (0 stereo, 1 mono).
void SelectFormat(FormatSelectors& selectors, int32_t rate, int32_t bits, int32_t channels) {
  selectors.rateText = std::to_string(rate);
  selectors.bitsIndex = bits == 24 ? 0 : bits == 8 ? 2 : 1;
  selectors.channelsIndex = channels == 2 ? 0 : 1;
}

// Stored settings brought into the ranges of the window's selectors and
// sliders before anything is sized: a rate that is not one of the twelve is
// 44100, bits other than 24, 16 or 8 are 24, channels other than 2 mono.
void SelectStoredFormat(FormatSelectors& selectors, const Settings& settings) {
  const int32_t rate = settings.ReadWhole("nFreq");
  const bool listed = std::find(std::begin(kWaveRates), std::end(kWaveRates), rate) != std::end(kWaveRates);
  const int32_t bits = settings.ReadShort("nBit");
  SelectFormat(selectors, listed ? rate : 44100, bits == 16 || bits == 8 ? bits : 24, settings.ReadShort("nCh"));
}

// The simulated source is device 0. Otherwise --input or the stored name; no
// name at all is the system's default input (the desktop's microphone), not
// whatever device happens to be listed first (often a monitor of an output).
// (Built in one return, not by assigning short literals: GCC 12's optimiser
// reads those as overlapping copies and warns.)
std::string InputDeviceName(const RecOptions& options, const Settings& settings) {
  if (!options.inputFile.empty() || options.testSignal) return std::to_string(0);
  const std::string name = options.inputName.empty() ? settings.ReadText("DeviceInName") : options.inputName;
  return name.empty() ? std::to_string(-1) : name;
}

// The recording level slider: -60.0 ... +20.0 dB in whole tenths.
float RecLevelOf(const Settings& settings) {
  const float db = settings.ReadDecimal("RecLevel");
  return std::isfinite(db) ? std::clamp(std::trunc(db * 10.0f) / 10.0f, -60.0f, 20.0f) : 0.0f;
}

int32_t ReadClamped(const Settings& settings, const char* key, int32_t low, int32_t high) {
  return std::clamp(settings.ReadWhole(key), low, high);
}

// MP3 is offered when the encoder works and takes the format at some bit rate.
void PrepareMp3(const Settings& settings, const SampleFormat& format, Recorder& recorder) {
  C_mp3acm& codec = recorder.Codec();
  codec.Init(1);
  ComboModel combo;
  if (codec.EncAvailable()) {
    codec.LoadBitRateToCombo(combo, format.nFreq, FormatIndexOf(format.nCh, format.nBit),
                             settings.ReadWhole("mp3BitRate"));
  }
  recorder.controls.CheckModemp3Enabled = !combo.items.empty();
  recorder.controls.ComboBitRate = combo.text;
  if (recorder.controls.CheckModemp3 != 1) return;
  // The window would show these choices; without it, say them.
  const std::string wanted = std::to_string(settings.ReadWhole("mp3BitRate"));
  if (combo.items.empty()) {
    std::fprintf(stderr, "lumora-rec: MP3 is not available for %d Hz %d-bit; recording WAV\n", format.nFreq,
                 format.nBit);
  } else if (combo.text != wanted) {
    std::fprintf(stderr, "lumora-rec: %s kbit/s is not offered at %d Hz; recording at %s kbit/s\n",
                 wanted.c_str(), format.nFreq, combo.text.c_str());
  }
}

}  // namespace

std::unique_ptr<WaveBackend> PrepareDevices(const RecOptions& options, SimulatedWave*& simulated,
                                            std::string& error) {
  simulated = nullptr;
  if (options.inputFile.empty() && !options.testSignal) return CreateWaveBackend();
  std::unique_ptr<SignalSource> source;
  if (options.testSignal) {
    source = MakeTone(1000.0, -20.0);
  } else {
    int32_t code = 0;
    source = OpenWaveFileSource(options.inputFile, code);
    if (!source) {
      error = WaveErrorText(code, false) + ": " + options.inputFile;
      return nullptr;
    }
  }
  auto backend = std::make_unique<SimulatedWave>();
  backend->AddInput(options.testSignal ? kTestSignalInputName : options.inputFile, std::move(source));
  backend->AddOutput(kSilentOutputName, false);
  simulated = backend.get();
  return backend;
}

bool PrepareRecorder(const RecOptions& options, const Settings& settings, WaveBackend& devices,
                     Recorder& recorder, std::string& error) {
  FormatSelectors& selectors = recorder.selectors;
  selectors.inputDevice = InputDeviceName(options, settings);
  selectors.outputDevice = settings.ReadText("DeviceOutName");
  SelectStoredFormat(selectors, settings);
  if (!options.inputFile.empty()) {
    const WaveFileInfo info = ReadWaveFileInfo(options.inputFile);
    SelectFormat(selectors, info.sampleRate, info.bitsPerSample, info.channels);
  } else if (!options.testSignal && !options.inputName.empty() && options.inputName != "-1" &&
             FindWaveDevice(devices, true, options.inputName, false) < 0) {
    // A device named on the command line must exist: recording from another
    // one instead would surprise. (A stored name falls back to the default.)
    error = "この名前のデバイスを検出できませんでした " + options.inputName + " (see --list-devices)";
    return false;
  }
  RecorderControls& controls = recorder.controls;
  controls.CheckUseTH = settings.ReadShort("AutoRec");
  controls.CheckSequential = settings.ReadShort("Sequential");
  controls.CheckModemp3 = settings.ReadWhole("Modemp3");
  controls.HScrollRec = {ReadClamped(settings, "StartLevel", -600, 0), ReadClamped(settings, "EndLevel", -600, 0),
                         ReadClamped(settings, "EndTime", 1, 200)};
  ReadFieldSettings(settings, controls);
  controls.DataPath = ResolveDataPath(settings);
  // The window falls back to a default folder when the stored one is gone; a
  // folder given on the command line must exist, or the take would go elsewhere.
  for (const auto& [key, value] : options.settings.sets) {
    if (AsciiLower(key) == "datapath" && !value.empty() && !FolderExists(value)) {
      error = "the folder does not exist: " + value;
      return false;
    }
  }
  recorder.SetRecLevel(RecLevelOf(settings));
  // The format as the take will see it, for the MP3 choice.
  CaptureFormat capture;
  SetupFormat(selectors, devices, capture);
  PrepareMp3(settings, capture.format, recorder);
  return true;
}

}  // namespace lumora::rec
