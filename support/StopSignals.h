#pragma once
// For the headless programs: SIGINT and SIGTERM ask the run to stop (it then
// ends its take or its playback as the stop button would), and waits between
// ticks that such a signal cuts short.

#include <cstdint>

namespace lumora {

// From now on SIGINT and SIGTERM set the stop request instead of ending the
// process, and a write past a file-size limit (SIGXFSZ) fails like one to a
// full disk.
void CatchStopSignals();
bool StopRequested();
// Sleeps ms milliseconds, or less when a signal arrives.
void SleepMs(int32_t ms);

}  // namespace lumora
