#include "support/StopSignals.h"

#include <signal.h>
#include <time.h>

#include <atomic>

namespace lumora {
namespace {

std::atomic<bool> g_stopRequested{false};

void OnSignal(int) { g_stopRequested = true; }

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // Past a file-size limit a write then fails as on a full disk, and the run
  // ends as it does there, instead of the signal ending the program.
  signal(SIGXFSZ, SIG_IGN);
}

bool StopRequested() { return g_stopRequested; }

void SleepMs(int32_t ms) {
  timespec pause{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);  // a signal cuts it short, which is what we want
}

}  // namespace lumora
