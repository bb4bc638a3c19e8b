#pragma once
// PCM helpers for the device tests: WAV bytes written by hand (independent of
// formats/), sample access, tone measurement, and a set of wave headers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/WaveDevice.h"

namespace lumora::test {

inline void PutLe(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

// A canonical 44-byte PCM WAV file around `data`; `claimedBytes` overrides the
// data size field (a file cut short).
inline std::vector<unsigned char> WavFileBytes(int32_t rate, int32_t bits, int32_t channels,
                                               const std::vector<uint8_t>& data, int64_t claimedBytes = -1) {
  const auto dataSize =
      static_cast<uint32_t>(claimedBytes >= 0 ? claimedBytes : static_cast<int64_t>(data.size()));
  const uint32_t blockAlign = static_cast<uint32_t>(bits / 8 * channels);
  std::vector<unsigned char> out = {'R', 'I', 'F', 'F'};
  PutLe(out, 36 + dataSize, 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<unsigned char>(c));
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(channels), 2);
  PutLe(out, static_cast<uint32_t>(rate), 4);
  PutLe(out, static_cast<uint32_t>(rate) * blockAlign, 4);
  PutLe(out, blockAlign, 2);
  PutLe(out, static_cast<uint32_t>(bits), 2);
  for (char c : std::string("data")) out.push_back(static_cast<unsigned char>(c));
  PutLe(out, dataSize, 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
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
      if (firstCrossing < 0) firstCrossing = f;
      lastCrossing = f;
      ++crossings;
    }
    previous = s;
  }
  if (crossings > 1)
    m.frequency = (crossings - 1) * static_cast<double>(rate) / (lastCrossing - firstCrossing);
  return m;
}

// Wave headers over buffers of `bytes` bytes each, kept in place.
class HeaderSet {
 public:
  HeaderSet(int count, int64_t bytes) {
    for (int k = 0; k < count; ++k) {
      data_.emplace_back(static_cast<size_t>(bytes), 0xEE);
      headers_.push_back(std::make_unique<WaveHeader>());
      headers_.back()->data = data_.back().data();
      headers_.back()->length = bytes;
    }
  }
  WaveHeader& operator[](size_t k) { return *headers_[k]; }
  std::vector<uint8_t>& Data(size_t k) { return data_[k]; }
  size_t size() const { return headers_.size(); }
  // Prepares and queues headers from ... to - 1 on the device; the first error code.
  int32_t Queue(WaveDevice& device, size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (int32_t code = device.Prepare(*headers_[k])) return code;
      if (int32_t code = device.Queue(*headers_[k])) return code;
    }
    return 0;
  }
  bool Done(size_t k) const { return (headers_[k]->Flags() & kWaveDone) != 0; }
  // The bytes of buffers from ... to - 1, one after the other.
  std::vector<uint8_t> Joined(size_t from, size_t to) const {
    std::vector<uint8_t> all;
    for (size_t k = from; k < to; ++k) all.insert(all.end(), data_[k].begin(), data_[k].end());
    return all;
  }

 private:
  std::vector<std::vector<uint8_t>> data_;
  std::vector<std::unique_ptr<WaveHeader>> headers_;
};

}  // namespace lumora::test
