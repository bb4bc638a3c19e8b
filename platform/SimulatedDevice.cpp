#include <algorithm>

#include "platform/SimulatedWorld.h"
#include "platform/WaveError.h"

namespace lumora {

int64_t FramesIn(int64_t nanoseconds, int32_t rate) {
  return static_cast<int64_t>(static_cast<__int128>(nanoseconds) * rate / 1000000000);
}

SimulatedDevice::SimulatedDevice(std::shared_ptr<SimulatedWorld> world, std::shared_ptr<SimulatedInput> input,
                                 std::shared_ptr<SimulatedOutput> output, const WaveFormat& format)
    : world_(std::move(world)), input_(std::move(input)), output_(std::move(output)), format_(format) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  world_->open.push_back(this);
  openNs_ = world_->nowNs;
  running_ = output_ != nullptr;  // an output plays from the open on
}

SimulatedDevice::~SimulatedDevice() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  queue_.ReturnAll();
  std::erase(world_->open, this);
}

WaveDirection SimulatedDevice::Direction() const {
  return input_ ? WaveDirection::kInput : WaveDirection::kOutput;
}

bool SimulatedDevice::Pulled() const { return input_ ? input_->pulled : output_->pulled; }

int64_t SimulatedDevice::SourceFrameNow() const {
  return FramesIn(world_->nowNs - input_->originNs, format_.samplesPerSec);
}

int32_t SimulatedDevice::Prepare(WaveHeader& header) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  return Pulled() ? kWaveDeviceRemoved : PrepareHeader(header);
}

int32_t SimulatedDevice::Unprepare(WaveHeader& header) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  return Pulled() ? kWaveDeviceRemoved : UnprepareHeader(header);
}

int32_t SimulatedDevice::Queue(WaveHeader& header) {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  if (const int32_t fault = world_->TakeQueueFault()) return fault;
  const int32_t code = queue_.Push(header, format_.blockAlign);
  if (code == 0) world_->CountAcceptedQueue();
  return code;
}

int32_t SimulatedDevice::Start() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  if (input_ && !running_) {
    // The position goes on from where it stood; what passed meanwhile is gone.
    sourceStart_ = SourceFrameNow() - position_;
    running_ = true;
  }
  return 0;
}

int32_t SimulatedDevice::Stop() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  if (output_) return kWaveNotSupported;
  running_ = false;
  queue_.CompletePartial();
  return 0;
}

int32_t SimulatedDevice::Reset() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  queue_.ReturnAll();
  position_ = 0;
  lost_ = 0;
  if (input_) running_ = false;
  return 0;
}

int32_t SimulatedDevice::Pause() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  if (input_) return kWaveNotSupported;
  running_ = false;
  return 0;
}

int32_t SimulatedDevice::Restart() {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  if (Pulled()) return kWaveDeviceRemoved;
  if (input_) return kWaveNotSupported;
  running_ = true;
  return 0;
}

int32_t SimulatedDevice::Position(int64_t& frames) const {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  frames = position_;
  return Pulled() ? kWaveDeviceRemoved : 0;
}

int64_t SimulatedDevice::LostFrames() const {
  const std::lock_guard<std::mutex> lock(world_->mutex);
  return lost_;
}

void SimulatedDevice::Step() {
  if (Pulled()) return;
  if (input_) {
    StepInput();
  } else {
    StepOutput();
  }
}

void SimulatedDevice::StepInput() {
  if (!running_) return;
  const int64_t due = SourceFrameNow() - sourceStart_ - position_;
  if (due <= 0) return;
  const int64_t blockAlign = format_.blockAlign;
  const int64_t first = sourceStart_ + position_;
  SignalSource& source = *input_->source;
  const int64_t moved = queue_.Transfer(
      due * blockAlign,
      [&](uint8_t* buffer, int64_t n, int64_t at) {
        source.Render(first + at / blockAlign, n / blockAlign, format_, buffer);
      },
      [this] { return world_->TakeWithhold(); });
  position_ += due;
  lost_ += due - moved / blockAlign;
}

void SimulatedDevice::StepOutput() {
  const int64_t clock = FramesIn(world_->nowNs - openNs_, format_.samplesPerSec);
  const int64_t due = clock - clockFrames_;
  clockFrames_ = clock;
  if (!running_ || due <= 0) return;
  SimulatedOutput& output = *output_;
  const int64_t moved = queue_.Transfer(
      due * format_.blockAlign,
      [&output](uint8_t* buffer, int64_t n, int64_t) {
        if (output.sink) {
          output.sink(buffer, n);
        } else if (output.keepSamples) {
          output.played.insert(output.played.end(), buffer, buffer + n);
        }
      },
      [this] { return world_->TakeWithhold(); });
  position_ += moved / format_.blockAlign;
}

bool SimulatedDevice::SourceFinished() const {
  const int64_t length = input_->source->Length(format_);
  if (length < 0 || SourceFrameNow() < length) return false;
  const int64_t next = sourceStart_ + position_;
  const int64_t pending = running_ ? queue_.FrontBytes() / format_.blockAlign : 0;
  const int64_t last = length - 1;
  return !(last < next && last >= next - pending);
}

}  // namespace lumora
