#include "meters/LevelScan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "meters/FastRound.h"
#include "meters/FrameLookup.h"
#include "meters/PcmSample.h"

namespace lumora {

void LevelState::SetupFormat(const SampleFormat& newFormat) {
  format = newFormat;
  formatIndex = FormatIndexOf(format.nCh, format.nBit);
  fullScale = FullScale(formatIndex);
  peakWindow = PeakWindow(format.nFreq);
  rmsWindow = RmsWindow(format.nFreq);
  historyWindow = HistoryWindow(format.nFreq);
  lastHistoryPosition = {-1, -1};
}

namespace {
constexpr int64_t kBlockFrames = 1024;

using Gains = std::array<double, 2>;
// Magnitudes of n consecutive frames starting at p, clipped to fs.
using Decoder = void (*)(const uint8_t* p, int64_t n, const Gains& gain, int32_t fs, FrameMagnitudes* out);

uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// 24-bit samples with one 4-byte load each (little-endian hosts), never reading
// outside the frames: a stereo frame's right sample is loaded with the byte
// before it, a mono sample with the last byte of the previous frame.
template <int Channels>
void ReadFrames24(const uint8_t* p, int64_t n, FrameMagnitudes* out) {
  if constexpr (Channels == 2) {
    for (int64_t k = 0; k < n; ++k, p += 6) {
      out[k] = {static_cast<int32_t>(Load32(p) << 8) >> 8, static_cast<int32_t>(Load32(p + 2)) >> 8};
    }
  } else if (n > 0) {
    out[0] = {ReadSample24(p), 0};
    for (int64_t k = 1; k < n; ++k) out[k] = {static_cast<int32_t>(Load32(p + 3 * k - 1)) >> 8, 0};
  }
}

// The samples of n frames as they are, channel 1 zero for mono.
template <int Bytes, int Channels>
void ReadFrames(const uint8_t* p, int64_t n, FrameMagnitudes* out) {
  if constexpr (Bytes == 3 && std::endian::native == std::endian::little) {
    ReadFrames24<Channels>(p, n, out);
  } else {
    for (int64_t k = 0; k < n; ++k, p += Bytes * Channels) {
      out[k][0] = ReadPcmSample<Bytes>(p);
      out[k][1] = Channels == 2 ? ReadPcmSample<Bytes>(p + Bytes) : 0;
    }
  }
}

// Samples -> magnitudes clipped to fs, in place; a branch-free loop that the
// compiler vectorises. Gains are >= 0, so only the upper clip is needed (a NaN
// from an infinite gain also gives fs).
template <bool Gained>
void ToMagnitudes(int64_t n, const Gains& gain, int32_t fs, FrameMagnitudes* out) {
  const double limit = fs;
  int64_t k = 0;
#if defined(__SSE2__)
  // With a gain, two frames at a time with SSE2: the same products, minpd
  // clips as the loop does (NaN gives fs), and the conversion rounds half to
  // even by itself, so the results are the loop's bit for bit.
  if constexpr (Gained) {
    const __m128d g = _mm_set_pd(gain[1], gain[0]);
    const __m128d top = _mm_set1_pd(limit);
    const __m128d sign = _mm_set1_pd(-0.0);
    const auto scale = [&](__m128i pair) {
      const __m128d x = _mm_mul_pd(_mm_andnot_pd(sign, _mm_cvtepi32_pd(pair)), g);
      return _mm_cvtpd_epi32(_mm_min_pd(x, top));
    };
    for (; k + 2 <= n; k += 2) {
      auto* at = reinterpret_cast<__m128i*>(out + k);
      const __m128i s = _mm_loadu_si128(at);
      _mm_storeu_si128(at, _mm_unpacklo_epi64(scale(s), scale(_mm_srli_si128(s, 8))));
    }
  }
#endif
  for (; k < n; ++k) {
    for (int c = 0; c < 2; ++c) {
      const int32_t s = out[k][c];
      if constexpr (Gained) {
        const double x = std::fabs(static_cast<double>(s)) * gain[c];
        out[k][c] = RoundInRange(x < limit ? x : limit);
      } else {
        out[k][c] = std::min(s < 0 ? -s : s, fs);  // samples have at most 24 bits: no overflow
      }
    }
  }
}

template <int Bytes, int Channels, bool Gained>
void Decode(const uint8_t* p, int64_t n, const Gains& gain, int32_t fs, FrameMagnitudes* out) {
  ReadFrames<Bytes, Channels>(p, n, out);
  ToMagnitudes<Gained>(n, gain, fs, out);
}

// The largest 16-bit magnitude of each channel from the lanes' highest and
// lowest samples, eight samples (a whole number of frames) at a time with SSE2.
// Returns the frames done; the caller finishes the rest.
template <int Channels>
int64_t RawPeak16(const uint8_t* p, int64_t n, FrameMagnitudes& peak) {
#if defined(__SSE2__)
  __m128i high = _mm_setzero_si128();
  __m128i low = _mm_setzero_si128();
  int64_t k = 0;
  for (; k + 8 <= n * Channels; k += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * k));
    high = _mm_max_epi16(high, s);
    low = _mm_min_epi16(low, s);
  }
  alignas(16) int16_t h[8];
  alignas(16) int16_t l[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(h), high);
  _mm_store_si128(reinterpret_cast<__m128i*>(l), low);
  for (int i = 0; i < 8; ++i) peak[i % Channels] = std::max({peak[i % Channels], int32_t{h[i]}, -int32_t{l[i]}});
  return k / Channels;
#else
  (void)p, (void)n, (void)peak;
  return 0;
#endif
}

