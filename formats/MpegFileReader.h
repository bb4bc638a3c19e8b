#pragma once
// Block reads for the MPEG parser and the whole-file conversions, over the file
// layer: with the caller's handle, or with one opened here and closed on scope
// exit. Bytes past the end of the file read as 0, so scans need no bounds of
// their own.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats/FileHandle.h"

namespace lumora {

// Closes the handle it holds when it goes out of scope.
struct OwnedFileHandle {
  FileHandle value = 0;
  OwnedFileHandle() = default;
  OwnedFileHandle(const OwnedFileHandle&) = delete;
  OwnedFileHandle& operator=(const OwnedFileHandle&) = delete;
  ~OwnedFileHandle() { CloseFH(value); }
};

class MpegFileReader {
 public:
  // Uses handle when it is non-zero, else opens path for reading.
  MpegFileReader(const std::string& path, FileHandle& handle);

  // Size of the file, or -1 when it is not open.
  int64_t Size() const;

  // Reads count bytes at the 0-based offset into bytes (resized to count). A
  // failed read closes the handle (the caller's variable too) and returns false.
  bool Read(int64_t offset, int64_t count, std::vector<uint8_t>& bytes);

 private:
  std::string path_;
  OwnedFileHandle own_;  // declared before handle_, which may refer to it
  FileHandle& handle_;
};

// Whether bytes hold text (without its terminator) at the offset `at`.
inline bool HasText(const std::vector<uint8_t>& bytes, size_t at, const char* text) {
  const size_t length = std::strlen(text);
  return at + length <= bytes.size() && std::memcmp(bytes.data() + at, text, length) == 0;
}

}  // namespace lumora
