#pragma once
// Date, time-of-day and duration texts of the displays, the log and the log
// clean-up. The local time comes from ActiveClock() (support/Clock.h).

#include <cstdint>
#include <string>

#include "support/Clock.h"

namespace lumora {

// dayBoundary: seconds after midnight at which the day changes (0 = midnight);
// dayOffset: days added to today; separatorStyle 0 "/ :" ,1 none, 2 "- _";
// parts: 1 date, 2 time, 4 milliseconds (0 = 3); timeSource: 0 now,
// 1 00:00:00, 2 23:59:59, 3 the day boundary; yearStyle: 0 four digits, 1 two,
// 2 none; addSeconds: added to the current time of day first.
// All arguments 0 give "yyyy/mm/dd hh:mm:ss".
std::string DateTimeText(int32_t dayBoundary = 0, int32_t dayOffset = 0, int32_t separatorStyle = 0,
                         int32_t parts = 0, int32_t timeSource = 0, int32_t yearStyle = 0,
                         float addSeconds = 0.0f);
// The same text for a given local time, so that one reading of the clock can
// serve several texts (the log's file name and its line stamp). Empty text for
// an addSeconds that is not a finite number of seconds.
std::string DateTimeTextAt(const LocalDateTime& now, int32_t dayBoundary, int32_t dayOffset,
                           int32_t separatorStyle, int32_t parts, int32_t timeSource, int32_t yearStyle,
                           float addSeconds);

// A duration in milliseconds in one of the styles 0..12 (style 1: mm'ss.f, the
// recording and playback displays). Fractions are cut, never rounded. Negative
// values show as 0 unless allowNegative, then with a leading "-". Style 13 and
// above: empty text.
std::string TimeText(int32_t milliseconds, int32_t style, int32_t allowNegative = 0);

// value with at least `digits` digits, zero-padded on the left; a wider number
// keeps all its digits (ZeroPad(7, 2) = "07", ZeroPad(100, 2) = "100").
std::string ZeroPad(int64_t value, int32_t digits);

}  // namespace lumora
