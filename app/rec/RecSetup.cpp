#include "app/rec/RecSetup.h"

#include <cstdio>

#include "formats/Wav.h"
#include "platform/SignalSource.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"
#include "settings/DataFolder.h"
#include "support/FileSystem.h"
#include "support/Log.h"
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
  selectors.inputDevice = options.inputName.empty() ? settings.ReadText("DeviceInName") : options.inputName;
  // No name at all: the system's default input (the desktop's microphone), not
  // whatever device happens to be listed first (often a monitor of an output).
  if (selectors.inputDevice.empty()) selectors.inputDevice = "-1";
  selectors.outputDevice = settings.ReadText("DeviceOutName");
  SelectFormat(selectors, settings.ReadWhole("nFreq"), settings.ReadShort("nBit"), settings.ReadShort("nCh"));
  if (!options.inputFile.empty()) {
    const WaveFileInfo info = ReadWaveFileInfo(options.inputFile);
    selectors.inputDevice = "0";
    SelectFormat(selectors, info.sampleRate, info.bitsPerSample, info.channels);
  } else if (options.testSignal) {
    selectors.inputDevice = "0";
  } else if (!options.inputName.empty() && options.inputName != "-1" &&
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
  controls.HScrollRec = {settings.ReadWhole("StartLevel"), settings.ReadWhole("EndLevel"),
                         settings.ReadWhole("EndTime")};
  controls.DataPath = ResolveDataPath(settings);
  // The window falls back to a default folder when the stored one is gone; a
  // folder given on the command line must exist, or the take would go elsewhere.
  for (const auto& [key, value] : options.settings.sets) {
    if (AsciiLower(key) == "datapath" && !value.empty() && !FolderExists(value)) {
      error = "the folder does not exist: " + value;
      return false;
    }
  }
  recorder.SetRecLevel(settings.ReadDecimal("RecLevel"));
  // The format as the take will see it, for the MP3 choice.
  CaptureFormat capture;
  SetupFormat(selectors, devices, capture);
  PrepareMp3(settings, capture.format, recorder);
  return true;
}

}  // namespace lumora::rec
