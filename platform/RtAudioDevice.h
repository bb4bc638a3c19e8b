#pragma once
// One open device of the RtAudio backend. RtAudio's callback thread is the
// consumer of the buffer queue: it copies each block into (or out of) the
// queued buffers and flips their flags. It allocates nothing, touches no file
// and never waits for the owner: the owner's control calls hold `control_`,
// and the callback only try-locks it (a block that arrives during a control
// call is dropped, since that call is stopping or resetting the device).
//
// RtAudio reports stream failures through an error callback without user
// data; it runs on the thread that failed, so a thread-local pointer set by
// our callback (and around the owner's calls) names the device it concerns.
// A failed stream is aborted from the callback, and every later call of the
// owner answers kWaveDeviceRemoved.
//
// A hung sound server (stopped, not dead) blocks the library's stop and close
// calls for ever. Those run on a helper thread, and the owner waits at most
// kCloseWait for them: after that the device is abandoned (logged), every
// later call answers kWaveDeviceRemoved, and the helper keeps the device alive
// (its buffers all returned) until the library lets go of it.

#include <rtaudio/RtAudio.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/BufferQueue.h"
#include "platform/WaveDevice.h"

namespace lumora {

class RtAudioDevice final : public WaveDevice, public std::enable_shared_from_this<RtAudioDevice> {
 public:
  static constexpr std::chrono::seconds kCloseWait{2};

  // Opens the occurrence-th device (1, 2, ...) of `api` called `name` (empty:
  // the default device of the kind), a stream in the format. 0 and the device, or an error code (the
  // library's own text goes to the error log). Destroying the device handed out
  // closes it within kCloseWait.
  static int32_t Open(RtAudio::Api api, const std::string& name, int32_t occurrence, WaveDirection direction,
                      const WaveFormat& format, std::unique_ptr<WaveDevice>& device);

  RtAudioDevice(RtAudio::Api api, WaveDirection direction, const WaveFormat& format);
  ~RtAudioDevice() override;
  // Returns every buffer and closes the stream (waiting at most kCloseWait).
  void Close();

  WaveDirection Direction() const override { return direction_; }
  int32_t Prepare(WaveHeader& header) override;
  int32_t Unprepare(WaveHeader& header) override;
  int32_t Queue(WaveHeader& header) override;
  int32_t Start() override;
  int32_t Stop() override;
  int32_t Reset() override;
  int32_t Pause() override;
  int32_t Restart() override;
  int32_t Position(int64_t& frames) const override;
  int64_t LostFrames() const override { return lost_.load(std::memory_order_relaxed); }

 private:
  static int OnAudio(void* output, void* input, unsigned int frames, double streamTime,
                     RtAudioStreamStatus status, void* self);
  static void OnError(RtAudioError::Type type, const std::string& text);

  int32_t OpenStream(const std::string& name, int32_t occurrence);
  int Serve(uint8_t* output, uint8_t* input, unsigned int frames);
  void TakeIn(uint8_t* input, int64_t frames);
  void PlayOut(uint8_t* output, int64_t frames);
  // On the callback thread: records the first failure for the owner to log.
  void NoteFailure(const char* text);
  bool RunsAhead(unsigned int frames);
  // Runs an RtAudio call of the owner: 0, or an error code with the library's
  // text logged.
  template <class Call>
  int32_t Run(Call&& call);
  // Run for the calls a hung server blocks: on a helper thread, waited for at
  // most kCloseWait. The call may touch only members.
  template <class Call>
  int32_t RunBounded(Call call);
  // kWaveDeviceRemoved (logging the library's text once) after a stream failure, else 0.
  int32_t Failure() const;

  RtAudio audio_;
  const WaveDirection direction_;
  const WaveFormat format_;
  // A mono device serves a stereo format through `scratch_` (one stream block
  // of the format, allocated at the open): duplicated in, mixed down out.
  int32_t deviceChannels_ = 0;
  std::vector<uint8_t> scratch_;
  BufferQueue queue_;
  std::mutex control_;
  std::atomic<bool> active_{false};  // input: capturing; output: not paused
  std::atomic<int64_t> position_{0};
  std::atomic<int64_t> lost_{0};
  std::atomic<bool> failed_{false};
  std::atomic<bool> hung_{false};  // a stop or close did not return in time
  mutable std::atomic<bool> failureLogged_{false};
  bool ownerError_ = false;  // the error callback reported a failure during Run
  // Written by the callback thread only; the owner reads failureText_ once
  // failed_ is set.
  char failureText_[256] = {};
  char lastWarning_[256] = {};
  std::chrono::steady_clock::time_point servedSince_;
  int64_t servedFrames_ = 0;
  int64_t warnings_ = 0;  // since servedSince_
};

}  // namespace lumora
