#include "meters/Pcm24.h"

#include <algorithm>

namespace lumora {

namespace {
void WriteSample24(int32_t value, uint8_t* p) {
  const int32_t v = std::clamp(value, -8388608, 8388607);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
}  // namespace

bool Unpack24Into(std::span<const uint8_t> src, std::span<int32_t> dst) {
  const size_t count = src.size() / 3;
  if (dst.size() < count) return false;
  for (size_t k = 0; k < count; ++k) dst[k] = ReadSample24(&src[3 * k]);
  return true;
}

bool Pack24Into(std::span<const int32_t> src, std::span<uint8_t> dst) {
  if (dst.size() / 3 < src.size()) return false;
  for (size_t k = 0; k < src.size(); ++k) WriteSample24(src[k], &dst[3 * k]);
  return true;
}

void Unpack24(std::span<const uint8_t> src, std::vector<int32_t>& dst) {
  if (dst.size() != src.size() / 3) dst.resize(src.size() / 3);
  Unpack24Into(src, dst);
}

void Unpack24Stereo(std::span<const uint8_t> src, std::vector<StereoSample>& dst) {
  const size_t frames = src.size() / 6;
  if (dst.size() != frames) dst.resize(frames);
  for (size_t k = 0; k < frames; ++k) dst[k] = {ReadSample24(&src[6 * k]), ReadSample24(&src[6 * k + 3])};
}

void Pack24(std::span<const int32_t> src, std::vector<uint8_t>& dst) {
  if (dst.size() != src.size() * 3) dst.resize(src.size() * 3);
  Pack24Into(src, dst);
}

void Pack24Stereo(std::span<const StereoSample> src, std::vector<uint8_t>& dst) {
  if (dst.size() != src.size() * 6) dst.resize(src.size() * 6);
  for (size_t k = 0; k < src.size(); ++k) {
    WriteSample24(src[k].left, &dst[6 * k]);
    WriteSample24(src[k].right, &dst[6 * k + 3]);
  }
}

}  // namespace lumora
