#include "formats/Mp3Mpg123.h"

#include <mpg123.h>

namespace lumora {

void Mpg123Decoder::Closer::operator()(mpg123_handle_struct* handle) const { mpg123_delete(handle); }

Mpg123Decoder::Mpg123Decoder(std::unique_ptr<mpg123_handle_struct, Closer> handle)
    : handle_(std::move(handle)) {}

Mpg123Decoder::~Mpg123Decoder() = default;

std::unique_ptr<Mpg123Decoder> Mpg123Decoder::Create(int32_t rate, int32_t channels) {
  if (channels != 1 && channels != 2) return nullptr;
  static const int initialised = mpg123_init();  // a no-op in current versions, required in older ones
  if (initialised != MPG123_OK) return nullptr;
  std::unique_ptr<mpg123_handle_struct, Closer> handle(mpg123_new(nullptr, nullptr));
  mpg123_handle* h = handle.get();
  // Blocks hold whole frames, so a frame can be decoded as soon as it is
  // complete; by default mpg123 would wait for the next frame's header first.
  if (!h || mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_READAHEAD, 0) != MPG123_OK ||
      mpg123_format_none(h) != MPG123_OK ||
      mpg123_format(h, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16) !=
          MPG123_OK ||
      mpg123_open_feed(h) != MPG123_OK) {
    return nullptr;
  }
  return std::unique_ptr<Mpg123Decoder>(new Mpg123Decoder(std::move(handle)));
}

bool Mpg123Decoder::Decode(const uint8_t* data, int64_t n, std::vector<uint8_t>& out) {
  if (mpg123_feed(handle_.get(), data, static_cast<size_t>(n)) != MPG123_OK) return false;
  for (;;) {
    off_t frame = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int r = mpg123_decode_frame(handle_.get(), &frame, &audio, &bytes);
    if (r == MPG123_OK) {
      out.insert(out.end(), audio, audio + bytes);
    } else if (r != MPG123_NEW_FORMAT) {
      return r == MPG123_NEED_MORE || r == MPG123_DONE;
    }
  }
}

}  // namespace lumora
