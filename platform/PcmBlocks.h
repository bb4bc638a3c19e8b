#pragma once
// Sample-block conversions between the wave layer's buffers and a sound
// library's stream blocks. Nothing here allocates: an audio callback uses them.

#include <cstdint>

namespace lumora {

// 8-bit samples between unsigned (128 is zero, as in WAV files) and signed.
void FlipSign(uint8_t* bytes, int64_t count);

// Mono frames to stereo frames (each sample twice); sampleBytes 1, 2 or 3.
void DuplicateMono(const uint8_t* mono, int64_t frames, int32_t sampleBytes, uint8_t* stereo);

// Signed stereo frames to signed mono frames, the mean of both sides (rounded
// toward zero); sampleBytes 1, 2 or 3, little-endian.
void MixToMono(const uint8_t* stereo, int64_t frames, int32_t sampleBytes, uint8_t* mono);

}  // namespace lumora
