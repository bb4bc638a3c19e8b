#pragma once
// The wave-device layer: input and output devices that take PCM buffers in
// queue order and hand each one back by flags, with no callback into the
// program. The owner polls a header's flags; only after the done flag is set may
// it read the bytes recorded (input) or reuse the buffer (output).
//
// Backends: the sound system's (real devices: platform/PulseCapture.h for
// PulseAudio sources, platform/RtAudioDevice.h for the rest) and a simulated one
// (platform/SimulatedWave.h). CreateWaveBackend (platform/WaveBackends.h) picks.
// Every call returns 0 or a wave error code (platform/WaveError.h).

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/SampleFormat.h"

namespace lumora {

enum class WaveDirection : int32_t { kInput = 0, kOutput = 1 };

// Header flag bits.
constexpr uint32_t kWaveDone = 1;      // the device has filled (or played) the buffer
constexpr uint32_t kWavePrepared = 2;  // Prepare was called; Queue requires it
constexpr uint32_t kWaveInQueue = 16;  // queued and not yet returned

// The twelve sample rates a device can be opened with.
constexpr int32_t kWaveRates[] = {8000,  11025, 12000, 16000, 22050, 24000,
                                  32000, 44100, 48000, 88200, 96000, 192000};

// The PCM format record a device is opened with.
struct WaveFormat {
  int16_t formatTag = 1;  // PCM
  int16_t channels = 2;
  int32_t samplesPerSec = 44100;
  int32_t avgBytesPerSec = 176400;  // blockAlign * samplesPerSec
  int16_t blockAlign = 4;
  int16_t bitsPerSample = 16;
  int16_t extraSize = 0;
};

// The PCM record of a sample format.
WaveFormat MakeWaveFormat(const SampleFormat& format);
// 0 when a device can be opened in the format: tag 1, 8/16/24 bit, 1 or 2
// channels, one of kWaveRates, consistent block align and byte rate; else
// kWaveBadFormat.
int32_t CheckWaveFormat(const WaveFormat& format);

// One buffer as the device sees it. The owner keeps the header and its data
// alive and in place from Queue until the done flag is set (or Reset / the
// device's destruction returned it). The device writes bytesRecorded and flags
// from its own thread, hence the atomics.
struct WaveHeader {
  uint8_t* data = nullptr;
  int64_t length = 0;  // bytes; a whole number of frames
  std::atomic<int64_t> bytesRecorded{0};
  std::atomic<uint32_t> flags{0};

  uint32_t Flags() const { return flags.load(std::memory_order_acquire); }
};

// An open device. Destroying it closes it: queued buffers are returned as by
// Reset first, so no buffer stays in the device's hands.
class WaveDevice {
 public:
  virtual ~WaveDevice() = default;

  virtual WaveDirection Direction() const = 0;
  // Marks the header usable; kWaveStillPlaying while it is queued.
  virtual int32_t Prepare(WaveHeader& header) = 0;
  // Clears the prepared flag; kWaveStillPlaying while it is queued.
  virtual int32_t Unprepare(WaveHeader& header) = 0;
  // Appends the buffer to the device's queue: done cleared, in-queue set, bytes
  // recorded 0. kWaveUnprepared, kWaveStillPlaying (already queued),
  // kWaveInvalidParam (no data, or a length that is not whole frames),
  // kWaveQueueFull (more than kWaveQueueCapacity buffers waiting).
  virtual int32_t Queue(WaveHeader& header) = 0;
  // Input: capturing begins; frame 0 is the first frame after this call.
  // Output: plays from the open on, so Start does nothing.
  virtual int32_t Start() = 0;
  // Input: capturing ends; a partly filled buffer is returned done, the empty
  // ones stay queued. Output: kWaveNotSupported (use Pause).
  virtual int32_t Stop() = 0;
  // Stops the device, returns every queued buffer (done set, in-queue cleared)
  // and sets the position to 0.
  virtual int32_t Reset() = 0;
  // Output only (input: kWaveNotSupported): holds playback without losing the
  // place, and resumes it.
  virtual int32_t Pause() = 0;
  virtual int32_t Restart() = 0;
  // Frames since Start (input; frames lost for want of a queued buffer count,
  // as on a real device) or frames played from queued buffers since the open
  // or the last Reset (output; silence while starved or paused does not
  // count). kWaveDeviceRemoved once the device has failed.
  virtual int32_t Position(int64_t& frames) const = 0;
  // Input frames that arrived while no buffer was queued.
  virtual int64_t LostFrames() const = 0;
};

// Buffers one device holds queued at most.
constexpr int32_t kWaveQueueCapacity = 64;

// A family of devices: the names and the open.
class WaveBackend {
 public:
  virtual ~WaveBackend() = default;
  // Device names of the kind in id order (0, 1, ...), enumerated afresh.
  virtual std::vector<std::string> DeviceNames(WaveDirection direction) = 0;
  // Opens device `id` of the kind (-1: the default device) in the format. 0 and
  // the device in `device`; otherwise an error code and `device` empty:
  // kWaveBadDeviceId, kWaveBadFormat, kWaveAllocated, kWaveDeviceRemoved, ...
  virtual int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
                       std::unique_ptr<WaveDevice>& device) = 0;
};

}  // namespace lumora
