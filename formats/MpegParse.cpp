#include <algorithm>
#include <cctype>
#include <vector>

#include "formats/Mpeg.h"
#include "formats/MpegFileReader.h"
#include "formats/MpegHeader.h"
#include "formats/MpegTags.h"

namespace lumora {
namespace {

constexpr int64_t kHeadBytes = 48;  // enough for a leading tag id and a VBR header's frame count
constexpr int64_t kSearchBlock = 1000;
// A candidate needs the three bytes after it, so the last three of a block are
// examined again as the start of the next one; no header straddling a block
// boundary is missed.
constexpr int64_t kSearchStep = kSearchBlock - 3;

bool IsMp3Name(const std::string& path) {
  if (path.size() < 3) return false;
  std::string ending = path.substr(path.size() - 3);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ending == "mp3";
}

// A second byte that may follow 0xFF at a frame start. Files named *.mp3 never
// start a frame with 0xFF 0xFF.
bool MaySecond(uint8_t second, bool mp3Name) {
  return IsSyncSecondByte(second) && !(second == 0xFF && mp3Name);
}

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// A frame at offset whose successor starts right behind it with the same
// version, layer and sample rate: what a tag's or audio's stray 0xFF bytes
// (a UTF-16 byte-order mark, say) do not have. Leaves the successor's header
// in following.
bool IsChained(MpegFileReader& reader, int64_t offset, const uint8_t* header, int64_t fileSize,
               std::vector<uint8_t>& following) {
  const MpegFrameShape shape = ShapeOfFrame(header);
  const int64_t next = offset + shape.bytes;
  if (shape.bytes == 0 || next + 4 > fileSize || !reader.Read(next, 4, following)) return false;
  return ShapeOfFrame(following.data()).bytes > 0 && (following[1] & 0xFE) == (header[1] & 0xFE) &&
         (following[2] & 0x0C) == (header[2] & 0x0C);
}

// 0-based offset of the first frame header, or -1. A header followed by
// another frame wins; a file without any such pair (a single frame) takes its
// first valid header. A header whose third byte is 0xFF (an invalid bit-rate
// index) still tells the second byte that the frame found must have.
int64_t SearchFirstFrame(MpegFileReader& reader, int64_t start, bool mp3Name, int64_t fileSize) {
  int32_t requiredSecond = -1;
  int64_t firstValid = -1;
  std::vector<uint8_t> block, following;
  for (int64_t at = start; at < fileSize; at += kSearchStep) {
    if (!reader.Read(at, kSearchBlock, block)) return -1;
    for (int64_t i = 0; i < kSearchStep; ++i) {
      const uint8_t* candidate = &block[i];
      if (candidate[0] != 0xFF) continue;
      const uint8_t second = candidate[1];
      if (requiredSecond >= 0 ? second != requiredSecond : !MaySecond(second, mp3Name)) continue;
      if (candidate[2] == 0xFF) {
        requiredSecond = second;
      } else if (ShapeOfFrame(candidate).bytes > 0) {
        if (IsChained(reader, at + i, candidate, fileSize, following)) return at + i;
        if (firstValid < 0) firstValid = at + i;
      }
    }
  }
  return firstValid;
}

// A "Xing" (VBR) or "Info" (CBR) header frame: it carries no audio, and its
// bit rate need not be the stream's, so the header of the frame behind it
// stands for the stream. A "Xing" frame count is used when its flag says it
// is there.
bool ReadFirstFrame(MpegFileReader& reader, int64_t offset, MpegInfo& info) {
  std::vector<uint8_t> frame;
  if (!reader.Read(offset, kHeadBytes, frame)) return false;
  std::copy(frame.begin() + 1, frame.begin() + 4, info.HeaderRef.begin());
  info.FirstFrame = offset + 1;
  const auto vbr = static_cast<size_t>(VbrHeaderOffset(frame.data()));
  const bool xing = HasText(frame, vbr, "Xing");
  if (!xing && !HasText(frame, vbr, "Info")) return true;
  if (xing && (frame[vbr + 7] & 1) != 0) {
    info.IsVbr = 1;
    info.VbrFrames = BigEndian32(frame, vbr + 8);
  }
  std::vector<uint8_t> next;
  if (IsChained(reader, offset, frame.data(), info.FileSize, next)) {
    std::copy(next.begin() + 1, next.begin() + 4, info.HeaderRef.begin());
  }
  return true;
}

// Ends the data before a trailing tag.
bool ReadTrailingTag(MpegFileReader& reader, MpegInfo& info) {
  int64_t tag = -1;
  if (!FindTrailingTag(reader, info.FileSize, info.FirstFrame - 1, tag)) return false;
  // A tag before the data (DataLength below 4) leaves the data to the end.
  if (tag >= 0) info.DataLength = tag - info.FirstFrame + 1;
  return true;
}

bool LocateData(MpegFileReader& reader, const std::vector<uint8_t>& head, bool mp3Name, MpegInfo& info) {
  const int64_t first =
      SearchFirstFrame(reader, OffsetBehindLeadingTags(reader, head), mp3Name, info.FileSize);
  return first >= 0 && ReadFirstFrame(reader, first, info) && ReadTrailingTag(reader, info);
}

}  // namespace

int32_t ParseMpegFile(const std::string& path, int32_t streamStart, FileHandle& handle, MpegInfo& info) {
  info = MpegInfo{};
  MpegFileReader reader(path, handle);
  info.FileSize = reader.Size();
  std::vector<uint8_t> head;
  if (info.FileSize < kHeadBytes || !reader.Read(0, kHeadBytes, head)) return 0;
  if (streamStart != 0 && head[0] == 0xFF && IsSyncSecondByte(head[1])) {
    if (!ReadFirstFrame(reader, 0, info)) return 0;
  } else if (!LocateData(reader, head, IsMp3Name(path), info)) {
    return 0;
  }
  // A "TAG" found before the data (or none at all): the data runs to the end.
  if (info.DataLength < 4) info.DataLength = info.FileSize - info.FirstFrame + 1;
  info.DataEnd = info.DataLength + info.FirstFrame - 1;
  return DecodeMpegHeader(info);
}

int32_t ParseMpegFile(const std::string& path, int32_t streamStart, MpegInfo& info) {
  FileHandle none = 0;
  return ParseMpegFile(path, streamStart, none, info);
}

int64_t BitTextToInt(const std::string& text) {
  int64_t value = 0;
  const size_t count = std::min<size_t>(text.size(), 63);
  for (size_t k = 0; k < count; ++k) {
    if (text[text.size() - 1 - k] == '1') value |= int64_t{1} << k;
  }
  return value;
}

}  // namespace lumora
