#include <algorithm>
#include <climits>
#include <cstring>

#include "formats/Wav.h"
#include "formats/WavIo.h"
#include "support/Rounding.h"
#include "support/SampleFormat.h"

namespace lumora {
namespace {

constexpr int64_t kFmtBytes = 16;            // tag, channels, rate, byte rate, block align, bits
constexpr int64_t kExtensibleFmtBytes = 40;  // ... and the extension up to the sub-format

// Plain PCM, or the extensible header with the PCM sub-format; a-law, mu-law,
// float and compressed data would be played as noise.
bool IsPcm(const unsigned char* body, int64_t fmtSize) {
  const uint16_t tag = wav::GetU16(body);
  if (tag == 1) return true;
  return tag == 0xFFFE && fmtSize >= kExtensibleFmtBytes &&
         std::memcmp(body + 24, wav::kPcmSubFormat, sizeof wav::kPcmSubFormat) == 0;
}

// Takes the fields of a "fmt " chunk body: false when the program cannot use
// the format (not PCM, channel count, bit depth, or a rate of 0 that would make
// the duration meaningless).
bool TakeFormat(const unsigned char* body, int64_t fmtSize, WaveFileInfo& info) {
  info.formatTag = wav::GetU16(body);
  info.channels = static_cast<int16_t>(wav::GetU16(body + 2));
  info.sampleRate = static_cast<int32_t>(wav::GetU32(body + 4));
  info.bitsPerSample = static_cast<int16_t>(wav::GetU16(body + 14));
  info.blockAlign = info.bitsPerSample * info.channels / 8;
  if (info.channels < 1 || info.channels > 8) return false;
  info.formatIndex = FormatIndexOf(info.channels, info.bitsPerSample);
  return info.formatIndex >= 0 && info.sampleRate > 0 && IsPcm(body, fmtSize);
}

// A RIFF file of the WAVE form.
bool IsWave(FileHandle& h) {
  char ids[12] = {};
  return wav::ReadBytes(h, 0, ids, sizeof ids) && std::memcmp(ids, "RIFF", 4) == 0 &&
         std::memcmp(ids + 8, "WAVE", 4) == 0;
}

void Complete(WaveFileInfo& info, int64_t length) {
  info.frames = static_cast<int32_t>(std::min<int64_t>(info.dataSize / info.blockAlign, INT32_MAX));
  // frames * 1000 / rate is one correctly rounded division, so exact halves
  // (1 frame at 2000 Hz) reach the half-to-even rule as halves.
  const double ms = static_cast<double>(info.frames) * 1000.0 / info.sampleRate;
  info.durationMs = static_cast<int32_t>(std::min<int64_t>(RoundHalfEven(ms), INT32_MAX));
  info.fileSize = length;
  info.valid = 1;
}

}  // namespace

WaveFileInfo ReadWaveFileInfo(const std::string& name, FileHandle& handle) {
  WaveFileInfo info;
  wav::HandleScope scope(name, handle, 0);
  if (!scope.open()) return info;
  FileHandle& h = scope.handle();
  const int64_t length = FileSizeOf(h);
  bool fmtFound = false;
  bool dataFound = false;
  if (length < 12 || !IsWave(h)) return info;
  for (int64_t offset = 12; offset + 4 <= length;) {
    char id[4] = {};
    if (!wav::ReadBytes(h, offset, id, sizeof id)) break;
    if (std::memcmp(id, "fmt ", 4) == 0) {
      unsigned char body[kExtensibleFmtBytes] = {};
      if (offset + 8 > length) break;
      const int64_t fmtSize = wav::ReadU32At(h, offset + 4);
      if (fmtSize < 0) break;
      const int64_t wanted = std::clamp(fmtSize, kFmtBytes, kExtensibleFmtBytes);
      if (!wav::ReadBytes(h, offset + 8, body, wanted)) break;
      if (!TakeFormat(body, fmtSize, info)) break;
      fmtFound = true;
    } else if (std::memcmp(id, "data", 4) == 0) {
      // The offset travels in a 32-bit field; a data chunk beyond it cannot be described.
      if (offset + 8 > INT32_MAX) break;
      info.dataOffset = static_cast<int32_t>(offset + 8);
      unsigned char size[4] = {};
      if (!wav::ReadBytes(h, offset + 4, size, sizeof size)) break;
      // A cut file, or one written to a pipe (sizes 0xFFFFFFFF), holds less
      // than its header claims: only the bytes present are sample data.
      info.dataSize = std::clamp<int64_t>(length - info.dataOffset, 0, wav::GetU32(size));
      dataFound = true;
    }
    if (fmtFound && dataFound) {
      Complete(info, length);
      break;
    }
    if (offset + 8 > length) break;
    const int64_t size = wav::ReadU32At(h, offset + 4);
    if (size < 0) break;
    offset = wav::NextChunk(offset, size);
  }
  return info;
}

WaveFileInfo ReadWaveFileInfo(const std::string& name) {
  FileHandle none = 0;
  return ReadWaveFileInfo(name, none);
}

}  // namespace lumora
