// The devices of the sound system. Where a PulseAudio server answers, its
// sources are listed and opened through libpulse (each by its unique name) and
// the outputs through RtAudio's PulseAudio API. Without a server everything
// goes through RtAudio's ALSA API (through a running server ALSA would only
// offer "default").

#include <algorithm>
#include <array>

#include "platform/PulseCapture.h"
#include "platform/PulseSources.h"
#include "platform/QuietStderr.h"
#include "platform/RtAudioDevice.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

// The devices of one kind: the names shown (a repeated name gets " (2)", " (3)"
// ... so that two identical microphones can both be chosen), and for each the
// library's name, which of the devices so named it is, and the server's unique
// name where there is one.
struct DeviceList {
  std::vector<std::string> shown;
  std::vector<std::string> names;
  std::vector<int32_t> occurrences;  // 1, 2, ...
  std::vector<std::string> serverNames;

  void Add(const std::string& name, const std::string& serverName = {}) {
    const auto occurrence = static_cast<int32_t>(std::count(names.begin(), names.end(), name) + 1);
    shown.push_back(occurrence == 1 ? name : name + " (" + std::to_string(occurrence) + ")");
    names.push_back(name);
    occurrences.push_back(occurrence);
    serverNames.push_back(serverName);
  }
};
enum Kind : size_t { kInputs = 0, kOutputs = 1 };
using DeviceLists = std::array<DeviceList, 2>;

// The devices of api of the kinds asked for; empty lists when it does not answer.
DeviceLists ListDevices(RtAudio::Api api, bool inputs) {
  DeviceLists lists;
  try {
    RtAudio audio(api);
    audio.showWarnings(false);
    const unsigned int count = audio.getDeviceCount();
    for (unsigned int k = 0; k < count; ++k) {
      const RtAudio::DeviceInfo info = audio.getDeviceInfo(k);
      if (!info.probed) continue;
      if (inputs && info.inputChannels > 0) lists[kInputs].Add(info.name);
      if (info.outputChannels > 0) lists[kOutputs].Add(info.name);
    }
  } catch (const RtAudioError&) {
    return {};
  }
  return lists;
}

class SoundSystemWave final : public WaveBackend {
 public:
  std::vector<std::string> DeviceNames(WaveDirection direction) override {
    Probe();
    return devices_[KindOf(direction)].shown;
  }

  int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
               std::unique_ptr<WaveDevice>& device) override {
    device.reset();
    if (!probed_) Probe();
    const DeviceList& list = devices_[KindOf(direction)];
    if (list.names.empty()) return kWaveNoDriver;
    if (id < -1 || id >= static_cast<int32_t>(list.names.size())) return kWaveBadDeviceId;
    const auto k = static_cast<size_t>(id);
    if (pulse_ && direction == WaveDirection::kInput)
      return PulseCapture::Open(id == -1 ? std::string() : list.serverNames[k], format, device);
    if (id == -1) return RtAudioDevice::Open(api_, {}, 1, direction, format, device);
    return RtAudioDevice::Open(api_, list.names[k], list.occurrences[k], direction, format, device);
  }

 private:
  static Kind KindOf(WaveDirection direction) {
    return direction == WaveDirection::kInput ? kInputs : kOutputs;
  }

  // A server that does not answer offers nothing: the audio library would
  // wait for it for ever, through ALSA as well (its default device is the server).
  void Probe() {
    const QuietStderr quiet;
    std::vector<PulseSource> sources;
    const PulseServer server = ListPulseSources(sources);
    pulse_ = server != PulseServer::kAbsent;
    api_ = pulse_ ? RtAudio::LINUX_PULSE : RtAudio::LINUX_ALSA;
    devices_ = server == PulseServer::kSilent ? DeviceLists{} : ListDevices(api_, !pulse_);
    for (const PulseSource& source : sources) devices_[kInputs].Add(source.description, source.name);
    probed_ = true;
  }

  bool pulse_ = false;
  RtAudio::Api api_ = RtAudio::LINUX_ALSA;
  DeviceLists devices_;
  bool probed_ = false;
};

}  // namespace

std::unique_ptr<WaveBackend> CreateSoundSystemWave() { return std::make_unique<SoundSystemWave>(); }

}  // namespace lumora
