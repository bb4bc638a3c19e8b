#pragma once
// The program's two clocks behind one interface, so tests and the fast headless
// recorder can fix or step time: the local wall clock (texts that show a date or
// a time of day) and a monotonic clock (durations, which a change of the wall
// clock must neither shorten nor prolong).

#include <cstdint>

namespace lumora {

struct LocalDateTime {
  int32_t year = 1970;
  int32_t month = 1;          // 1..12
  int32_t day = 1;            // 1..31
  double secondsOfDay = 0.0;  // seconds since local midnight, with fraction
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime LocalNow() const = 0;
  virtual double MonotonicSeconds() const = 0;
};

class SystemClock final : public Clock {
 public:
  LocalDateTime LocalNow() const override;
  double MonotonicSeconds() const override;
};

// A clock that only moves when told to; the local time advances with it.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(LocalDateTime start = {2026, 12, 5, 13 * 3600.0}) : start_(start) {}
  LocalDateTime LocalNow() const override;
  double MonotonicSeconds() const override { return elapsed_; }
  void Advance(double seconds) { elapsed_ += seconds; }
  void SetLocal(LocalDateTime start) {
    start_ = start;
    elapsed_ = 0.0;
  }

 private:
  LocalDateTime start_;
  double elapsed_ = 0.0;
};

// Real local time with stepped durations: for running faster than real time
// (lumora-rec --fast), where durations follow the simulated audio but texts
// that show the time of day, such as log lines, stay true.
class SteppedClock final : public Clock {
 public:
  LocalDateTime LocalNow() const override { return SystemClock().LocalNow(); }
  double MonotonicSeconds() const override { return elapsed_; }
  void Advance(double seconds) { elapsed_ += seconds; }

 private:
  double elapsed_ = 0.0;
};

// The clock every part of the core reads. nullptr restores the system clock.
const Clock& ActiveClock();
void SetActiveClock(const Clock* clock);

// Days since 1970-01-01 of a proleptic Gregorian date and back (date arithmetic
// for "today + n days" without touching the time zone).
int64_t DaysFromCivil(int32_t year, int32_t month, int32_t day);
void CivilFromDays(int64_t days, int32_t& year, int32_t& month, int32_t& day);

}  // namespace lumora
