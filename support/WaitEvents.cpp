#include <chrono>
#include <thread>

#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {

bool WaitEventsUntil(int32_t milliseconds, const std::function<bool()>& done, int32_t sleepMilliseconds) {
  // The monotonic clock: a change of the wall clock neither shortens nor stretches
  // the wait. The steady clock bounds it too, so a simulated clock that stands
  // still between ticks (lumora-rec --fast) cannot hold it forever.
  const double seconds = milliseconds / 1000.0;
  const double start = ActiveClock().MonotonicSeconds();
  const auto realStart = std::chrono::steady_clock::now();
  for (;;) {
    if (done && done()) return true;
    DoEvents();
    if (ActiveClock().MonotonicSeconds() - start > seconds) return false;
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count() > seconds) {
      return false;
    }
    if (sleepMilliseconds > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
    } else {
      std::this_thread::yield();  // without a window to pump, at least let others run
    }
  }
}

void WaitEvents(int32_t milliseconds, int32_t sleepMilliseconds) {
  if (milliseconds > 0) WaitEventsUntil(milliseconds, nullptr, sleepMilliseconds);
}

}  // namespace lumora
