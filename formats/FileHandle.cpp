#include "formats/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>

namespace lumora {
namespace {

static_assert(sizeof(off_t) == 8, "file positions must be 64-bit");

int DescriptorOf(FileHandle handle) { return handle - 1; }

// Loops over short transfers and EINTR. A read that meets the end of the file
// early is complete; a write that cannot place every byte (ENOSPC, EIO) fails.
bool ReadFully(int fd, void* destination, int64_t count) {
  auto* p = static_cast<unsigned char*>(destination);
  while (count > 0) {
    const ssize_t got = read(fd, p, static_cast<size_t>(std::min<int64_t>(count, SSIZE_MAX)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    p += got;
    count -= got;
  }
  return true;
}

bool WriteFully(int fd, const void* source, int64_t count) {
  const auto* p = static_cast<const unsigned char*>(source);
  while (count > 0) {
    const ssize_t put = write(fd, p, static_cast<size_t>(std::min<int64_t>(count, SSIZE_MAX)));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    count -= put;
  }
  return true;
}

// The common tail of ReadAt and WriteMemToFileEX: success keeps the handle open
// and returns it (close = 0) or closes it and returns 1; failure always closes.
int32_t Finish(FileHandle handle, bool ok, int32_t close) {
  if (ok && close == 0) return handle;
  CloseFH(handle);
  return ok ? 1 : 0;
}

}  // namespace

FileHandle GetFH(const std::string& name, int32_t mode) {
  // Modes 0 read, 1 write, 2 read and write; the writers create a missing file.
  constexpr int kFlags[] = {O_RDONLY, O_WRONLY | O_CREAT, O_RDWR | O_CREAT};
  if (mode < 0 || mode > 2) return 0;
  const int fd = open(name.c_str(), kFlags[mode] | O_CLOEXEC, 0644);
  if (fd < 0) return 0;
  // A folder opens read-only on Linux, but it is no file to read bytes from.
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return 0;
  }
  return fd + 1;
}

void CloseFH(FileHandle& handle) {
  if (handle != 0) ::close(DescriptorOf(handle));
  handle = 0;
}

int32_t ReadAt(void* destination, int64_t count, int64_t position, FileHandle handle, const std::string& name,
               int32_t close) {
  const bool given = handle != 0;
  if (!given) handle = GetFH(name, 0);
  if (handle == 0) return 0;
  if (count == 0 && !given && close == 0) return handle;
  const bool ok =
      count >= 0 && SeekAt(handle, position) == 0 && ReadFully(DescriptorOf(handle), destination, count);
  return Finish(handle, ok, close);
}

int32_t WriteMemToFileEX(const void* source, int64_t count, int64_t position, FileHandle handle,
                         const std::string& name, int32_t close) {
  if (handle == 0) handle = GetFH(name, 2);
  if (handle == 0) return 0;
  bool ok = count >= 0;
  if (ok && position == -1) {
    // When the end cannot be found the bytes still go to the current pointer.
    lseek(DescriptorOf(handle), 0, SEEK_END);
  } else if (ok) {
    ok = SeekAt(handle, position) == 0;
  }
  ok = ok && WriteFully(DescriptorOf(handle), source, count);
  return Finish(handle, ok, close);
}

int32_t SeekAt(FileHandle handle, int64_t position) {
  if (handle == 0 || position < 0) return -1;
  return lseek(DescriptorOf(handle), position, SEEK_SET) == position ? 0 : -1;
}

int32_t SetEndOfFile(FileHandle handle) {
  if (handle == 0) return 0;
  const int fd = DescriptorOf(handle);
  const off_t here = lseek(fd, 0, SEEK_CUR);
  return here >= 0 && ftruncate(fd, here) == 0 ? 1 : 0;
}

int64_t FileSizeOf(FileHandle handle) {
  struct stat st {};
  if (handle == 0 || fstat(DescriptorOf(handle), &st) != 0) return -1;
  return st.st_size;
}

int64_t FileSizeByName(const std::string& name) {
  FileHandle handle = GetFH(name, 0);
  if (handle == 0) return 0;
  const int64_t size = FileSizeOf(handle);
  CloseFH(handle);
  return size;
}

int64_t U32ToCur(int32_t pattern) { return static_cast<uint32_t>(pattern); }

int32_t CurToU32(double value) {
  if (!(value >= 0)) return 0;  // negative values and NaN
  const double whole = std::min(std::floor(value), 4294967295.0);
  return static_cast<int32_t>(static_cast<uint32_t>(whole));
}

int32_t IsOddCount(double n) {
  if (!std::isfinite(n)) return 0;
  return std::fmod(std::trunc(n), 2.0) != 0 ? 1 : 0;
}

}  // namespace lumora
