#include "formats/MpegFrames.h"

#include <algorithm>
#include <vector>

#include "formats/FileHandle.h"
#include "formats/MpegHeader.h"

namespace lumora {

namespace {

constexpr int64_t kBlock = 1 << 16;

// Length in bytes and sample frames of the Layer III frame whose header starts
// at h, or 0 when h is no valid header.
int64_t FrameLength(const uint8_t* h, int32_t& samples) {
  if (h[0] != 0xFF || !IsSyncSecondByte(h[1])) return 0;
  MpegInfo info;
  info.HeaderRef = {h[1], h[2], h[3]};
  if (DecodeMpegHeader(info) == 0 || info.Layer != 3) return 0;
  samples = info.Lsf ? 576 : 1152;
  const int64_t padding = (h[2] >> 1) & 1;
  return (info.Lsf ? 72000 : 144000) * static_cast<int64_t>(info.Bitrate) / info.SampleRate + padding;
}

}  // namespace

MpegFrameSpan WholeMpegFrames(const std::string& path, int64_t limit) {
  MpegFrameSpan span;
  FileHandle handle = GetFH(path, 0);
  if (handle == 0) return span;
  limit = std::min(limit, FileSizeOf(handle));
  std::vector<uint8_t> block(kBlock);
  while (handle != 0 && span.bytes + 4 <= limit) {
    const int64_t n = std::min(kBlock, limit - span.bytes);
    handle = ReadAt(block.data(), n, span.bytes, handle, path, 0);
    int64_t at = 0;
    int32_t samples = 0;
    for (int64_t length;
         at + 4 <= n && (length = FrameLength(&block[at], samples)) > 0 && span.bytes + at + length <= limit;
         at += length) {
      span.sampleFrames += samples;
    }
    if (at == 0) break;  // no whole frame begins here
    span.bytes += at;
  }
  CloseFH(handle);
  return span;
}

}  // namespace lumora
