#include "formats/MpegTags.h"

#include <algorithm>
#include <string>

#include "formats/Mpeg.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

constexpr int64_t kTagBlockBytes = 128;
constexpr int64_t kId3v2HeaderBytes = 10;
constexpr int64_t kTailWindow = 1024;  // where a trailing "TAG" is looked for
constexpr int64_t kApeFooterBytes = 32;

// The bytes an ID3v2 tag takes: its header, the body (the low 7 bits of bytes
// 6..9, most significant first) and the footer that version 4 may add.
int64_t Id3v2Bytes(const std::vector<uint8_t>& tag) {
  std::string bits;
  for (size_t k = 6; k <= 9; ++k) bits += ByteToBitText(tag[k]).substr(1);
  const bool footer = (tag[5] & 0x10) != 0;
  return kId3v2HeaderBytes + BitTextToInt(bits) + (footer ? kId3v2HeaderBytes : 0);
}

uint32_t LittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// Where an APEv2 tag ending at the end of the tail (or just before an ID3v1
// block there) begins, or -1. Its footer's size counts the items and the
// footer; a header in front of them is flagged in bit 31.
int64_t ApeTagStart(const std::vector<uint8_t>& tail, int64_t tailOffset) {
  const auto n = static_cast<int64_t>(tail.size());
  for (const int64_t end : {n, n - kTagBlockBytes}) {
    const int64_t footer = end - kApeFooterBytes;
    if (footer < 0 || !HasText(tail, static_cast<size_t>(footer), "APETAGEX")) continue;
    if (end != n && !HasText(tail, static_cast<size_t>(end), "TAG")) continue;
    const auto at = static_cast<size_t>(footer);
    const bool header = (LittleEndian32(tail, at + 20) & 0x80000000u) != 0;
    return tailOffset + end - LittleEndian32(tail, at + 12) - (header ? kApeFooterBytes : 0);
  }
  return -1;
}

}  // namespace

int64_t OffsetBehindLeadingTags(MpegFileReader& reader, const std::vector<uint8_t>& head) {
  if (HasText(head, 0, "TAG")) return kTagBlockBytes;
  int64_t start = 0;
  std::vector<uint8_t> tag = head;
  while (HasText(tag, 0, "ID3")) {
    start += Id3v2Bytes(tag);
    if (start >= reader.Size() || !reader.Read(start, kId3v2HeaderBytes, tag)) break;
  }
  return start;
}

bool FindTrailingTag(MpegFileReader& reader, int64_t fileSize, int64_t dataStart, int64_t& tag) {
  tag = -1;
  const int64_t window = std::min(fileSize, kTailWindow);
  std::vector<uint8_t> tail;
  if (!reader.Read(fileSize - window, window, tail)) return false;
  const int64_t ape = ApeTagStart(tail, fileSize - window);
  if (ape > dataStart) {
    tag = ape;
    return true;
  }
  for (size_t k = 0; k + 3 <= tail.size(); ++k) {
    if (HasText(tail, k, "TAG")) {
      tag = fileSize - window + static_cast<int64_t>(k);
      break;
    }
  }
  return true;
}

}  // namespace lumora
