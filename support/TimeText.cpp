#include "support/TimeText.h"

#include <algorithm>
#include <cmath>

#include "support/Rounding.h"

namespace lumora {

namespace {

struct Separators {
  const char* date;
  const char* dateToTime;
  const char* time;
  const char* milliseconds;
};
constexpr Separators kSeparators[] = {{"/", " ", ":", "."}, {"", "", "", ""}, {"-", " ", "_", "_"}};

struct TimeOfDay {
  int64_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};

TimeOfDay FromWholeSeconds(int64_t s) { return {s / 3600, s % 3600 / 60, s % 60, 0}; }

TimeOfDay PickTime(int32_t timeSource, double secondsOfDay, int32_t dayBoundary) {
  switch (timeSource) {
    case 0: {
      const double whole = std::floor(secondsOfDay);
      TimeOfDay time = FromWholeSeconds(static_cast<int64_t>(whole));
      // A fraction just below the next second would round to 1000; it stays 999
      // as the end of the day does.
      time.milliseconds = std::min<int64_t>(999, RoundHalfEven((secondsOfDay - whole) * 1000.0));
      return time;
    }
    case 2:
      return {23, 59, 59, 0};
    case 3:
      return FromWholeSeconds(dayBoundary);
    default:
      return {};
  }
}

// c followed by text, by appending: GCC 12 misreads the insert at the front that
// "." + text compiles to as an overlapping copy (-Wrestrict in release builds).
std::string Prefixed(char c, const std::string& text) {
  std::string out(1, c);
  out += text;
  return out;
}

std::string YearText(int32_t year, int32_t yearStyle) {
  const std::string full = ZeroPad(year, 4);
  if (yearStyle == 1) return full.substr(full.size() - 2);
  if (yearStyle == 2) return "";
  return full;
}

}  // namespace

std::string ZeroPad(int64_t value, int32_t digits) {
  const bool negative = value < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const std::string number = std::to_string(magnitude);
  std::string text(std::max<int64_t>(0, digits - static_cast<int64_t>(number.size())), '0');
  text += number;
  return negative ? Prefixed('-', text) : text;
}

std::string DateTimeTextAt(const LocalDateTime& now, int32_t dayBoundary, int32_t dayOffset,
                           int32_t separatorStyle, int32_t parts, int32_t timeSource, int32_t yearStyle,
                           float addSeconds) {
  // Beyond a million days the date arithmetic would leave the 32-bit year.
  if (!std::isfinite(addSeconds) || std::fabs(addSeconds) > 86400.0 * 1e6) return "";
  if (parts == 0) parts = 3;
  double t = std::clamp(now.secondsOfDay, 0.0, 86399.999) + addSeconds;
  const double carriedDays = std::floor(t / 86400.0);
  t -= carriedDays * 86400.0;
  int64_t day = DaysFromCivil(now.year, now.month, now.day) + dayOffset + static_cast<int64_t>(carriedDays);
  TimeOfDay time = PickTime(timeSource, t, dayBoundary);
  // Before the day boundary the hours run on past 24 on the previous date.
  if (time.hours * 3600 + time.minutes * 60 + time.seconds < dayBoundary) {
    time.hours += 24;
    --day;
  }
  int32_t year = 0, month = 0, dayOfMonth = 0;
  CivilFromDays(day, year, month, dayOfMonth);

  const Separators& sep = kSeparators[separatorStyle >= 0 && separatorStyle <= 2 ? separatorStyle : 0];
  std::string text;
  if (parts & 1) {
    text = YearText(year, yearStyle) + sep.date + ZeroPad(month, 2) + sep.date + ZeroPad(dayOfMonth, 2);
  }
  if (parts & 2) {
    if (!text.empty()) text += sep.dateToTime;
    text +=
        ZeroPad(time.hours, 2) + sep.time + ZeroPad(time.minutes, 2) + sep.time + ZeroPad(time.seconds, 2);
  }
  if (parts & 4) text += sep.milliseconds + ZeroPad(time.milliseconds, 3);
  return text;
}

std::string DateTimeText(int32_t dayBoundary, int32_t dayOffset, int32_t separatorStyle, int32_t parts,
                         int32_t timeSource, int32_t yearStyle, float addSeconds) {
  return DateTimeTextAt(ActiveClock().LocalNow(), dayBoundary, dayOffset, separatorStyle, parts, timeSource,
                        yearStyle, addSeconds);
}

std::string TimeText(int32_t milliseconds, int32_t style, int32_t allowNegative) {
  if (style < 0 || style > 12) return "";
  int64_t x = milliseconds;  // 64 bits, so that the most negative value has a magnitude
  std::string sign;
  if (x < 0) {
    sign = allowNegative ? "-" : "";
    x = allowNegative ? -x : 0;
  }
  const int64_t totalMinutes = x / 60000, totalSeconds = x / 1000;
  const std::string mm = ZeroPad(totalMinutes % 60, 2), ss = ZeroPad(totalSeconds % 60, 2);
  const std::string tenths = Prefixed('.', ZeroPad(x / 100 % 10, 1));
  const std::string hundredths = Prefixed('.', ZeroPad(x / 10 % 100, 2));
  const std::string thousandths = Prefixed('.', ZeroPad(x % 1000, 3));
  const std::string hours = ZeroPad(x / 3600000, 2);
  const std::string hms = hours + ":" + mm + ":" + ss;
  switch (style) {
    case 0:
      return sign + ZeroPad(totalMinutes, 3) + "'" + ss + thousandths;
    case 1:
      return sign + ZeroPad(totalMinutes, 2) + "'" + ss + tenths;
    case 2:
      return sign + hms;
    case 3:
      return sign + ZeroPad(x / 3600000, 1) + ":" + mm + ":" + ss + tenths;
    case 4:
      return sign + ZeroPad(totalMinutes, 2) + ":" + ss;
    case 5:
      return sign + ZeroPad(totalSeconds, 3) + thousandths;
    case 6:
      return sign + ZeroPad(totalSeconds, 3) + hundredths;
    case 7:
      return sign + ZeroPad(totalMinutes, 2) + ":" + ss + thousandths;
    case 8:
      return sign + hms + tenths;
    case 9:
      return sign + hms + hundredths;
    case 10:
      return sign + hms + thousandths;
    case 11:
      return sign + hours + "時" + mm + "分" + ss + "秒";
    default:
      return sign + hours + mm + ss;  // style 12
  }
}

}  // namespace lumora
