#pragma once
// What the four bytes of an MPEG audio frame header say, and the fields of
// MpegInfo that follow from them.

#include <cstdint>

#include "formats/Mpeg.h"

namespace lumora {

// 1 when the second byte of a header continues a frame sync: the 12-bit sync of
// MPEG-1 and MPEG-2 (0xF0 and above), or the 11-bit sync of MPEG-2.5 (0xE0 to
// 0xE7), which the encoder writes for 8000, 11025 and 12000 Hz.
bool IsSyncSecondByte(uint8_t second);

// What the four header bytes at h say about their frame; bytes = 0 when they
// are no valid header (sync, version, layer, bit-rate or sample-rate index).
struct MpegFrameShape {
  int32_t layer = 0;
  int64_t bytes = 0;    // the whole frame, header and padding included
  int32_t samples = 0;  // per channel
};
MpegFrameShape ShapeOfFrame(const uint8_t* h);

// Where a "Xing" or "Info" header sits in the Layer III frame whose header
// starts at h: behind the header and the side information, whose size depends
// on the version and the channel mode.
int64_t VbrHeaderOffset(const uint8_t* h);

// From HeaderRef, DataLength, IsVbr and VbrFrames: fills Layer, Lsf, Bitrate,
// SampleRate, Channels, ChannelMode, DurationMs, ShortText, LongText and
// ChunkBytes. 0 for an invalid layer, bit-rate or sample-rate index, else 1.
// A "Xing" frame count that gives no usable duration or bit rate is ignored
// (IsVbr = 0) and the header's bit rate is used.
int32_t DecodeMpegHeader(MpegInfo& info);

}  // namespace lumora
