#pragma once
// Finding frames by number in a FrameTable. A frame belongs to the first record
// (0..49) with a range that holds it, the second range of a record tested before
// its first. Consecutive frames usually share a buffer, so a lookup also says how
// far the same answer holds, and a scan looks up once per run, not per frame.

#include <cstdint>

#include "meters/FrameTable.h"

namespace lumora {

struct FrameRun {
  const uint8_t* data = nullptr;  // the frame's bytes; nullptr: found nowhere (reads as silence)
  int64_t last = 0;               // the same answer holds for every frame up to here (inclusive)
};

// The buffer position of `frame` and the end of its run, looking no further
// than `limit` (>= frame). A record whose range holds the frame but has no data
// reads as silence.
FrameRun FindFrameRun(const FrameTable& table, int64_t frame, int64_t limit, int32_t blockAlign);

}  // namespace lumora
