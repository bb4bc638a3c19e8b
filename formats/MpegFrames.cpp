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
  const MpegFrameShape shape = ShapeOfFrame(h);
  if (shape.layer != 3) return 0;
  samples = shape.samples;
  return shape.bytes;
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
