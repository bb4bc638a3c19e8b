#pragma once
// Helpers shared by the WAV operations (not a public interface): the borrowed
// or self-opened handle, little-endian fields and the chunk step.

#include <cstdint>
#include <string>

#include "formats/FileHandle.h"

namespace lumora::wav {

// KSDATAFORMAT_SUBTYPE_PCM as stored in a WAVE_FORMAT_EXTENSIBLE header.
constexpr unsigned char kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                             0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Works on the caller's handle when it has one, else opens the file by name and
// closes it when the scope ends. A failed read or write zeroes handle() (the
// file layer has already closed it), so nothing is closed twice.
class HandleScope {
 public:
  HandleScope(const std::string& name, FileHandle& callers, int32_t mode)
      : own_(callers == 0 ? GetFH(name, mode) : 0), handle_(callers == 0 ? own_ : callers) {}
  ~HandleScope() { CloseFH(own_); }
  HandleScope(const HandleScope&) = delete;
  HandleScope& operator=(const HandleScope&) = delete;

  FileHandle& handle() { return handle_; }
  bool open() const { return handle_ != 0; }

 private:
  FileHandle own_;
  FileHandle& handle_;
};

// Reads or writes count bytes at position on the threaded handle: true on
// success; false when the handle has been closed (and zeroed). A read that
// meets the end of the file leaves the rest of destination as it was.
bool ReadBytes(FileHandle& handle, int64_t position, void* destination, int64_t count);
bool WriteBytes(FileHandle& handle, int64_t position, const void* source, int64_t count);

// The unsigned 32-bit field at position, or -1 when it cannot be read.
int64_t ReadU32At(FileHandle& handle, int64_t position);
// Writes CurToU32(value) at position: true on success.
bool WriteU32At(FileHandle& handle, int64_t position, int64_t value);

uint16_t GetU16(const unsigned char* p);
uint32_t GetU32(const unsigned char* p);
void PutU16(unsigned char* p, uint32_t value);
void PutU32(unsigned char* p, uint32_t value);

// Offset of the chunk that follows the one at offset with the given body size:
// id, size field, body and the pad byte of an odd body.
inline int64_t NextChunk(int64_t offset, int64_t size) { return offset + 8 + size + IsOddCount(size); }

}  // namespace lumora::wav
