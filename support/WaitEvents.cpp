#include <chrono>
#include <thread>

#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {

void WaitEvents(int32_t milliseconds, int32_t sleepMilliseconds) {
  if (milliseconds <= 0) return;
  // The monotonic clock: a change of the wall clock neither shortens nor stretches the wait.
  const double start = ActiveClock().MonotonicSeconds();
  for (;;) {
    DoEvents();
    if (ActiveClock().MonotonicSeconds() - start > milliseconds / 1000.0) return;
    if (sleepMilliseconds > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
    } else {
      std::this_thread::yield();  // without a window to pump, at least let others run
    }
  }
}

}  // namespace lumora
