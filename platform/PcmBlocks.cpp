#include "platform/PcmBlocks.h"

#include <cstring>

namespace lumora {
namespace {

int32_t ReadSigned(const uint8_t* p, int32_t sampleBytes) {
  if (sampleBytes == 1) return static_cast<int8_t>(p[0]);
  if (sampleBytes == 2) return static_cast<int16_t>(p[0] | p[1] << 8);
  const int32_t v = p[0] | p[1] << 8 | p[2] << 16;
  return (v & 0x800000) != 0 ? v - 0x1000000 : v;
}

void WriteSigned(uint8_t* p, int32_t value, int32_t sampleBytes) {
  for (int32_t k = 0; k < sampleBytes; ++k)
    p[k] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * k));
}

}  // namespace

void FlipSign(uint8_t* bytes, int64_t count) {
  for (int64_t k = 0; k < count; ++k) bytes[k] ^= 0x80;
}

void DuplicateMono(const uint8_t* mono, int64_t frames, int32_t sampleBytes, uint8_t* stereo) {
  for (int64_t f = 0; f < frames; ++f) {
    std::memcpy(stereo + 2 * f * sampleBytes, mono + f * sampleBytes, static_cast<size_t>(sampleBytes));
    std::memcpy(stereo + (2 * f + 1) * sampleBytes, mono + f * sampleBytes, static_cast<size_t>(sampleBytes));
  }
}

void MixToMono(const uint8_t* stereo, int64_t frames, int32_t sampleBytes, uint8_t* mono) {
  for (int64_t f = 0; f < frames; ++f) {
    const int32_t left = ReadSigned(stereo + 2 * f * sampleBytes, sampleBytes);
    const int32_t right = ReadSigned(stereo + (2 * f + 1) * sampleBytes, sampleBytes);
    WriteSigned(mono + f * sampleBytes, (left + right) / 2, sampleBytes);
  }
}

}  // namespace lumora
