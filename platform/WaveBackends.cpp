#include "platform/WaveBackends.h"

#include <array>

#include "platform/SimulatedWave.h"

namespace lumora {

const char* const kTestSignalInputName = "内蔵テスト信号 (1 kHz -20 dB)";
const char* const kSilentOutputName = "内蔵無音出力";

namespace {

// The real backend, with the embedded devices standing in for a kind it has
// none of. The embedded devices (and their clock thread) exist only once needed.
class EmbeddedDefault final : public WaveBackend {
 public:
  explicit EmbeddedDefault(std::unique_ptr<WaveBackend> real) : real_(std::move(real)) {
    DeviceNames(WaveDirection::kInput);
    DeviceNames(WaveDirection::kOutput);
  }

  std::vector<std::string> DeviceNames(WaveDirection direction) override {
    std::vector<std::string> names = real_->DeviceNames(direction);
    const bool standIn = names.empty();
    embeddedFor_[Kind(direction)] = standIn;
    return standIn ? Embedded().DeviceNames(direction) : names;
  }

  int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
               std::unique_ptr<WaveDevice>& device) override {
    WaveBackend& chosen = embeddedFor_[Kind(direction)] ? Embedded() : *real_;
    return chosen.Open(direction, id, format, device);
  }

 private:
  static size_t Kind(WaveDirection direction) { return direction == WaveDirection::kInput ? 0 : 1; }

  SimulatedWave& Embedded() {
    if (!embedded_) {
      embedded_ = std::make_unique<SimulatedWave>();
      embedded_->AddInput(kTestSignalInputName, MakeTone(1000.0, -20.0));
      embedded_->AddOutput(kSilentOutputName, false);
      embedded_->StartPacing();
    }
    return *embedded_;
  }

  std::unique_ptr<WaveBackend> real_;
  std::unique_ptr<SimulatedWave> embedded_;
  std::array<bool, 2> embeddedFor_{};
};

}  // namespace

std::unique_ptr<WaveBackend> WithEmbeddedDefault(std::unique_ptr<WaveBackend> real) {
  return std::make_unique<EmbeddedDefault>(std::move(real));
}

std::unique_ptr<WaveBackend> CreateWaveBackend() { return WithEmbeddedDefault(CreateSoundSystemWave()); }

}  // namespace lumora
