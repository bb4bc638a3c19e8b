#include "controls/IntervalTimer.h"

namespace lumora {

void QtIntervalTimer::Start(int intervalMs, std::function<void()> tick) {
  QObject::disconnect(connection_);
  connection_ = QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
  timer_.start(intervalMs);
}

void ManualIntervalTimer::Start(int intervalMs, std::function<void()> tick) {
  active_ = true;
  interval_ = std::max(1, intervalMs);
  elapsed_ = 0;
  tick_ = std::move(tick);
}

void ManualIntervalTimer::Advance(int ms) {
  for (elapsed_ += ms; active_ && elapsed_ >= interval_; elapsed_ -= interval_) tick_();
}

}  // namespace lumora
