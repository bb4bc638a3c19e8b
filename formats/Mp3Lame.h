#pragma once
// The LAME encoder as the codec uses it: constant bit rate, output rate = input
// rate, no VBR/Info frame and no ID3 tags, so the output is a bare MPEG stream
// that starts with a frame sync.

#include <cstdint>
#include <memory>
#include <vector>

struct lame_global_struct;

namespace lumora {

class LameEncoder {
 public:
  // nullptr for channel counts other than 1 and 2, when LAME cannot be set up,
  // and when LAME would change the bit rate or resample: it never refuses a
  // setting itself, so acceptance is decided by reading the settings back.
  static std::unique_ptr<LameEncoder> Create(int32_t rate, int32_t channels, int32_t kbps);
  ~LameEncoder();
  LameEncoder(const LameEncoder&) = delete;
  LameEncoder& operator=(const LameEncoder&) = delete;

  // Worst-case MP3 bytes for one call with this many PCM frames (lame.h:
  // 1.25 x samples + 7200; a flush is covered by 0 frames).
  static int64_t MaxOutput(int64_t frames);

  int32_t Channels() const { return channels_; }

  // Encodes frames of interleaved little-endian 16-bit PCM into out, which holds
  // capacity bytes: the MP3 bytes written (often not a whole number of frames,
  // 0 while a frame is collected), or LAME's negative error code.
  int64_t Encode(const uint8_t* pcm, int64_t frames, uint8_t* out, int64_t capacity);

  // Writes the frames still held, the last one padded with silence: the bytes
  // written or a negative code. The stream ends here.
  int64_t Flush(uint8_t* out, int64_t capacity);

 private:
  struct Closer {
    void operator()(lame_global_struct* flags) const;
  };
  LameEncoder(std::unique_ptr<lame_global_struct, Closer> flags, int32_t channels);

  std::unique_ptr<lame_global_struct, Closer> flags_;
  int32_t channels_;
  std::vector<int16_t> samples_;  // an aligned copy of the PCM bytes
};

}  // namespace lumora
