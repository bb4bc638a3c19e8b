#pragma once
// PCM sample bytes for tests of every depth, and a ramp that visits the whole
// range of a depth, each channel its own.

#include <cstdint>
#include <vector>

namespace lumora::test {

// Interleaved sample values as little-endian PCM of `bits` (8 bit: offset by 128).
inline std::vector<uint8_t> Pcm(const std::vector<int32_t>& samples, int32_t bits) {
  std::vector<uint8_t> bytes;
  for (const int32_t s : samples) {
    const int32_t v = bits == 8 ? s + 128 : s;
    for (int32_t b = 0; b < bits / 8; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
  }
  return bytes;
}

// The ramp's sample of channel c at frame f; frame 0 of channel 0 is the depth's minimum.
inline int32_t RampSample(int64_t f, int32_t c, int32_t bits) {
  const int64_t full = int64_t{1} << bits;
  return static_cast<int32_t>((f * 7919 + c * 104729) % full - full / 2);
}

// Frames first ... first + frames - 1 of the ramp, interleaved.
inline std::vector<int32_t> Ramp(int64_t frames, int32_t channels, int32_t bits, int64_t first = 0) {
  std::vector<int32_t> samples;
  for (int64_t f = first; f < first + frames; ++f) {
    for (int32_t c = 0; c < channels; ++c) samples.push_back(RampSample(f, c, bits));
  }
  return samples;
}

}  // namespace lumora::test
