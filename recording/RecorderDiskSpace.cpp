// The recording time left on the disk of the take's file, and the warning
// before it runs out.

#include "recording/Recorder.h"
#include "recording/TakeFormat.h"
#include "support/Clock.h"
#include "support/FreeSpace.h"
#include "support/Log.h"

namespace lumora {

namespace {

// Five minutes: time to free space or change disks before the take stops.
constexpr int64_t kDiskWarnSeconds = 300;

}  // namespace

void Recorder::CheckDiskSpace() {
  loop_.DiskCheckClock = ActiveClock().MonotonicSeconds();
  const int64_t free = ActiveFreeSpace().FreeBytes(state_.names.RecFileName);
  if (free < 0) return;  // not known: no warning rather than a false one
  const int64_t seconds = free / BytesPerSecondFor(capture_.format, state_.Mp3Mode == 1, state_.Mp3Kbps);
  if (seconds >= kDiskWarnSeconds) {
    state_.diskWarned = false;
    return;
  }
  if (state_.diskWarned) return;
  state_.diskWarned = true;
  Log("録音可能時間残りわずか " + std::to_string(seconds) + "秒 " + state_.names.RecFileName, 1);
  view_.DiskSpaceLow(seconds);
}

}  // namespace lumora
