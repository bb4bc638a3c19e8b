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

// From HeaderRef, DataLength, IsVbr and VbrFrames: fills Layer, Lsf, Bitrate,
// SampleRate, Channels, ChannelMode, DurationMs, ShortText, LongText and
// ChunkBytes. 0 for an invalid layer, bit-rate or sample-rate index, else 1.
// A "Xing" frame count that gives no usable duration or bit rate is ignored
// (IsVbr = 0) and the header's bit rate is used.
int32_t DecodeMpegHeader(MpegInfo& info);

}  // namespace lumora
