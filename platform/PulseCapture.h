#pragma once
// An input device on a PulseAudio source, opened by the source's unique name,
// so each of two sources with the same description opens its own. A record
// stream on a connection of its own; the server converts the source to the
// format asked for (rate, channels, unsigned 8 / 16 / packed 24 bit).
//
// The mainloop thread is the consumer of the buffer queue: its read callback
// copies each fragment into the queued buffers and flips their flags. It
// allocates nothing and touches no file; the owner's control calls hold the
// mainloop lock, which keeps it out. The stream may not move to another
// source: a source that vanishes, or a server that dies, fails the stream, and
// every later call of the owner answers kWaveDeviceRemoved (the server's text
// goes to the error log once).

#include <atomic>
#include <memory>
#include <string>

#include "platform/BufferQueue.h"
#include "platform/PulseLoop.h"
#include "platform/WaveDevice.h"
#include "platform/WaveError.h"

namespace lumora {

class PulseCapture final : public WaveDevice {
 public:
  // Opens the source called `source` (empty: the server's default source) in
  // the format, waiting at most PulseLoop::kAnswerWait for the server. 0 and
  // the device; kWaveBadFormat, kWaveNoDriver (no server), kWaveBadDeviceId
  // (no such source) or kWaveUnspecified (the server's text is logged).
  static int32_t Open(const std::string& source, const WaveFormat& format,
                      std::unique_ptr<WaveDevice>& device);

  ~PulseCapture() override;

  WaveDirection Direction() const override { return WaveDirection::kInput; }
  int32_t Prepare(WaveHeader& header) override;
  int32_t Unprepare(WaveHeader& header) override;
  int32_t Queue(WaveHeader& header) override;
  int32_t Start() override;
  int32_t Stop() override;
  int32_t Reset() override;
  int32_t Pause() override { return kWaveNotSupported; }
  int32_t Restart() override { return kWaveNotSupported; }
  int32_t Position(int64_t& frames) const override;
  int64_t LostFrames() const override;

 private:
  PulseCapture(std::unique_ptr<PulseLoop> loop, const WaveFormat& format);
  int32_t Connect(const std::string& source);
  static void OnState(pa_stream* stream, void* self);
  static void OnRead(pa_stream* stream, size_t bytes, void* self);
  void TakeIn(const uint8_t* data, int64_t bytes);
  // With the lock held: holds the stream (or lets it run) and drops what the
  // server kept, so a later start does not begin with stale frames.
  void Hold(bool hold);
  // kWaveDeviceRemoved (logging the server's text once) after a stream failure, else 0.
  int32_t Failure() const;

  std::unique_ptr<PulseLoop> loop_;
  pa_stream* stream_ = nullptr;
  const WaveFormat format_;
  BufferQueue queue_;
  std::atomic<bool> active_{false};
  std::atomic<int64_t> positionBytes_{0};
  std::atomic<int64_t> lostBytes_{0};
  std::atomic<bool> failed_{false};
  mutable std::atomic<bool> failureLogged_{false};
  // Written on the mainloop thread before failed_ is set.
  char failureText_[256] = {};
};

}  // namespace lumora
