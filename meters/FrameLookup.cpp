#include "meters/FrameLookup.h"

#include <algorithm>

namespace lumora {

FrameRun FindFrameRun(const FrameTable& table, int64_t frame, int64_t limit, int32_t blockAlign) {
  int64_t last = limit;
  for (const FrameRecord& record : table) {
    const FrameRange* ranges[2] = {&record.secondRange, &record.firstRange};
    const uint8_t* data[2] = {record.secondData, record.firstData};
    for (int k = 0; k < 2; ++k) {
      const FrameRange& range = *ranges[k];
      if (range.Contains(frame)) {
        const uint8_t* at = data[k] ? data[k] + (frame - range.first) * blockAlign : nullptr;
        return {at, std::min(last, range.last)};
      }
      // A range looked at earlier wins the frames it holds, so one that starts
      // later ends the run before it.
      if (range.first >= 0 && range.first > frame) last = std::min(last, range.first - 1);
    }
  }
  return {nullptr, last};
}

}  // namespace lumora
