#pragma once
// The tags that taggers put around MPEG audio: ID3v2 tags (often several in a
// row) or a 128-byte "TAG" block in front, an APEv2 tag or an ID3v1 "TAG" block
// behind. Offsets are 0-based.

#include <cstdint>
#include <vector>

#include "formats/MpegFileReader.h"

namespace lumora {

// Where the frame search begins: behind a leading "TAG" block or behind every
// ID3v2 tag in a row. head holds the file's first bytes (at least 10).
int64_t OffsetBehindLeadingTags(MpegFileReader& reader, const std::vector<uint8_t>& head);

// Sets tag to where a trailing tag begins, or -1: an APEv2 tag at the end (or
// just before an ID3v1 block) that begins behind dataStart, else the first
// "TAG" in the last 1024 bytes. False when the tail cannot be read.
bool FindTrailingTag(MpegFileReader& reader, int64_t fileSize, int64_t dataStart, int64_t& tag);

}  // namespace lumora
