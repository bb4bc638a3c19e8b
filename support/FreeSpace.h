#pragma once
// The free space of a filesystem behind one interface, so that tests can give
// the recorder a nearly full disk without filling one.

#include <cstdint>
#include <string>

namespace lumora {

class FreeSpace {
 public:
  virtual ~FreeSpace() = default;
  // Bytes an ordinary user may still write on the filesystem that holds path
  // (a file or a folder); -1 when it cannot be asked.
  virtual int64_t FreeBytes(const std::string& path) const = 0;
};

// The real filesystem (statvfs).
class SystemFreeSpace final : public FreeSpace {
 public:
  int64_t FreeBytes(const std::string& path) const override;
};

// Every filesystem has as many free bytes as the test sets.
class FakeFreeSpace final : public FreeSpace {
 public:
  explicit FakeFreeSpace(int64_t free = 0) : bytes(free) {}
  int64_t FreeBytes(const std::string& /*path*/) const override { return bytes; }
  int64_t bytes = 0;
};

// The free space every part of the core asks. nullptr restores the real one.
const FreeSpace& ActiveFreeSpace();
void SetActiveFreeSpace(const FreeSpace* space);

}  // namespace lumora
