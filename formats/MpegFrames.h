#pragma once
// The whole MPEG audio frames at the start of a bare stream, as the recorder
// writes it: where a cut can fall without leaving half a frame behind, and how
// many sample frames the stream holds.

#include <cstdint>
#include <string>

namespace lumora {

struct MpegFrameSpan {
  int64_t bytes = 0;         // length of the whole frames from byte 0
  int64_t sampleFrames = 0;  // what they decode to (1152 or 576 per frame)
};

// Walks the frames from byte 0 up to `limit` bytes (the file's end when
// larger). Stops at the first byte that does not begin a valid Layer III
// header; an unreadable file or stream gives an empty span.
MpegFrameSpan WholeMpegFrames(const std::string& path, int64_t limit);

}  // namespace lumora
