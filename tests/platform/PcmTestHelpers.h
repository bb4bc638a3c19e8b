#pragma once
// Helpers for the device tests: rendering and measuring signals, a set of wave
// headers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "common/SndfileCheck.h"
#include "platform/SignalSource.h"
#include "platform/WaveDevice.h"

namespace lumora::test {

// Frames first ... first + frames - 1 of the source in the format.
inline std::vector<uint8_t> Render(SignalSource& source, const WaveFormat& format, int64_t first,
                                   int64_t frames) {
  std::vector<uint8_t> bytes(static_cast<size_t>(frames * format.blockAlign), 0xEE);
  source.Render(first, frames, format, bytes.data());
  return bytes;
}

// Interleaved sample k as a signed value (8 bit: minus 128).
inline int32_t SampleAt(const uint8_t* bytes, int64_t k, int32_t bits) {
  const uint8_t* p = bytes + k * (bits / 8);
  if (bits == 8) return p[0] - 128;
  if (bits == 16) return static_cast<int16_t>(p[0] | p[1] << 8);
  const int32_t v = p[0] | p[1] << 8 | p[2] << 16;
  return v & 0x800000 ? v - 0x1000000 : v;
}

struct ToneMeasure {
  int32_t peak = 0;
  double frequency = 0.0;  // from the rising zero crossings
};

// Channel `channel` of frames first ... first + count - 1.
inline ToneMeasure MeasureTone(const std::vector<uint8_t>& bytes, int32_t bits, int32_t channels,
                               int32_t rate, int64_t first, int64_t count, int32_t channel = 0) {
  ToneMeasure m;
  int64_t firstCrossing = -1;
  int64_t lastCrossing = -1;
  int64_t crossings = 0;
  int32_t previous = 0;
  for (int64_t f = first; f < first + count; ++f) {
    const int32_t s = SampleAt(bytes.data(), f * channels + channel, bits);
    m.peak = std::max(m.peak, std::abs(s));
    if (f > first && previous < 0 && s >= 0) {
      if (crossings++ == 0) firstCrossing = f;
      lastCrossing = f;
    }
    previous = s;
  }
  if (crossings > 1)
    m.frequency = (crossings - 1) * static_cast<double>(rate) / (lastCrossing - firstCrossing);
  return m;
}

// The device position in frames; -1 when the device refuses to tell.
inline int64_t PositionOf(const WaveDevice& device) {
  int64_t frames = 0;
  return device.Position(frames) == 0 ? frames : -1;
}

// Wave headers over buffers of `bytes` bytes each, kept in place.
struct HeaderSet {
  HeaderSet(int count, int64_t bytes) : data(static_cast<size_t>(count), std::vector<uint8_t>(bytes, 0xEE)) {
    for (std::vector<uint8_t>& buffer : data) headers.emplace_back(buffer.data(), bytes);
  }
  bool Done(size_t k) const { return (headers[k].Flags() & kWaveDone) != 0; }
  // Prepares and queues headers from ... to - 1 on the device; the first error code.
  int32_t Queue(WaveDevice& device, size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (int32_t code = device.Prepare(headers[k])) return code;
      if (int32_t code = device.Queue(headers[k])) return code;
    }
    return 0;
  }
  // The bytes recorded (or played) in the done buffers from the first on, up
  // to the first one not done.
  std::vector<uint8_t> Recorded() const {
    std::vector<uint8_t> all;
    for (size_t k = 0; k < headers.size() && Done(k); ++k)
      all.insert(all.end(), data[k].begin(), data[k].begin() + headers[k].bytesRecorded.load());
    return all;
  }

  std::vector<std::vector<uint8_t>> data;
  std::deque<WaveHeader> headers;
};

}  // namespace lumora::test
