#include <cstring>

#include "formats/Wav.h"
#include "formats/WavIo.h"

namespace lumora {

int64_t FindRifffcc(const std::string& name, FileHandle& handle, const std::string& id) {
  if (id.size() != 4) return -1;
  wav::HandleScope scope(name, handle, 0);
  if (!scope.open()) return -1;
  const int64_t length = FileSizeOf(scope.handle());
  int64_t offset = 12;
  while (offset + 4 <= length) {
    char found[4] = {};
    if (!wav::ReadBytes(scope.handle(), offset, found, sizeof found)) return -1;
    if (std::memcmp(found, id.data(), 4) == 0) return offset;
    if (offset + 8 > length) return -1;
    const int64_t size = wav::ReadU32At(scope.handle(), offset + 4);
    // An empty chunk ends the walk, so TrimRiff and SetWavDataLength refuse a
    // header with one before its data chunk.
    if (size <= 0) return -1;
    offset = wav::NextChunk(offset, size);
  }
  return -1;
}

int32_t TrimRiff(const std::string& name, FileHandle& handle) {
  wav::HandleScope scope(name, handle, 2);
  if (!scope.open()) return 0;
  FileHandle& h = scope.handle();
  const int64_t length = FileSizeOf(h);
  if (length < 44 || length > 4294967295) return 0;
  if (!wav::WriteU32At(h, 4, length - 8)) return 0;
  const int64_t data = FindRifffcc(name, h, "data");
  // The size field must lie inside the file: writing it past the end would
  // grow the file behind the RIFF size just written.
  if (data < 36 || data + 8 > length) return 0;
  return wav::WriteU32At(h, data + 4, length - (data + 8)) ? 1 : 0;
}

int32_t SetWavDataLength(const std::string& name, FileHandle& handle, int64_t n) {
  // 2^32 - 1 - 45: the largest data size whose RIFF size still fits 32 bits
  // behind a minimal header and a pad byte.
  if (n < 0 || n > 4294967250) return 0;
  wav::HandleScope scope(name, handle, 2);
  if (!scope.open()) return 0;
  FileHandle& h = scope.handle();
  const int64_t data = FindRifffcc(name, h, "data");
  if (data < 0) return 0;
  const int64_t pad = IsOddCount(static_cast<double>(n));
  if (!wav::WriteU32At(h, 4, data + n + pad)) return 0;
  if (!wav::WriteU32At(h, data + 4, n)) return 0;
  if (SeekAt(h, data + 8 + n + pad) != 0) return 0;
  return SetEndOfFile(h);
}

int64_t FindRifffcc(const std::string& name, const std::string& id) {
  FileHandle none = 0;
  return FindRifffcc(name, none, id);
}

int32_t TrimRiff(const std::string& name) {
  FileHandle none = 0;
  return TrimRiff(name, none);
}

int32_t SetWavDataLength(const std::string& name, int64_t n) {
  FileHandle none = 0;
  return SetWavDataLength(name, none, n);
}

}  // namespace lumora
