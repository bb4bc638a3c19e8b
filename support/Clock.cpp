#include "support/Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace lumora {

LocalDateTime SystemClock::LocalNow() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1000000;
  std::tm local{};
  localtime_r(&seconds, &local);
  LocalDateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + micros / 1e6;
  return t;
}

double SystemClock::MonotonicSeconds() const {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double>(now).count();
}

LocalDateTime ManualClock::LocalNow() const {
  const double total = start_.secondsOfDay + elapsed_;
  const double days = std::floor(total / 86400.0);
  LocalDateTime t;
  CivilFromDays(DaysFromCivil(start_.year, start_.month, start_.day) + static_cast<int64_t>(days), t.year,
                t.month, t.day);
  t.secondsOfDay = total - days * 86400.0;
  return t;
}

namespace {
const Clock* g_clock = nullptr;
}

const Clock& ActiveClock() {
  static const SystemClock system;
  return g_clock ? *g_clock : system;
}

void SetActiveClock(const Clock* clock) { g_clock = clock; }

// Howard Hinnant's civil-date algorithms (public domain).
int64_t DaysFromCivil(int32_t year, int32_t month, int32_t day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int32_t& year, int32_t& month, int32_t& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace lumora
