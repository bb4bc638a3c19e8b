#pragma once
// Buffer and file sizes of a take that follow from its format and mode.

#include <cstdint>

#include "support/SampleFormat.h"

namespace lumora {

// Frames of one capture buffer: 100 ms in WAV mode; in MP3 mode a multiple of
// 3456 frames (three MP3 frames of 1152 samples) so the encoder gets whole frames.
int32_t FramesPerBufferFor(const SampleFormat& format, bool mp3Mode);

// Frames that fit in a WAV file of 4 GiB, minus ten seconds of margin.
int64_t MaxFramesPerFileFor(const SampleFormat& format);

// Bytes that fit in an MP3 file of 4 GiB, minus ten seconds at the bit rate.
int64_t MaxMp3BytesPerFileFor(int32_t mp3Kbps);

// Bytes one second of the take adds to its file: PCM at the format, or MP3 at
// the bit rate (kbit/s * 1000 / 8).
int64_t BytesPerSecondFor(const SampleFormat& format, bool mp3Mode, int32_t mp3Kbps);

// Bytes of the disk staging: three seconds of the take.
int64_t StageCapacityFor(const SampleFormat& format, bool mp3Mode, int32_t mp3Kbps);

}  // namespace lumora
