#include <algorithm>
#include <vector>

#include "formats/Mpeg.h"
#include "formats/MpegFileReader.h"
#include "formats/MpegHeader.h"

namespace lumora {
namespace {

// Points for each bit (bit 0 first) of header bytes 2, 3 and 4 that equals the
// first frame's: version and layer weigh most, then the sample rate and the
// channel mode; the bit-rate bits weigh little because VBR frames change them,
// the padding bit nothing.
constexpr int32_t kBitPoints[3][8] = {
    {1, 4, 4, 4, 0, 0, 0, 0},
    {1, 0, 4, 4, 1, 1, 1, 1},
    {1, 1, 1, 1, 2, 2, 4, 4},
};
constexpr int32_t kFullScore = 42;

int32_t SyncScore(const std::array<uint8_t, 3>& reference, const uint8_t* header) {
  int32_t score = 0;
  for (int32_t b = 0; b < 3; ++b) {
    const uint8_t differ = reference[b] ^ header[b + 1];
    for (int32_t bit = 0; bit < 8; ++bit) {
      if (((differ >> bit) & 1) == 0) score += kBitPoints[b][bit];
    }
  }
  return score;
}

}  // namespace

int64_t FindFrameSync(const std::string& path, int64_t position, const MpegInfo& info, FileHandle& handle) {
  const int64_t none = info.DataEnd + 1;
  if (info.DataEnd < info.FirstFrame) return none;
  const int64_t p = std::clamp(position, info.FirstFrame, info.DataEnd);
  const int64_t n = std::min<int64_t>(2 * int64_t{info.ChunkBytes}, info.DataEnd - p + 1);
  if (n < info.ChunkBytes) return none;

  MpegFileReader reader(path, handle);
  std::vector<uint8_t> window;
  if (!reader.Read(p - 1, n, window)) return none;
  int32_t bestScore = 0;
  int64_t best = none;
  for (int64_t i = 0; i <= n - 4 && bestScore < kFullScore; ++i) {
    if (window[i] != 0xFF || !IsSyncSecondByte(window[i + 1])) continue;
    const int32_t score = SyncScore(info.HeaderRef, &window[i]);
    if (score > bestScore) {
      bestScore = score;
      best = p + i;
    }
  }
  return best;
}

int64_t FindFrameSync(const std::string& path, int64_t position, const MpegInfo& info) {
  FileHandle none = 0;
  return FindFrameSync(path, position, info, none);
}

}  // namespace lumora
