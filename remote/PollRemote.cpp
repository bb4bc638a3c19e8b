// The remote's poll, once per timer tick while the remote is open: pulse mode
// asks which input fired; latch mode asks which inputs are held and treats
// holding and releasing differently.

#include "remote/Remote.h"

namespace lumora {

namespace {

bool IsHeadFunction(int32_t f) { return f == kFnHeadPlus || f == kFnHeadMinus || f == kFnHeadHome; }

}  // namespace

int32_t Remote::PollRemote(const ControlMaps& maps, CommandTarget& target) {
  if (!open_) return 0;
  return latch_ ? PollLatch(maps, target) : PollPulse(maps, target);
}

int32_t Remote::PollPulse(const ControlMaps& maps, CommandTarget& target) {
  const int32_t r = hid_->VondRead();
  if (r < 1 || r > 8) return 0;
  DoFunction(maps.RemoteFunctions[r - 1], target);
  return 1;
}

int32_t Remote::PollLatch(const ControlMaps& maps, CommandTarget& target) {
  // A failed exchange leaves the held inputs as they were: a release is seen
  // at the next good poll.
  const int32_t r = hid_->VondRead(1);
  if (r < 0) return 0;
  // The box reads an active input as a low bit; all idle is 255. 0 would be
  // every input at once, which a cleared answer also looks like: none.
  const int32_t active = r == 0 || r == 255 ? 0 : 255 - r;
  bool acted = false;
  for (int32_t n = 1; n <= 8; ++n) {
    if (LatchInput(n, (active >> (n - 1)) & 1, maps, target)) acted = true;
  }
  return acted ? 1 : 0;
}

// One input of a latch poll; true when the poll acted on it.
bool Remote::LatchInput(int32_t n, bool active, const ControlMaps& maps, CommandTarget& target) {
  const int32_t f = maps.RemoteFunctions[n - 1];
  bool& held = RemoteHeld[n - 1];
  if (active && !held) {
    held = true;
    if (IsHeadFunction(f)) {
      ResumeAfterHead = target.IsPlaying();
      // Home moves once, on the press; the other two move while held.
      if (f == kFnHeadHome) DoFunction(f, target);
    } else {
      latchDelay(maps.RemoteDelays[n - 1]);
      DoFunction(f, target);
    }
    return true;
  }
  if (active && held) {
    if (f == kFnHeadPlus || f == kFnHeadMinus) DoFunction(f, target);
    return false;
  }
  if (!active && held) {
    if (f == kFnRec && target.IsRecording()) {
      DoFunction(kFnRecStop, target);
    } else if (f == kFnPlay && target.IsPlaying()) {
      DoFunction(kFnPlayStop, target);
    } else if (IsHeadFunction(f) && ResumeAfterHead) {
      DoFunction(kFnPlay, target);
      ResumeAfterHead = false;
    }
    held = false;
    return true;
  }
  return false;
}

}  // namespace lumora
