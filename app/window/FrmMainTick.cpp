// TimerRec: one tick drives the remote, the recorder and the transport, in
// that order, and schedules the next.

#include "app/window/FrmMain.h"

namespace lumora {

int32_t FrmMain::Tick() {
  TimerRec.stop();
  FollowHistoryFormats();
  const int32_t interval = recorder_->Tick();
  if (runTimer_ && !unloaded_) TimerRec.start(interval);
  return interval;
}

}  // namespace lumora
