#pragma once
// Hand-built RIFF files for the WAV tests: chunks with any size field, so that
// broken and unusual layouts can be fed on purpose.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lumora::test {

using Bytes = std::vector<unsigned char>;

inline void AppendLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

inline uint32_t U32At(const Bytes& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | bytes.at(offset + static_cast<size_t>(i));
  return v;
}

// "52 49 46 46" -> {0x52, 0x49, 0x46, 0x46}
inline Bytes Hex(const std::string& text) {
  Bytes out;
  unsigned value = 0;
  int consumed = 0;
  for (const char* p = text.c_str(); std::sscanf(p, "%2x%n", &value, &consumed) == 1; p += consumed)
    out.push_back(static_cast<unsigned char>(value));
  return out;
}

// A chunk: id, size field (the body's length unless given), body, pad byte when odd.
inline Bytes Chunk(const std::string& id, const Bytes& body, int64_t sizeField = -1) {
  Bytes out(id.begin(), id.end());
  AppendLe(out, static_cast<uint32_t>(sizeField < 0 ? static_cast<int64_t>(body.size()) : sizeField), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) out.push_back(0);
  return out;
}

// A 16-byte PCM "fmt " body with the file's own block align and byte rate.
inline Bytes FmtBody(uint32_t channels, uint32_t rate, uint32_t bits, uint32_t tag = 1) {
  Bytes out;
  AppendLe(out, tag, 2);
  AppendLe(out, channels, 2);
  AppendLe(out, rate, 4);
  AppendLe(out, rate * channels * bits / 8, 4);
  AppendLe(out, channels * bits / 8, 2);
  AppendLe(out, bits, 2);
  return out;
}

// "RIFF", a size field (correct unless given), "WAVE" and the chunks.
inline Bytes Riff(const std::vector<Bytes>& chunks, int64_t sizeField = -1) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body, sizeField);
}

}  // namespace lumora::test
