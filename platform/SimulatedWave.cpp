#include "platform/SimulatedWave.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <thread>

#include "platform/SimulatedWorld.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

constexpr auto kPacingStep = std::chrono::milliseconds(5);

int64_t ToNanoseconds(double seconds) { return std::llround(seconds * 1e9); }

template <class Endpoint>
std::shared_ptr<Endpoint> Find(const std::vector<std::shared_ptr<Endpoint>>& list, int32_t id) {
  if (id < 0 || id >= static_cast<int32_t>(list.size())) return nullptr;
  return list[static_cast<size_t>(id)];
}

template <class Endpoint>
std::vector<std::string> Names(const std::vector<std::shared_ptr<Endpoint>>& list) {
  std::vector<std::string> names;
  for (const auto& endpoint : list) names.push_back(endpoint->name);
  return names;
}

}  // namespace

void SimulatedWorld::AdvanceTo(int64_t ns) {
  if (ns <= nowNs) return;
  nowNs = ns;
  for (SimulatedDevice* device : open) device->Step();
}

int32_t SimulatedWorld::TakeQueueFault() {
  if (queueFaultAfter != 0) return 0;
  queueFaultAfter = -1;
  return queueFaultCode;
}

void SimulatedWorld::CountAcceptedQueue() {
  if (queueFaultAfter > 0) --queueFaultAfter;
}

bool SimulatedWorld::TakeWithhold() {
  if (withholdAfter < 0) return false;
  if (withholdAfter == 0) {
    withholdAfter = -1;
    return true;
  }
  --withholdAfter;
  return false;
}

SimulatedWave::SimulatedWave() : world_(std::make_shared<SimulatedWorld>()) {}

SimulatedWave::~SimulatedWave() { StopPacing(); }

int32_t SimulatedWave::AddInput(const std::string& name, std::unique_ptr<SignalSource> source) {
  if (!source) return -1;  // a file source that could not be opened
  const std::lock_guard<std::mutex> lock(world_->mutex);
  auto input = std::make_shared<SimulatedInput>();
  input->name = name;
  input->source = std::move(source);
  input->originNs = world_->nowNs;
  world_->inputs.push_back(std::move(input));
  return static_cast<int32_t>(world_->inputs.size()) - 1;
}

int32_t SimulatedWave::AddOutput(const std::string& name, bool keepSamples) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  auto output = std::make_shared<SimulatedOutput>();
  output->name = name;
  output->keepSamples = keepSamples;
  world_->outputs.push_back(std::move(output));
  return static_cast<int32_t>(world_->outputs.size()) - 1;
}

int32_t SimulatedWave::AddOutput(const std::string& name, std::function<void(const uint8_t*, int64_t)> sink) {
  const int32_t id = AddOutput(name, false);
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->outputs[static_cast<size_t>(id)]->sink = std::move(sink);
  return id;
}

std::vector<std::string> SimulatedWave::DeviceNames(WaveDirection direction) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  return direction == WaveDirection::kInput ? Names(world_->inputs) : Names(world_->outputs);
}

int32_t SimulatedWave::Open(WaveDirection direction, int32_t id, const WaveFormat& format,
                            std::unique_ptr<WaveDevice>& device) {
  device.reset();
  std::shared_ptr<SimulatedInput> input;
  std::shared_ptr<SimulatedOutput> output;
  {
    const std::lock_guard<std::mutex> lock(world_->mutex);
    if (world_->openFault != 0) return world_->openFault;
    const int32_t index = id == -1 ? 0 : id;  // the first device is the default
    if (direction == WaveDirection::kInput) {
      input = Find(world_->inputs, index);
    } else {
      output = Find(world_->outputs, index);
    }
    if (!input && !output) return kWaveBadDeviceId;
    if (const int32_t bad = CheckWaveFormat(format)) return bad;
    if (input) {
      if (const int32_t refused = input->source->CheckFormat(format)) return refused;
    }
  }
  device = std::make_unique<SimulatedDevice>(world_, std::move(input), std::move(output), format);
  return 0;
}

void SimulatedWave::Advance(double seconds) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->AdvanceTo(world_->nowNs + ToNanoseconds(seconds));
}

double SimulatedWave::Now() const {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  return static_cast<double>(world_->nowNs) / 1e9;
}

void SimulatedWave::StartPacing() {
  if (pacer_.joinable()) return;
  pacer_ = std::jthread([world = world_](std::stop_token stop) {
    const auto start = std::chrono::steady_clock::now();
    int64_t base = 0;
    {
      const std::lock_guard<std::mutex> lock(world->mutex);
      base = world->nowNs;
    }
    std::mutex sleepMutex;
    std::condition_variable_any wake;
    std::unique_lock<std::mutex> sleeping(sleepMutex);
    while (!stop.stop_requested()) {
      wake.wait_for(sleeping, stop, kPacingStep, [] { return false; });
      const auto elapsed = std::chrono::steady_clock::now() - start;
      const std::lock_guard<std::mutex> lock(world->mutex);
      world->AdvanceTo(base + std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
    }
  });
}

void SimulatedWave::StopPacing() {
  if (!pacer_.joinable()) return;
  pacer_.request_stop();
  pacer_.join();
}

void SimulatedWave::FailOpen(int32_t code) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->openFault = code;
}

void SimulatedWave::FailQueueAfter(int64_t successfulCalls, int32_t code) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->queueFaultAfter = successfulCalls;
  world_->queueFaultCode = code;
}

void SimulatedWave::WithholdDoneAfter(int64_t buffers) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->withholdAfter = buffers;
}

void SimulatedWave::Pull(WaveDirection direction, int32_t id) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  auto pull = [id](auto& list) {
    if (id < 0 || id >= static_cast<int32_t>(list.size())) return;
    list[static_cast<size_t>(id)]->pulled = true;
    list.erase(list.begin() + id);
  };
  if (direction == WaveDirection::kInput) {
    pull(world_->inputs);
  } else {
    pull(world_->outputs);
  }
}

bool SimulatedWave::InputFinished(int32_t id) const {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  const std::shared_ptr<SimulatedInput> input = Find(world_->inputs, id);
  if (!input) return false;
  bool heard = false;
  for (const SimulatedDevice* device : world_->open) {
    if (!device->Hears(*input)) continue;
    if (!device->SourceFinished()) return false;
    heard = true;
  }
  if (heard) return true;
  const WaveFormat format = input->source->PreferredFormat();
  const int64_t length = input->source->Length(format);
  return length >= 0 && FramesIn(world_->nowNs - input->originNs, format.samplesPerSec) >= length;
}

std::vector<uint8_t> SimulatedWave::OutputBytes(int32_t id) const {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  const std::shared_ptr<SimulatedOutput> output = Find(world_->outputs, id);
  return output ? output->played : std::vector<uint8_t>{};
}

}  // namespace lumora
