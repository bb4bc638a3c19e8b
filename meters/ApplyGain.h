#pragma once
// The software input gain: copies one captured buffer into the buffer that goes
// to disk, each channel scaled by its own factor and clipped to the format.

#include <array>
#include <cstdint>
#include <span>

#include "support/SampleFormat.h"

namespace lumora {

// Scales `frames` frames of `source` into `destination` (both in `format`):
// 8 bit: round((b - 128) * g + 128) clipped to 0..255; 16 bit: round(s * g), any
// |x| >= 32767 becomes +-32767 (so -32768 turns into -32767 even at unity gain);
// 24 bit: unpacked into `work`, scaled, packed back clipped to the 24-bit range.
// gain[0] scales the left (or only) channel, gain[1] the right. `work` needs
// frames * nCh integers for 24 bit and is unused otherwise; nothing is allocated.
// Returns false, writing nothing, for a format other than 8/16/24 bit mono or
// stereo, a negative frame count, or buffers too small for `frames`.
bool ApplyGain(std::span<const uint8_t> source, std::span<uint8_t> destination, int64_t frames,
               const SampleFormat& format, std::array<float, 2> gain, std::span<int32_t> work);

}  // namespace lumora
