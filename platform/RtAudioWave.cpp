// The RtAudio backend: device names and the open. PulseAudio is asked first;
// without a server it lists nothing and ALSA is asked instead (through a
// running server ALSA would only offer "default").

#include <array>

#include "platform/QuietStderr.h"
#include "platform/RtAudioDevice.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

using NameLists = std::array<std::vector<std::string>, 2>;

// The names of the devices of api per kind; empty lists when it does not answer.
NameLists ListDevices(RtAudio::Api api) {
  NameLists lists;
  try {
    RtAudio audio(api);
    audio.showWarnings(false);
    const unsigned int count = audio.getDeviceCount();
    for (unsigned int k = 0; k < count; ++k) {
      const RtAudio::DeviceInfo info = audio.getDeviceInfo(k);
      if (!info.probed) continue;
      if (info.inputChannels > 0) lists[0].push_back(info.name);
      if (info.outputChannels > 0) lists[1].push_back(info.name);
    }
  } catch (const RtAudioError&) {
    return {};
  }
  return lists;
}

class RtAudioWave final : public WaveBackend {
 public:
  std::vector<std::string> DeviceNames(WaveDirection direction) override {
    Probe();
    return names_[Kind(direction)];
  }

  int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
               std::unique_ptr<WaveDevice>& device) override {
    device.reset();
    if (!probed_) Probe();
    const std::vector<std::string>& names = names_[Kind(direction)];
    if (names.empty()) return kWaveNoDriver;
    if (id < -1 || id >= static_cast<int32_t>(names.size())) return kWaveBadDeviceId;
    const std::string name = id == -1 ? std::string() : names[static_cast<size_t>(id)];
    return RtAudioDevice::Open(api_, name, direction, format, device);
  }

 private:
  static size_t Kind(WaveDirection direction) { return direction == WaveDirection::kInput ? 0 : 1; }

  void Probe() {
    const QuietStderr quiet;
    api_ = RtAudio::LINUX_PULSE;
    names_ = ListDevices(api_);
    if (names_[0].empty() && names_[1].empty()) {
      api_ = RtAudio::LINUX_ALSA;
      names_ = ListDevices(api_);
    }
    probed_ = true;
  }

  RtAudio::Api api_ = RtAudio::LINUX_PULSE;
  NameLists names_;
  bool probed_ = false;
};

}  // namespace

std::unique_ptr<WaveBackend> CreateRtAudioWave() { return std::make_unique<RtAudioWave>(); }

}  // namespace lumora
