#pragma once
// The shared state of the simulated devices: the timeline, the endpoints (what
// a device name stands for), the open devices and the armed faults. One mutex
// guards all of it; the clock thread and the owner's calls both take it. Only
// the header flags are read without it, which is what their atomics are for.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/BufferQueue.h"
#include "platform/SignalSource.h"
#include "platform/WaveDevice.h"

namespace lumora {

// Frames of `rate` in a span of nanoseconds (floor). Computed from absolute
// spans, so stepping never accumulates rounding.
int64_t FramesIn(int64_t nanoseconds, int32_t rate);

struct SimulatedInput {
  std::string name;
  std::unique_ptr<SignalSource> source;
  int64_t originNs = 0;  // the moment the source began on the timeline
  bool pulled = false;
};

struct SimulatedOutput {
  std::string name;
  bool keepSamples = true;
  std::vector<uint8_t> played;
  std::function<void(const uint8_t*, int64_t)> sink;  // takes the played bytes instead
  bool pulled = false;
};

class SimulatedDevice;

struct SimulatedWorld {
  std::mutex mutex;
  int64_t nowNs = 0;
  std::vector<std::shared_ptr<SimulatedInput>> inputs;  // listed ones, in id order
  std::vector<std::shared_ptr<SimulatedOutput>> outputs;
  std::vector<SimulatedDevice*> open;  // every live device
  int32_t openFault = 0;
  int64_t queueFaultAfter = -1;  // accepted Queue calls before the refusal; -1 none
  int32_t queueFaultCode = 0;
  int64_t withholdAfter = -1;  // completions before the withheld one; -1 none

  // Moves the timeline to `ns` (never back) and steps every open device.
  void AdvanceTo(int64_t ns);
  // The armed queue refusal, counted down by each call: its code, or 0.
  int32_t TakeQueueFault();
  void CountAcceptedQueue();
  // Whether the buffer completing now is the one to leave without its done flag.
  bool TakeWithhold();
};

class SimulatedDevice final : public WaveDevice {
 public:
  SimulatedDevice(std::shared_ptr<SimulatedWorld> world, std::shared_ptr<SimulatedInput> input,
                  std::shared_ptr<SimulatedOutput> output, const WaveFormat& format);
  ~SimulatedDevice() override;

  WaveDirection Direction() const override;
  int32_t Prepare(WaveHeader& header) override;
  int32_t Unprepare(WaveHeader& header) override;
  int32_t Queue(WaveHeader& header) override;
  int32_t Start() override;
  int32_t Stop() override;
  int32_t Reset() override;
  int32_t Pause() override;
  int32_t Restart() override;
  int32_t Position(int64_t& frames) const override;
  int64_t LostFrames() const override;

  // With the world's mutex held: take in or play what fell due up to nowNs.
  void Step();
  // With the world's mutex held: whether the device listens to `input`, and
  // whether its source has ended with the last frame no longer waiting in a
  // buffer this device has not handed back.
  bool Hears(const SimulatedInput& input) const { return input_.get() == &input; }
  bool SourceFinished() const;

 private:
  bool Pulled() const;
  int64_t SourceFrameNow() const;
  void StepInput();
  void StepOutput();

  const std::shared_ptr<SimulatedWorld> world_;
  const std::shared_ptr<SimulatedInput> input_;
  const std::shared_ptr<SimulatedOutput> output_;
  const WaveFormat format_;
  BufferQueue queue_;
  bool running_ = false;  // input: started; output: not paused
  int64_t position_ = 0;
  int64_t lost_ = 0;
  int64_t sourceStart_ = 0;  // input: the source frame that is device frame 0
  int64_t openNs_ = 0;       // output: the open, where its clock starts
  int64_t clockFrames_ = 0;  // output: frames of time that passed since the open
};

}  // namespace lumora
