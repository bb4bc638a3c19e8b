// The generators behind the simulated inputs: silence, tones and noise, one
// segment after the other. Every frame is computed from its number alone, so a
// device can hear any stretch of the timeline in any block size.

#include <cmath>
#include <limits>
#include <numbers>

#include "platform/SignalSource.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

// 0 dB is the largest value that 8-bit samples can take on both sides of 128.
int32_t FullScaleOf(int32_t bits) { return bits == 8 ? 127 : bits == 16 ? 32767 : 8388607; }

void WriteSample(uint8_t* out, double value, int32_t bits) {
  const int64_t s = RoundHalfEven(value * FullScaleOf(bits));
  if (bits == 8) {
    out[0] = static_cast<uint8_t>(s + 128);
    return;
  }
  for (int32_t k = 0; k < bits / 8; ++k) out[k] = static_cast<uint8_t>(static_cast<uint64_t>(s) >> (8 * k));
}

// A repeatable uniform value in [-1, 1) for (seed, frame, channel): splitmix64.
double NoiseValue(uint32_t seed, int64_t frame, int32_t channel) {
  uint64_t z = (static_cast<uint64_t>(frame) << 1 | static_cast<uint64_t>(channel)) +
               (static_cast<uint64_t>(seed) << 40) + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) / 4503599627370496.0 - 1.0;  // 2^53 values over [-1, 1)
}

class GeneratedSignal final : public SignalSource {
 public:
  GeneratedSignal(std::vector<SignalSegment> segments, bool endless, uint32_t seed)
      : segments_(std::move(segments)), endless_(endless), seed_(seed) {}

  int32_t CheckFormat(const WaveFormat&) const override { return 0; }

  WaveFormat PreferredFormat() const override { return MakeWaveFormat(SampleFormat{}); }

  int64_t Length(const WaveFormat& format) const override {
    if (endless_) return -1;
    int64_t frames = 0;
    for (const SignalSegment& segment : segments_) frames += SegmentFrames(segment, format);
    return frames;
  }

  void Render(int64_t first, int64_t count, const WaveFormat& format, uint8_t* out) override {
    int64_t segmentStart = 0;
    size_t index = 0;
    for (int64_t frame = first; frame < first + count; ++frame) {
      while (index < segments_.size() && !endless_ &&
             frame >= segmentStart + SegmentFrames(segments_[index], format)) {
        segmentStart += SegmentFrames(segments_[index], format);
        ++index;
      }
      const SignalSegment* segment = index < segments_.size() ? &segments_[index] : nullptr;
      uint8_t* at = out + (frame - first) * format.blockAlign;
      for (int32_t channel = 0; channel < format.channels; ++channel) {
        WriteSample(at + channel * format.bitsPerSample / 8, Value(segment, frame, channel, format),
                    format.bitsPerSample);
      }
    }
  }

 private:
  static int64_t SegmentFrames(const SignalSegment& segment, const WaveFormat& format) {
    return RoundHalfEven(segment.seconds * format.samplesPerSec);
  }

  double Value(const SignalSegment* segment, int64_t frame, int32_t channel, const WaveFormat& format) const {
    if (segment == nullptr) return 0.0;
    const double amplitude = std::pow(10.0, segment->levelDb / 20.0);
    switch (segment->kind) {
      case SignalSegment::Kind::kTone: {
        // The phase from the frame number, reduced first so long runs stay exact.
        const double cycles =
            std::fmod(segment->frequency * static_cast<double>(frame), format.samplesPerSec);
        return amplitude * std::sin(2.0 * std::numbers::pi * cycles / format.samplesPerSec);
      }
      case SignalSegment::Kind::kNoise:
        return amplitude * NoiseValue(seed_, frame, channel);
      case SignalSegment::Kind::kSilence:
        break;
    }
    return 0.0;
  }

  std::vector<SignalSegment> segments_;
  bool endless_;
  uint32_t seed_;
};

std::unique_ptr<SignalSource> Endless(SignalSegment segment, uint32_t seed) {
  return std::make_unique<GeneratedSignal>(std::vector<SignalSegment>{segment}, true, seed);
}

}  // namespace

std::unique_ptr<SignalSource> MakeSilence() { return Endless({SignalSegment::Kind::kSilence}, 0); }

std::unique_ptr<SignalSource> MakeTone(double frequency, double levelDb) {
  return Endless({SignalSegment::Kind::kTone, 0.0, frequency, levelDb}, 0);
}

std::unique_ptr<SignalSource> MakeNoise(double levelDb, uint32_t seed) {
  return Endless({SignalSegment::Kind::kNoise, 0.0, 0.0, levelDb}, seed);
}

std::unique_ptr<SignalSource> MakeScript(std::vector<SignalSegment> segments) {
  return std::make_unique<GeneratedSignal>(std::move(segments), false, 1);
}

}  // namespace lumora
