#pragma once
// Test material for the MPEG parser and the MP3 codec: frames and tags built
// byte by byte, and PCM tones.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/LogFiles.h"

namespace lumora::test {

using Bytes = std::vector<unsigned char>;

inline Bytes Cat(std::initializer_list<Bytes> parts, int times = 1) {
  Bytes all;
  for (int i = 0; i < times; ++i) {
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// A frame of `length` bytes: the header 0xFF b1 b2 b3, then filler without 0xFF.
inline Bytes MpegFrame(uint8_t b1, uint8_t b2, uint8_t b3, size_t length = 417, uint8_t fill = 0x55) {
  Bytes frame(length, fill);
  frame[0] = 0xFF, frame[1] = b1, frame[2] = b2, frame[3] = b3;
  return frame;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: ChunkBytes 1254.
inline Bytes Frame128(size_t length = 417) { return MpegFrame(0xFB, 0x90, 0x64, length); }

// A VBR header frame: "Xing" (all flags) or "Info" at `at`, the frame count 8 bytes behind.
inline Bytes VbrFrame(const char* id, uint8_t b1, uint8_t b2, uint8_t b3, uint32_t frames, size_t at,
                      size_t length) {
  Bytes frame = MpegFrame(b1, b2, b3, length, 0);
  std::memcpy(&frame[at], id, 4);
  frame[at + 7] = 0x0F;
  for (int i = 0; i < 4; ++i) frame[at + 8 + i] = static_cast<unsigned char>(frames >> (24 - 8 * i));
  return frame;
}

// An ID3v2 tag with the given syncsafe size bytes and bodyBytes of zeros.
inline Bytes Id3v2Tag(const Bytes& sizeBytes, size_t bodyBytes) {
  Bytes tag = Cat({{'I', 'D', '3', 3, 0, 0}, sizeBytes});
  tag.resize(10 + bodyBytes, 0);
  return tag;
}

inline Bytes Id3v1Tag() { return Cat({{'T', 'A', 'G'}, Bytes(125, ' ')}); }

// An APEv2 tag of itemBytes, with its header and footer (32 bytes each).
inline Bytes ApeTag(size_t itemBytes) {
  auto part = [&](uint8_t flags) {
    Bytes p = {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X', 0xD0, 0x07, 0, 0};
    const size_t size = itemBytes + 32;
    p.insert(p.end(),
             {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), 0, 1, 0, 0, 0, 0, 0, 0, flags});
    p.resize(32, 0);
    return p;
  };
  return Cat({part(0xA0), Bytes(itemBytes, 'a'), part(0x80)});
}

// Interleaved 16-bit PCM bytes: sines of leftHz and rightHz at amplitude 8000.
inline Bytes Tone(int32_t rate, int32_t channels, int64_t frames, double leftHz, double rightHz = 0) {
  std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
  for (size_t i = 0; i < pcm.size(); ++i) {
    const double hz = i % channels == 0 ? leftHz : rightHz;
    pcm[i] = static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * hz * (i / channels) / rate)));
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(pcm.data());
  return Bytes(bytes, bytes + pcm.size() * 2);  // little-endian host
}

}  // namespace lumora::test
