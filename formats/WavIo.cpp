#include "formats/WavIo.h"

namespace lumora::wav {

bool ReadBytes(FileHandle& handle, int64_t position, void* destination, int64_t count) {
  handle = ReadAt(destination, count, position, handle, "", 0);
  return handle != 0;
}

bool WriteBytes(FileHandle& handle, int64_t position, const void* source, int64_t count) {
  handle = WriteMemToFileEX(source, count, position, handle, "", 0);
  return handle != 0;
}

int64_t ReadU32At(FileHandle& handle, int64_t position) {
  unsigned char field[4] = {};
  return ReadBytes(handle, position, field, sizeof field) ? GetU32(field) : -1;
}

bool WriteU32At(FileHandle& handle, int64_t position, int64_t value) {
  unsigned char field[4];
  PutU32(field, static_cast<uint32_t>(CurToU32(static_cast<double>(value))));
  return WriteBytes(handle, position, field, sizeof field);
}

uint16_t GetU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t GetU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void PutU16(unsigned char* p, uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
}

void PutU32(unsigned char* p, uint32_t value) {
  PutU16(p, value);
  PutU16(p + 2, value >> 16);
}

}  // namespace lumora::wav
