#pragma once
// Test material for the MPEG parser and the MP3 codec: frames and tags built
// byte by byte, PCM tones, and measurements on decoded audio.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "support/Log.h"

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

// A frame with a "Xing" header (frame count at offset 44) in the MPEG-1 stereo place.
inline Bytes XingFrame(uint8_t b1, uint8_t b2, uint8_t b3, uint32_t frames, size_t length = 417) {
  Bytes frame = MpegFrame(b1, b2, b3, length, 0);
  const Bytes xing = {'X',
                      'i',
                      'n',
                      'g',
                      0,
                      0,
                      0,
                      0x0F,
                      static_cast<unsigned char>(frames >> 24),
                      static_cast<unsigned char>(frames >> 16),
                      static_cast<unsigned char>(frames >> 8),
                      static_cast<unsigned char>(frames)};
  std::copy(xing.begin(), xing.end(), frame.begin() + 36);
  return frame;
}

// An ID3v2 tag with the given syncsafe size bytes and bodyBytes of zeros.
inline Bytes Id3v2Tag(const Bytes& sizeBytes, size_t bodyBytes) {
  Bytes tag = Cat({{'I', 'D', '3', 3, 0, 0}, sizeBytes});
  tag.resize(10 + bodyBytes, 0);
  return tag;
}

inline Bytes Id3v1Tag() { return Cat({{'T', 'A', 'G'}, Bytes(125, ' ')}); }

// Interleaved 16-bit PCM: sines of leftHz and rightHz (0: silence).
inline std::vector<int16_t> Tone(int32_t rate, int32_t channels, int64_t frames, double leftHz,
                                 double rightHz = 0, double amplitude = 8000) {
  std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
  for (size_t i = 0; i < pcm.size(); ++i) {
    const double hz = i % channels == 0 ? leftHz : rightHz;
    pcm[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * (i / channels) / rate)));
  }
  return pcm;
}

inline Bytes PcmBytes(const std::vector<int16_t>& pcm) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(pcm.data());
  return Bytes(bytes, bytes + pcm.size() * 2);  // little-endian host
}

inline double Db(double ratio) { return 20 * std::log10(ratio); }

template <typename Sample>
double Rms(const std::vector<Sample>& pcm, int32_t channels, int32_t channel, int64_t first, int64_t count) {
  double sum = 0;
  for (int64_t i = first; i < first + count; ++i) sum += std::pow(double(pcm[i * channels + channel]), 2);
  return std::sqrt(sum / count);
}

// Rises from below -threshold to above +threshold per second, so that coding
// noise around a zero crossing does not count twice.
template <typename Sample>
double Pitch(const std::vector<Sample>& pcm, int32_t channels, int32_t channel, int64_t first, int64_t count,
             int32_t rate, double threshold) {
  int64_t rises = 0;
  bool low = false;
  for (int64_t i = first; i < first + count; ++i) {
    const double s = pcm[i * channels + channel];
    if (s < -threshold) low = true;
    if (low && s > threshold) ++rises, low = false;
  }
  return rises * static_cast<double>(rate) / count;
}

// Sends the log to a folder of its own while it lives.
class LogCapture {
 public:
  LogCapture() : saved_(CurrentLogConfig()) { ConfigureLog({1, dir_.folder(), "test", "mp3"}); }
  ~LogCapture() { ConfigureLog(saved_); }

  // Everything written to files with the extension (".log" or ".err").
  std::string Text(const std::string& extension) const {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const Bytes bytes = entry.path().extension() == extension ? ReadFileBytes(entry.path()) : Bytes{};
      text.append(bytes.begin(), bytes.end());
    }
    return text;
  }

 private:
  TempDir dir_;
  LogConfig saved_;
};

}  // namespace lumora::test
