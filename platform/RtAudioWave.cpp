// The RtAudio backend: device names and the open. PulseAudio is asked first;
// without a server it lists nothing and ALSA is asked instead (through a
// running server ALSA would only offer "default").

#include <algorithm>
#include <array>

#include "platform/QuietStderr.h"
#include "platform/RtAudioDevice.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

// The devices of one kind: the names shown (a repeated name gets " (2)", " (3)"
// ... so that two identical microphones can both be chosen), and for each the
// library's name and which of the devices so named it is.
struct DeviceList {
  std::vector<std::string> shown;
  std::vector<std::string> names;
  std::vector<int32_t> occurrences;  // 1, 2, ...

  void Add(const std::string& name) {
    const auto occurrence = static_cast<int32_t>(std::count(names.begin(), names.end(), name) + 1);
    shown.push_back(occurrence == 1 ? name : name + " (" + std::to_string(occurrence) + ")");
    names.push_back(name);
    occurrences.push_back(occurrence);
  }
};
using DeviceLists = std::array<DeviceList, 2>;

// The devices of api per kind; empty lists when it does not answer.
DeviceLists ListDevices(RtAudio::Api api) {
  DeviceLists lists;
  try {
    RtAudio audio(api);
    audio.showWarnings(false);
    const unsigned int count = audio.getDeviceCount();
    for (unsigned int k = 0; k < count; ++k) {
      const RtAudio::DeviceInfo info = audio.getDeviceInfo(k);
      if (!info.probed) continue;
      if (info.inputChannels > 0) lists[0].Add(info.name);
      if (info.outputChannels > 0) lists[1].Add(info.name);
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
    return devices_[Kind(direction)].shown;
  }

  int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
               std::unique_ptr<WaveDevice>& device) override {
    device.reset();
    if (!probed_) Probe();
    const DeviceList& list = devices_[Kind(direction)];
    if (list.names.empty()) return kWaveNoDriver;
    if (id < -1 || id >= static_cast<int32_t>(list.names.size())) return kWaveBadDeviceId;
    if (id == -1) return RtAudioDevice::Open(api_, {}, 1, direction, format, device);
    const auto k = static_cast<size_t>(id);
    return RtAudioDevice::Open(api_, list.names[k], list.occurrences[k], direction, format, device);
  }

 private:
  static size_t Kind(WaveDirection direction) { return direction == WaveDirection::kInput ? 0 : 1; }

  void Probe() {
    const QuietStderr quiet;
    api_ = RtAudio::LINUX_PULSE;
    devices_ = ListDevices(api_);
    if (devices_[0].names.empty() && devices_[1].names.empty()) {
      api_ = RtAudio::LINUX_ALSA;
      devices_ = ListDevices(api_);
    }
    probed_ = true;
  }

  RtAudio::Api api_ = RtAudio::LINUX_PULSE;
  DeviceLists devices_;
  bool probed_ = false;
};

}  // namespace

std::unique_ptr<WaveBackend> CreateRtAudioWave() { return std::make_unique<RtAudioWave>(); }

}  // namespace lumora
