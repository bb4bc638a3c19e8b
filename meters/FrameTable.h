#pragma once
// How the level scan finds a frame by number: each side (input, playback) keeps
// 50 buffer records, each with two inclusive frame ranges and the buffer that
// holds each range. The capture ring and the playback ring fill these records;
// the level scan only reads them. The data of a range is PCM in the side's
// format (24 bit packed in 3 bytes on both sides) and holds at least
// last - first + 1 frames.

#include <array>
#include <cstdint>

namespace lumora {

constexpr int kRingBuffers = 50;

struct FrameRange {
  int64_t first = -1;  // -1 when empty
  int64_t last = -1;
  bool Contains(int64_t frame) const { return first >= 0 && frame >= first && frame <= last; }
};

struct FrameRecord {
  FrameRange firstRange;                // input side: the current range
  FrameRange secondRange;               // input side: the previous range
  const uint8_t* firstData = nullptr;   // frame 0 of the buffer holding firstRange
  const uint8_t* secondData = nullptr;  // input side: the same capture buffer
};

using FrameTable = std::array<FrameRecord, kRingBuffers>;

}  // namespace lumora
