#include <cstring>
#include <vector>

#include "formats/Wav.h"
#include "formats/WavIo.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

void PutId(unsigned char* p, const char* id) { std::memcpy(p, id, 4); }

uint32_t SizeField(int64_t value) { return static_cast<uint32_t>(CurToU32(static_cast<double>(value))); }

// The whole header: 44 bytes, or 68 with the extensible format that 6 and 8
// channels need (players map those channels through the mask).
std::vector<unsigned char> HeaderBytes(int32_t rate, int32_t bits, int32_t channels, int64_t dataSize) {
  const bool extensible = channels == 6 || channels == 8;
  const int32_t blockAlign = bits * channels / 8;
  const int64_t fmtSize = extensible ? 40 : 16;
  std::vector<unsigned char> h(static_cast<size_t>(28 + fmtSize));
  unsigned char* p = h.data();
  PutId(p, "RIFF");
  wav::PutU32(p + 4, SizeField(dataSize + 20 + fmtSize));
  PutId(p + 8, "WAVE");
  PutId(p + 12, "fmt ");
  wav::PutU32(p + 16, static_cast<uint32_t>(fmtSize));
  wav::PutU16(p + 20, extensible ? 0xFFFE : 1);
  wav::PutU16(p + 22, static_cast<uint32_t>(channels));
  wav::PutU32(p + 24, static_cast<uint32_t>(rate));
  wav::PutU32(p + 28, static_cast<uint32_t>(int64_t{blockAlign} * rate));
  wav::PutU16(p + 32, static_cast<uint32_t>(blockAlign));
  wav::PutU16(p + 34, static_cast<uint32_t>(bits));
  if (extensible) {
    wav::PutU16(p + 36, 22);
    wav::PutU16(p + 38, static_cast<uint32_t>(bits));
    wav::PutU32(p + 40, channels == 6 ? 0x3F : 0xFF);
    std::memcpy(p + 44, wav::kPcmSubFormat, sizeof wav::kPcmSubFormat);
  }
  unsigned char* data = p + 20 + fmtSize;
  PutId(data, "data");
  wav::PutU32(data + 4, SizeField(dataSize));
  return h;
}

}  // namespace

int32_t WriteWavHeader(const std::string& name, FileHandle& handle, int32_t rate, int32_t bits,
                       int32_t channels, int64_t dataSize) {
  // An old file that cannot be removed would get the header appended to its
  // old contents, so that is a failure too.
  if (handle == 0 && FileDelete(name) == 0) return 0;
  wav::HandleScope scope(name, handle, 2);
  if (!scope.open()) return 0;
  const std::vector<unsigned char> header = HeaderBytes(rate, bits, channels, dataSize);
  return wav::WriteBytes(scope.handle(), -1, header.data(), static_cast<int64_t>(header.size())) ? 1 : 0;
}

int32_t WriteWavHeader(const std::string& name, int32_t rate, int32_t bits, int32_t channels,
                       int64_t dataSize) {
  FileHandle none = 0;
  return WriteWavHeader(name, none, rate, bits, channels, dataSize);
}

}  // namespace lumora
