#pragma once
// The mpg123 decoder as the codec uses it: fed with blocks of MPEG data, it
// gives interleaved 16-bit PCM at a fixed rate and channel count.

#include <cstdint>
#include <memory>
#include <vector>

struct mpg123_handle_struct;

namespace lumora {

class Mpg123Decoder {
 public:
  // nullptr for channel counts other than 1 and 2, a rate mpg123 cannot
  // produce, or when mpg123 cannot be set up.
  static std::unique_ptr<Mpg123Decoder> Create(int32_t rate, int32_t channels);
  ~Mpg123Decoder();
  Mpg123Decoder(const Mpg123Decoder&) = delete;
  Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

  // Feeds n bytes and appends the PCM of every frame that is now complete to
  // out. false when mpg123 reports an error (the PCM decoded before it stays).
  bool Decode(const uint8_t* data, int64_t n, std::vector<uint8_t>& out);

 private:
  struct Closer {
    void operator()(mpg123_handle_struct* handle) const;
  };
  explicit Mpg123Decoder(std::unique_ptr<mpg123_handle_struct, Closer> handle);

  std::unique_ptr<mpg123_handle_struct, Closer> handle_;
};

}  // namespace lumora
