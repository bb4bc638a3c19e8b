#pragma once
// RIFF/WAVE PCM files: the header the recorder writes, its repair after every
// flush, the cut at the end of a take, the chunk walk and the file description.
// All byte access goes through the file handle layer; integers are little-endian.
//
// For every operation: with handle 0 the file is opened by name (readers mode 0,
// writers mode 2) and closed before returning; with a non-zero handle that handle
// is used and left open, except that a failed read or write closes it. The
// handle is taken by reference so that such a close also zeroes the caller's
// variable; the name-only overloads stand for handle 0.

#include <cstdint>
#include <string>

#include "formats/FileHandle.h"

namespace lumora {

struct WaveFileInfo {
  int32_t valid = 0;   // 1 when a usable "fmt " and "data" chunk were found
  int32_t frames = 0;  // frames of sample data, at most 2147483647
  int32_t sampleRate = 0;
  int16_t bitsPerSample = 0;
  int16_t channels = 0;
  int32_t blockAlign = 0;  // bits * channels / 8, computed
  int32_t dataOffset = 0;  // file offset of the first sample byte
  int64_t dataSize = 0;    // the data chunk's size field, at most the bytes present
  int64_t fileSize = 0;
  int32_t formatIndex = 0;
  int32_t durationMs = 0;  // round(frames / rate * 1000)
  int32_t formatTag = 0;   // as found: 1, or 0xFFFE with the PCM sub-format

  bool operator==(const WaveFileInfo&) const = default;
};

// Writes the 44-byte header (68 bytes, extensible, for 6 or 8 channels) with the
// given data size. Without a handle an existing file of that name is deleted
// first; with one the header is appended at the end of the file. 1 when every
// byte was written; 0 when the old file cannot be deleted or any byte cannot be
// written (a take must not start on a file that cannot be written).
int32_t WriteWavHeader(const std::string& name, FileHandle& handle, int32_t rate, int32_t bits,
                       int32_t channels, int64_t dataSize);

// Makes the RIFF and data sizes agree with the file length: 1 when both were
// written; 0 for files shorter than 44 bytes or longer than 4294967295 bytes,
// without a usable data chunk (one behind an empty chunk, inside the first 36
// bytes or cut inside its size field), or when a write fails. Never changes the
// file's length.
int32_t TrimRiff(const std::string& name, FileHandle& handle);

// Sets the data chunk to n bytes and cuts (or extends) the file behind it and
// its pad byte. 1 on success; 0 for n < 0 or n > 4294967250, without a data
// chunk, or when a write or the cut fails.
int32_t SetWavDataLength(const std::string& name, FileHandle& handle, int64_t n);

// Offset of the first chunk with the four-character id, walking from offset 12;
// -1 when it is missing, the walk meets an empty chunk or runs off the file.
int64_t FindRifffcc(const std::string& name, FileHandle& handle, const std::string& id);

// The description of the file; valid = 0 when it is no RIFF/WAVE file or no
// usable "fmt " and "data" chunk were found (not PCM, an unlisted channel and
// bit combination, a rate of 0, a broken or cut file). Such a record holds
// whatever the scan had filled in. The data never reaches past the file's end,
// whatever its size field claims.
WaveFileInfo ReadWaveFileInfo(const std::string& name, FileHandle& handle);

int32_t WriteWavHeader(const std::string& name, int32_t rate, int32_t bits, int32_t channels,
                       int64_t dataSize);
int32_t TrimRiff(const std::string& name);
int32_t SetWavDataLength(const std::string& name, int64_t n);
int64_t FindRifffcc(const std::string& name, const std::string& id);
WaveFileInfo ReadWaveFileInfo(const std::string& name);

}  // namespace lumora
