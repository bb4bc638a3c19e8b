#pragma once
// Test material for the MPEG parser and the MP3 codec: frames and tags built
// byte by byte, PCM tones, WAV files, and measurements on decoded audio.

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

inline void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// A frame of `length` bytes: the header 0xFF b1 b2 b3, then filler without 0xFF.
inline Bytes MpegFrame(uint8_t b1, uint8_t b2, uint8_t b3, size_t length, uint8_t fill = 0x55) {
  Bytes frame(length, fill);
  frame[0] = 0xFF;
  frame[1] = b1;
  frame[2] = b2;
  frame[3] = b3;
  return frame;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes without padding.
inline Bytes Frame128(size_t length = 417) { return MpegFrame(0xFB, 0x90, 0x64, length); }

// A frame carrying a "Xing" header with the given frame count at offset 36.
inline Bytes XingFrame(uint8_t b1, uint8_t b2, uint8_t b3, uint32_t frames, size_t length = 417) {
  Bytes frame = MpegFrame(b1, b2, b3, length, 0);
  const Bytes xing = {'X', 'i', 'n', 'g', 0, 0, 0, 0x0F};
  std::copy(xing.begin(), xing.end(), frame.begin() + 36);
  for (int k = 0; k < 4; ++k) frame[44 + k] = static_cast<unsigned char>(frames >> (24 - 8 * k));
  return frame;
}

// An ID3v2.3 tag whose size field holds the four given syncsafe bytes; the body
// (zeros) is bodyBytes long, which may differ from the size field on purpose.
inline Bytes Id3v2Tag(const Bytes& sizeBytes, size_t bodyBytes) {
  Bytes tag = {'I', 'D', '3', 3, 0, 0};
  Append(tag, sizeBytes);
  tag.resize(10 + bodyBytes, 0);
  return tag;
}

inline Bytes Id3v2Tag(size_t bodyBytes) {
  const Bytes size = {
      static_cast<unsigned char>(bodyBytes >> 21 & 0x7F), static_cast<unsigned char>(bodyBytes >> 14 & 0x7F),
      static_cast<unsigned char>(bodyBytes >> 7 & 0x7F), static_cast<unsigned char>(bodyBytes & 0x7F)};
  return Id3v2Tag(size, bodyBytes);
}

// A 128-byte ID3v1 block.
inline Bytes Id3v1Tag() {
  Bytes tag(128, ' ');
  tag[0] = 'T';
  tag[1] = 'A';
  tag[2] = 'G';
  return tag;
}

// Interleaved 16-bit PCM: a sine of leftHz on the left (or only) channel and of
// rightHz on the right one; a frequency of 0 gives silence.
inline std::vector<int16_t> Tone(int32_t rate, int32_t channels, int64_t frames, double leftHz,
                                 double rightHz = 0, double amplitude = 10000) {
  std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
  for (int64_t i = 0; i < frames; ++i) {
    for (int32_t c = 0; c < channels; ++c) {
      const double hz = c == 0 ? leftHz : rightHz;
      pcm[i * channels + c] =
          static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / rate)));
    }
  }
  return pcm;
}

inline void PutLe(Bytes& bytes, uint32_t value, int count) {
  for (int k = 0; k < count; ++k) bytes.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

// A canonical 44-byte PCM WAV file around the given sample bytes.
inline Bytes WavFile(int32_t rate, int32_t channels, int32_t bits, const Bytes& data) {
  const uint32_t align = static_cast<uint32_t>(channels * bits / 8);
  Bytes wav = {'R', 'I', 'F', 'F'};
  PutLe(wav, static_cast<uint32_t>(36 + data.size()), 4);
  Append(wav, {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);
  PutLe(wav, static_cast<uint32_t>(channels), 2);
  PutLe(wav, static_cast<uint32_t>(rate), 4);
  PutLe(wav, static_cast<uint32_t>(rate) * align, 4);
  PutLe(wav, align, 2);
  PutLe(wav, static_cast<uint32_t>(bits), 2);
  Append(wav, {'d', 'a', 't', 'a'});
  PutLe(wav, static_cast<uint32_t>(data.size()), 4);
  Append(wav, data);
  return wav;
}

inline Bytes PcmBytes(const std::vector<int16_t>& pcm) {
  Bytes bytes;
  for (int16_t s : pcm) PutLe(bytes, static_cast<uint16_t>(s), 2);
  return bytes;
}

inline std::vector<int16_t> PcmSamples(const uint8_t* bytes, size_t count) {
  std::vector<int16_t> pcm(count / 2);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return pcm;
}

// Level and pitch of one channel over frames [first, first + count) of
// interleaved samples scaled to +-32768.
template <typename Sample>
double Rms(const std::vector<Sample>& pcm, int32_t channels, int32_t channel, int64_t first, int64_t count,
           double scale = 1) {
  double sum = 0;
  for (int64_t i = first; i < first + count; ++i) {
    const double s = pcm[i * channels + channel] / scale;
    sum += s * s;
  }
  return std::sqrt(sum / count);
}

inline double Db(double ratio) { return 20 * std::log10(ratio); }

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
    if (low && s > threshold) {
      ++rises;
      low = false;
    }
  }
  return rises * static_cast<double>(rate) / count;
}

// Sends the log to a folder of its own for the lifetime of the object.
class LogCapture {
 public:
  LogCapture() : saved_(CurrentLogConfig()) {
    LogConfig config;
    config.folder = dir_.folder();
    config.machine = "test";
    config.session = "mp3";
    ConfigureLog(config);
  }
  ~LogCapture() { ConfigureLog(saved_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Everything written to files with the extension (".log" or ".err").
  std::string Text(const std::string& extension) const {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      if (entry.path().extension() != extension) continue;
      const Bytes bytes = ReadFileBytes(entry.path().string());
      text.append(bytes.begin(), bytes.end());
    }
    return text;
  }

 private:
  TempDir dir_;
  LogConfig saved_;
};

inline bool HasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace lumora::test
