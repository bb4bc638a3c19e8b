#include "formats/Mp3Lame.h"

#include <lame/lame.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>

namespace lumora {
namespace {

// Frames per LAME call, so that sample and byte counts stay within int.
constexpr int64_t kFramesPerCall = 1 << 20;

// LAME prints notes and warnings to stderr; failures reach us as return codes.
void Quiet(const char*, va_list) {}

int32_t ClampToInt(int64_t value) { return static_cast<int32_t>(std::min<int64_t>(value, INT_MAX)); }

}  // namespace

void LameEncoder::Closer::operator()(lame_global_struct* flags) const { lame_close(flags); }

LameEncoder::LameEncoder(std::unique_ptr<lame_global_struct, Closer> flags, int32_t channels)
    : flags_(std::move(flags)), channels_(channels) {}

LameEncoder::~LameEncoder() = default;

std::unique_ptr<LameEncoder> LameEncoder::Create(int32_t rate, int32_t channels, int32_t kbps) {
  if ((channels != 1 && channels != 2) || rate < 1 || kbps < 1) return nullptr;
  std::unique_ptr<lame_global_struct, Closer> flags(lame_init());
  if (!flags) return nullptr;
  lame_t g = flags.get();
  lame_set_errorf(g, Quiet);
  lame_set_debugf(g, Quiet);
  lame_set_msgf(g, Quiet);
  lame_set_in_samplerate(g, rate);
  lame_set_out_samplerate(g, rate);
  lame_set_num_channels(g, channels);
  lame_set_mode(g, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_VBR(g, vbr_off);
  lame_set_brate(g, kbps);
  lame_set_bWriteVbrTag(g, 0);
  lame_set_write_id3tag_automatic(g, 0);
  if (lame_init_params(g) < 0) return nullptr;
  if (lame_get_brate(g) != kbps || lame_get_out_samplerate(g) != rate) return nullptr;
  return std::unique_ptr<LameEncoder>(new LameEncoder(std::move(flags), channels));
}

int64_t LameEncoder::MaxOutput(int64_t frames) { return (frames * 5 + 3) / 4 + 7200; }

int64_t LameEncoder::Encode(const uint8_t* pcm, int64_t frames, uint8_t* out, int64_t capacity) {
  int64_t written = 0;
  for (int64_t done = 0; done < frames; done += kFramesPerCall) {
    const int32_t count = static_cast<int32_t>(std::min(kFramesPerCall, frames - done));
    samples_.resize(static_cast<size_t>(count) * channels_);
    std::memcpy(samples_.data(), pcm + done * 2 * channels_, samples_.size() * sizeof(int16_t));
    const int32_t room = ClampToInt(capacity - written);
    // The interleaved call assumes two channels; mono goes through the
    // one-channel call, or it would play at half the pitch.
    const int32_t r =
        channels_ == 1
            ? lame_encode_buffer(flags_.get(), samples_.data(), samples_.data(), count, out + written, room)
            : lame_encode_buffer_interleaved(flags_.get(), samples_.data(), count, out + written, room);
    if (r < 0) return r;
    written += r;
  }
  return written;
}

int64_t LameEncoder::Flush(uint8_t* out, int64_t capacity) {
  return lame_encode_flush(flags_.get(), out, ClampToInt(capacity));
}

}  // namespace lumora
