#pragma once
// 24-bit PCM conversions: little-endian 3-byte samples <-> 32-bit integers.
// Packing clamps to -8388608 .. 8388607, so a gain that overshoots clips instead
// of wrapping round to the opposite sign.

#include <cstdint>
#include <span>
#include <vector>

#include "meters/FastRound.h"

namespace lumora {

struct StereoSample {
  int32_t left = 0;
  int32_t right = 0;
};

// Sign-extended value of the 3-byte sample at p.
inline int32_t ReadSample24(const uint8_t* p) {
  const uint32_t v = p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
  return static_cast<int32_t>(v << 8) >> 8;  // the top byte's sign bit becomes the sign
}

// round(sample at p * factor), halves to even (clamped to the int32 range).
inline int32_t Sample24(const uint8_t* p, double factor) { return RoundToInt32(ReadSample24(p) * factor); }

// Allocation-free forms for buffers sized in advance: src.size() / 3 samples are
// converted; dst must hold that many (3 bytes each for Pack24Into). Return false,
// converting nothing, when dst is too small.
bool Unpack24Into(std::span<const uint8_t> src, std::span<int32_t> dst);
bool Pack24Into(std::span<const int32_t> src, std::span<uint8_t> dst);

// Resizing forms: dst is resized to the source's frame count when it differs.
// Mono: one integer per 3-byte frame; stereo: one pair per 6-byte frame. Bytes
// past the last whole frame are ignored.
void Unpack24(std::span<const uint8_t> src, std::vector<int32_t>& dst);
void Unpack24Stereo(std::span<const uint8_t> src, std::vector<StereoSample>& dst);
void Pack24(std::span<const int32_t> src, std::vector<uint8_t>& dst);
void Pack24Stereo(std::span<const StereoSample> src, std::vector<uint8_t>& dst);

}  // namespace lumora
