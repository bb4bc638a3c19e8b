#pragma once
// Error codes of the wave-device layer and their texts, in one table. The low
// numbers follow the classic wave-device numbering so that logs read familiar;
// codes 60 and above are this layer's own.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

enum WaveError : int32_t {
  kWaveNoError = 0,
  kWaveUnspecified = 1,    // the backend failed (its own text goes to the error log)
  kWaveBadDeviceId = 2,    // no device with that id
  kWaveAllocated = 4,      // the device is in use
  kWaveInvalidHandle = 5,  // the device is closed
  kWaveNoDriver = 6,       // no sound system answers
  kWaveNoMemory = 7,
  kWaveNotSupported = 8,       // the operation does not exist for this kind of device
  kWaveInvalidParam = 11,      // a buffer without data or not a whole number of frames
  kWaveBadFormat = 32,         // the device cannot take the sample format
  kWaveStillPlaying = 33,      // the buffer is still queued
  kWaveUnprepared = 34,        // the buffer was not prepared
  kWaveDeviceRemoved = 60,     // the device vanished while open
  kWaveQueueFull = 61,         // too many buffers queued
  kWaveSourceUnreadable = 62,  // a simulated input's file cannot be read
  kWaveRefused = 63,           // a simulated device refused on request (fault injection)
};

// The user-facing text of a code, naming its origin: "録音デバイス: ..." for
// input, "再生デバイス: ..." for output. An unknown code gives a text with the
// number. Empty for kWaveNoError.
std::string WaveErrorText(int32_t code, bool output);

}  // namespace lumora