// The largest sample magnitude of each channel, unclipped, in out[0]: a
// peak-only scan gains and clips just this one frame, which gives the same
// peak as doing so frame by frame because gaining and clipping keep the order.
template <int Bytes, int Channels>
void DecodeRawPeak(const uint8_t* p, int64_t n, const Gains&, int32_t, FrameMagnitudes* out) {
  FrameMagnitudes peak = {0, 0};
  int64_t done = 0;
  if constexpr (Bytes == 2) done = RawPeak16<Channels>(p, n, peak);
  ReadFrames<Bytes, Channels>(p + done * Bytes * Channels, n - done, out);
  for (int64_t k = 0; k < n - done; ++k) {
    for (int c = 0; c < 2; ++c) peak[c] = std::max(peak[c], out[k][c] < 0 ? -out[k][c] : out[k][c]);
  }
  out[0] = peak;
}

template <int Bytes>
Decoder DecoderFor(int32_t channels, bool gained, bool rawPeak) {
  if (channels == 1) {
    return rawPeak ? DecodeRawPeak<Bytes, 1> : gained ? Decode<Bytes, 1, true> : Decode<Bytes, 1, false>;
  }
  return rawPeak ? DecodeRawPeak<Bytes, 2> : gained ? Decode<Bytes, 2, true> : Decode<Bytes, 2, false>;
}

Decoder DecoderFor(const SampleFormat& format, bool gained, bool rawPeak) {
  if (format.nBit == 8) return DecoderFor<1>(format.nCh, gained, rawPeak);
  if (format.nBit == 16) return DecoderFor<2>(format.nCh, gained, rawPeak);
  return DecoderFor<3>(format.nCh, gained, rawPeak);
}

// Which frames a scan reads and what each part of them feeds.
struct ScanPlan {
  int64_t first = 0;
  int64_t last = 0;
  int64_t peakFrom = 0;     // frames from here on count for the returned peak
  int64_t historyFrom = 0;  // frames from here on go to the history
  bool full = false;
};

struct Readings {
  double sumsq[2] = {0.0, 0.0};
  int32_t peak[2] = {0, 0};
  int32_t windowPeak = 0;
};

struct ScanContext {
  const FrameTable& table;
  ScanPlan plan;
  Decoder decode;
  Gains gain;
  int32_t fullScale;
  int32_t blockAlign;
  LevelHistory* history;
};

// The oldest frame the history has not drawn yet. After a gap longer than the
// RMS window the older frames are skipped, not drawn late; a position beyond
// endFrame means the side's frame count started again.
int64_t HistoryStart(int64_t lastDrawn, int64_t endFrame, int64_t rmsWindow) {
  const int64_t oldest = endFrame - rmsWindow;
  if (lastDrawn < 0 || lastDrawn > endFrame) return oldest;
  return std::max(lastDrawn + 1, oldest);
}

ScanPlan PlanScan(const LevelState& state, LevelSide side, int64_t endFrame, bool peakOnly) {
  ScanPlan plan;
  plan.full = !peakOnly;
  plan.first = endFrame - (peakOnly ? state.peakWindow : state.rmsWindow);
  plan.last = endFrame;
  plan.peakFrom = endFrame - state.peakWindow;
  plan.historyFrom = peakOnly ? endFrame + 1
                              : HistoryStart(state.lastHistoryPosition[static_cast<size_t>(side)], endFrame,
                                             state.rmsWindow);
  return plan;
}

