#include "support/EventPump.h"

#include <utility>

namespace lumora {

namespace {
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}
}  // namespace

void SetEventPump(std::function<void()> pump) { Pump() = std::move(pump); }

void DoEvents() {
  if (Pump()) Pump()();
}

}  // namespace lumora
