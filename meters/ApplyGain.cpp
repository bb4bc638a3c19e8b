#include "meters/ApplyGain.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "meters/FastRound.h"
#include "meters/Pcm24.h"
#include "meters/PcmSample.h"

namespace lumora {

namespace {
// 16 bit, eight samples at a time with SSE2 (part of every x86-64), or with
// AVX2 where the processor has it: the conversion of doubles to integers
// rounds half to even by itself, and min and max clamp exactly as ClampedRound
// does (NaN gives the upper bound), so the results are those of the sample
// loop below, bit for bit. Lanes alternate left and right gains. Return the
// samples done; the loop finishes the rest.
#if defined(__SSE2__)
int64_t Scale16Sse2(const uint8_t* src, uint8_t* dst, int64_t samples, std::array<double, 2> gain) {
  const __m128d g = _mm_set_pd(gain[1], gain[0]);
  const __m128d lo = _mm_set1_pd(-32767.0);
  const __m128d hi = _mm_set1_pd(32767.0);
  const auto scale = [&](__m128i pair) {  // two int32 in the low half
    const __m128d x = _mm_mul_pd(_mm_cvtepi32_pd(pair), g);
    return _mm_cvtpd_epi32(_mm_max_pd(_mm_min_pd(x, hi), lo));
  };
  int64_t k = 0;
  for (; k + 8 <= samples; k += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * k));
    const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(s, s), 16);  // samples 0..3 as int32
    const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(s, s), 16);
    const __m128i a = _mm_unpacklo_epi64(scale(low), scale(_mm_srli_si128(low, 8)));
    const __m128i b = _mm_unpacklo_epi64(scale(high), scale(_mm_srli_si128(high, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * k), _mm_packs_epi32(a, b));
  }
  return k;
}

__attribute__((target("avx2"))) __m128i Scale4Avx2(__m128i four, __m256d g) {
  const __m256d x = _mm256_mul_pd(_mm256_cvtepi32_pd(four), g);
  return _mm256_cvtpd_epi32(_mm256_max_pd(_mm256_min_pd(x, _mm256_set1_pd(32767.0)), _mm256_set1_pd(-32767.0)));
}

__attribute__((target("avx2"))) int64_t Scale16Avx2(const uint8_t* src, uint8_t* dst, int64_t samples,
                                                    std::array<double, 2> gain) {
  const __m256d g = _mm256_set_pd(gain[1], gain[0], gain[1], gain[0]);
  int64_t k = 0;
  for (; k + 8 <= samples; k += 8) {
    const __m256i s = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * k)));
    const __m128i a = Scale4Avx2(_mm256_castsi256_si128(s), g);
    const __m128i b = Scale4Avx2(_mm256_extracti128_si256(s, 1), g);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * k), _mm_packs_epi32(a, b));
  }
  return k;
}
#endif

int64_t Scale16Wide(const uint8_t* src, uint8_t* dst, int64_t samples, std::array<double, 2> gain) {
#if defined(__SSE2__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 ? Scale16Avx2(src, dst, samples, gain) : Scale16Sse2(src, dst, samples, gain);
#else
  (void)src, (void)dst, (void)samples, (void)gain;
  return 0;
#endif
}

// 8 and 16 bit, sample by sample: the 8-bit value is scaled around its 128 zero
// and clipped to a byte; 16 bit clips symmetrically to +-32767.
template <int Bytes>
void ScaleSamples(const uint8_t* src, uint8_t* dst, int64_t frames, int32_t channels,
                  std::array<double, 2> gain) {
  for (int64_t f = 0; f < frames; ++f) {
    for (int32_t c = 0; c < channels; ++c, src += Bytes, dst += Bytes) {
      const int32_t s = ReadPcmSample<Bytes>(src);
      if constexpr (Bytes == 1) {
        dst[0] = static_cast<uint8_t>(ClampedRound(s * gain[c] + 128.0, 0.0, 255.0));
      } else {
        const int32_t x = ClampedRound(s * gain[c], -32767.0, 32767.0);
        dst[0] = static_cast<uint8_t>(x);
        dst[1] = static_cast<uint8_t>(x >> 8);
      }
    }
  }
}

// 24 bit goes through the integer work buffer; packing clips to the 24-bit range.
void Scale24(std::span<const uint8_t> src, std::span<uint8_t> dst, int64_t frames, int32_t channels,
             std::array<double, 2> gain, std::span<int32_t> work) {
  const size_t samples = static_cast<size_t>(frames) * channels;
  std::span<int32_t> values = work.first(samples);
  Unpack24Into(src.first(samples * 3), values);
  for (size_t k = 0; k < samples; k += channels) {
    for (int32_t c = 0; c < channels; ++c) values[k + c] = RoundToInt32(values[k + c] * gain[c]);
  }
  Pack24Into(values, dst);
}
// Unity gain, the usual setting, changes nothing but the one 16-bit value that
// has no positive twin: -32768 is clipped to -32767 like any other overload.
void CopyAtUnity(const uint8_t* src, uint8_t* dst, uint64_t bytes, int32_t bits) {
  if (bits != 16) {
    if (dst != src) std::memmove(dst, src, bytes);
    return;
  }
  for (uint64_t i = 0; i + 1 < bytes; i += 2) {  // branch-free, so it vectorises
    uint16_t v;
    std::memcpy(&v, src + i, 2);
    v = static_cast<uint16_t>(v + (v == 0x8000 ? 1 : 0));
    std::memcpy(dst + i, &v, 2);
  }
}
}  // namespace

bool ApplyGain(std::span<const uint8_t> source, std::span<uint8_t> destination, int64_t frames,
               const SampleFormat& format, std::array<float, 2> gain, std::span<int32_t> work) {
  const int32_t formatIndex = FormatIndexOf(format.nCh, format.nBit);
  if (formatIndex < 0 || formatIndex > 5 || frames < 0) return false;
  const uint64_t bytes = static_cast<uint64_t>(frames) * format.BlockAlign();
  if (source.size() < bytes || destination.size() < bytes) return false;
  if (format.nBit == 24 && work.size() < static_cast<uint64_t>(frames) * format.nCh) return false;
  if (gain[0] == 1.0f && gain[1] == 1.0f) {
    CopyAtUnity(source.data(), destination.data(), bytes, format.nBit);
    return true;
  }
  const std::array<double, 2> g{gain[0], gain[1]};
  switch (format.nBit) {
    case 8:
      ScaleSamples<1>(source.data(), destination.data(), frames, format.nCh, g);
      return true;
    case 16: {
      // A mono frame is one sample, scaled by the left gain alone.
      const int64_t done = Scale16Wide(source.data(), destination.data(), frames * format.nCh,
                                       format.nCh == 2 ? g : std::array<double, 2>{g[0], g[0]});
      const int64_t rest = done / format.nCh;  // whole frames: done is a multiple of 8
      ScaleSamples<2>(source.data() + rest * format.BlockAlign(), destination.data() + rest * format.BlockAlign(),
                      frames - rest, format.nCh, g);
      return true;
    }
    default:
      Scale24(source, destination, frames, format.nCh, g, work);
      return true;
  }
}

}  // namespace lumora