void Accumulate(const FrameMagnitudes* block, int64_t n, int64_t firstFrame, const ScanContext& ctx,
                Readings& r) {
  if (ctx.plan.full) {
    // Exact in 64 bits for a block (1024 * 2^46 < 2^63); one double sum per block
    // instead of a chain of dependent double additions per frame.
    uint64_t sumsq[2] = {0, 0};
    int32_t peak[2] = {r.peak[0], r.peak[1]};
    for (int64_t k = 0; k < n; ++k) {
      for (int c = 0; c < 2; ++c) {
        const uint64_t a = static_cast<uint32_t>(block[k][c]);
        sumsq[c] += a * a;
        peak[c] = std::max(peak[c], block[k][c]);
      }
    }
    for (int c = 0; c < 2; ++c) {
      r.sumsq[c] += static_cast<double>(sumsq[c]);
      r.peak[c] = peak[c];
    }
  }
  for (int64_t k = std::max<int64_t>(0, ctx.plan.peakFrom - firstFrame); k < n; ++k) {
    r.windowPeak = std::max({r.windowPeak, block[k][0], block[k][1]});
  }
  const int64_t fromHistory = std::max<int64_t>(0, ctx.plan.historyFrom - firstFrame);
  if (ctx.history && fromHistory < n) {
    ctx.history->AddMagnitudes({block + fromHistory, static_cast<size_t>(n - fromHistory)});
  }
}

// Decodes the planned frames block by block (silence where the ring holds no
// data) and hands each block to `consume`.
template <typename Consume>
void ForEachBlock(const ScanContext& ctx, Consume consume) {
  FrameMagnitudes block[kBlockFrames];
  for (int64_t f = ctx.plan.first; f <= ctx.plan.last;) {
    const FrameRun run = FindFrameRun(ctx.table, f, ctx.plan.last, ctx.blockAlign);
    for (const uint8_t* data = run.data; f <= run.last;) {
      const int64_t n = std::min(kBlockFrames, run.last - f + 1);
      if (data) {
        ctx.decode(data, n, ctx.gain, ctx.fullScale, block);
        data += n * ctx.blockAlign;
      } else {
        std::fill_n(block, n, FrameMagnitudes{0, 0});
      }
      consume(block, n, f);
      f += n;
    }
  }
}

Readings ScanFrames(const ScanContext& ctx) {
  Readings readings;
  ForEachBlock(ctx, [&](const FrameMagnitudes* block, int64_t n, int64_t f) {
    Accumulate(block, n, f, ctx, readings);
  });
  return readings;
}

// The peak of the window from the raw peaks of its blocks (DecodeRawPeak).
int32_t ScanPeak(const ScanContext& ctx, bool gained) {
  FrameMagnitudes peak = {0, 0};
  bool any = false;
  ForEachBlock(ctx, [&](const FrameMagnitudes* block, int64_t, int64_t) {
    any = true;
    for (int c = 0; c < 2; ++c) peak[c] = std::max(peak[c], block[0][c]);
  });
  if (!any) return 0;
  if (gained) {
    ToMagnitudes<true>(1, ctx.gain, ctx.fullScale, &peak);
  } else {
    ToMagnitudes<false>(1, ctx.gain, ctx.fullScale, &peak);
  }
  return std::max(peak[0], peak[1]);
}

void DrawMeter(const LevelState& state, const Readings& r, VuMeter& meter) {
  const double fs = state.fullScale;
  for (int32_t bar = 0; bar < 2; ++bar) {
    const int c = state.format.nCh == 1 ? 0 : bar;  // a mono meter shows the one channel twice
    double rms = std::sqrt(r.sumsq[c] / static_cast<double>(state.rmsWindow));
    if (state.rmsPlus3) rms *= kRmsPlus3Factor;
    const float rmsDb = LinToDb(static_cast<float>(rms / fs));
    const float peakDb = LinToDb(static_cast<float>(r.peak[c] / fs));
    meter.DrawVU(bar, rmsDb, peakDb, LevelText(rmsDb), 99.0f);
  }
}
}  // namespace

int32_t ScanLevels(LevelState& state, LevelSide side, const FrameTable& table, int64_t endFrame,
                   bool peakOnly, const ScanOutputs& outputs) {
  const bool measurable = state.formatIndex >= 0 && state.formatIndex <= 5 && state.rmsWindow > 0;
  if (endFrame < 0 || !measurable) return 0;
  const bool gained = side == LevelSide::kInput && (state.inputGain[0] != 1.0f || state.inputGain[1] != 1.0f);
  const ScanContext ctx{table,
                        PlanScan(state, side, endFrame, peakOnly),
                        DecoderFor(state.format, gained, peakOnly),
                        {std::fabs(state.inputGain[0]), std::fabs(state.inputGain[1])},
                        state.fullScale,
                        state.format.BlockAlign(),
                        peakOnly ? nullptr : outputs.history};
  if (peakOnly) return ScanPeak(ctx, gained);
  if (ctx.history) ctx.history->BeginHistory(ctx.plan.historyFrom, endFrame);
  const Readings readings = ScanFrames(ctx);
  state.lastHistoryPosition[static_cast<size_t>(side)] = endFrame;
  if (outputs.live && outputs.meter) DrawMeter(state, readings, *outputs.meter);
  return readings.windowPeak;
}

}  // namespace lumora
