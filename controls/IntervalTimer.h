#pragma once
// A repeating timer behind an interface, so that a control's repeat can run on
// the event loop (QtIntervalTimer) or on a clock that tests step by hand.

#include <QTimer>
#include <functional>

namespace lumora {

class IntervalTimer {
 public:
  virtual ~IntervalTimer() = default;
  virtual void Start(int intervalMs, std::function<void()> tick) = 0;
  virtual void Stop() = 0;
  virtual bool Active() const = 0;
};

class QtIntervalTimer final : public IntervalTimer {
 public:
  void Start(int intervalMs, std::function<void()> tick) override;
  void Stop() override { timer_.stop(); }
  bool Active() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
  QMetaObject::Connection connection_;
};

// Fires once for every whole interval that Advance moves past.
class ManualIntervalTimer final : public IntervalTimer {
 public:
  void Start(int intervalMs, std::function<void()> tick) override;
  void Stop() override { active_ = false; }
  bool Active() const override { return active_; }
  void Advance(int ms);

 private:
  bool active_ = false;
  int interval_ = 0;
  int elapsed_ = 0;
  std::function<void()> tick_;
};

}  // namespace lumora
