#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "formats/Mpeg.h"
#include "formats/MpegFileReader.h"
#include "formats/MpegHeader.h"
#include "support/FileSystem.h"

namespace lumora {
namespace {

constexpr int64_t kHeadBytes = 48;  // enough for a leading tag id and a "Xing" frame count
constexpr int64_t kTagBlockBytes = 128;
constexpr int64_t kSearchBlock = 1000;
// A candidate needs the two bytes after it, so the last two of a block are
// examined again as the start of the next one; no header straddling a block
// boundary is missed.
constexpr int64_t kSearchStep = kSearchBlock - 2;
constexpr int64_t kTailWindow = 1024;  // where a trailing "TAG" is looked for
constexpr int64_t kXingOffset = 36;    // behind the header and MPEG-1 stereo side information

bool HasText(const std::vector<uint8_t>& bytes, size_t at, const char* text) {
  const size_t length = std::strlen(text);
  return at + length <= bytes.size() && std::memcmp(bytes.data() + at, text, length) == 0;
}

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

// The size of an ID3v2 tag body: the low 7 bits of bytes 6..9, most significant first.
int64_t Id3v2Size(const std::vector<uint8_t>& head) {
  std::string bits;
  for (size_t k = 6; k <= 9; ++k) bits += ByteToBitText(head[k]).substr(1);
  return BitTextToInt(bits);
}

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// A "Xing" header in a frame that starts at bytes[0].
void ReadXing(const std::vector<uint8_t>& frame, MpegInfo& info) {
  if (!HasText(frame, kXingOffset, "Xing")) return;
  info.IsVbr = 1;
  info.VbrFrames = BigEndian32(frame, kXingOffset + 8);
}

// Where the frame search begins. A file that starts with a header whose third
// byte is 0xFF (an invalid bit-rate index) still tells the second byte that
// the frame found must have.
struct SearchPlan {
  int64_t start = 0;
  int32_t requiredSecond = -1;
  bool foundAtStart = false;
};

SearchPlan PlanSearch(const std::vector<uint8_t>& head, bool mp3Name, MpegInfo& info) {
  SearchPlan plan;
  if (HasText(head, 0, "TAG")) {
    plan.start = kTagBlockBytes;
  } else if (HasText(head, 0, "ID3")) {
    plan.start = Id3v2Size(head) + 10;
  } else {
    ReadXing(head, info);
    if (head[0] == 0xFF && MaySecond(head[1], mp3Name)) {
      if (head[2] < 0xFF) {
        plan.foundAtStart = true;
      } else {
        plan.requiredSecond = head[1];
      }
    }
  }
  return plan;
}

// 0-based offset of the first frame header, or -1.
int64_t SearchFirstFrame(MpegFileReader& reader, SearchPlan plan, bool mp3Name, int64_t fileSize) {
  if (plan.foundAtStart) return 0;
  std::vector<uint8_t> block;
  for (int64_t at = plan.start; at < fileSize; at += kSearchStep) {
    if (!reader.Read(at, kSearchBlock, block)) return -1;
    for (int64_t i = 0; i + 2 < kSearchBlock; ++i) {
      if (block[i] != 0xFF) continue;
      const uint8_t second = block[i + 1];
      const uint8_t third = block[i + 2];
      if (plan.requiredSecond >= 0) {
        if (second == plan.requiredSecond && third < 0xFF) return at + i;
      } else if (MaySecond(second, mp3Name)) {
        if (third < 0xFF) return at + i;
        plan.requiredSecond = second;
      }
    }
  }
  return -1;
}

bool ReadFirstFrame(MpegFileReader& reader, int64_t offset, MpegInfo& info) {
  std::vector<uint8_t> frame;
  if (!reader.Read(offset, kHeadBytes, frame)) return false;
  if (info.IsVbr == 0 && offset + kHeadBytes <= info.FileSize) ReadXing(frame, info);
  std::copy(frame.begin() + 1, frame.begin() + 4, info.HeaderRef.begin());
  info.FirstFrame = offset + 1;
  return true;
}

// Ends the data before the first "TAG" in the last 1024 bytes (an ID3v1 block).
bool ReadTrailingTag(MpegFileReader& reader, MpegInfo& info) {
  const int64_t window = std::min(info.FileSize, kTailWindow);
  std::vector<uint8_t> tail;
  if (!reader.Read(info.FileSize - window, window, tail)) return false;
  for (size_t k = 0; k + 3 <= tail.size(); ++k) {
    if (HasText(tail, k, "TAG")) {
      info.DataLength = info.FileSize - info.FirstFrame - window + static_cast<int64_t>(k) + 1;
      break;
    }
  }
  return true;
}

bool LocateData(MpegFileReader& reader, const std::vector<uint8_t>& head, bool mp3Name, MpegInfo& info) {
  const SearchPlan plan = PlanSearch(head, mp3Name, info);
  const int64_t first = SearchFirstFrame(reader, plan, mp3Name, info.FileSize);
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
    std::copy(head.begin() + 1, head.begin() + 4, info.HeaderRef.begin());
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
