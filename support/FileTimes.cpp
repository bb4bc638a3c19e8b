// Local date and time texts of file times.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "support/FileSystem.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

struct TimeTextStyle {
  const char* date[3];  // after the year, the month and the day
  const char* time[3];  // after the hour, the minute and the second
  const char* joint;    // between date and time
};
constexpr TimeTextStyle kStyles[] = {{{"", "", ""}, {"", "", ""}, ""},
                                     {{"/", "/", ""}, {":", ":", ""}, " "},
                                     {{"年", "月", "日"}, {"時", "分", "秒"}, " "}};

std::string LocalTimeText(int64_t unixSeconds, int32_t parts, int32_t style) {
  if (style < 0 || style > 2) return "";
  const std::time_t seconds = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return "";
  const TimeTextStyle& s = kStyles[style];
  const std::string date = ZeroPad(local.tm_year + 1900, 4) + s.date[0] + ZeroPad(local.tm_mon + 1, 2) +
                           s.date[1] + ZeroPad(local.tm_mday, 2) + s.date[2];
  const std::string time = ZeroPad(local.tm_hour, 2) + s.time[0] + ZeroPad(local.tm_min, 2) + s.time[1] +
                           ZeroPad(local.tm_sec, 2) + s.time[2];
  std::string text = (parts & 1) ? date : "";
  if (parts & 2) text += (text.empty() ? "" : s.joint) + time;
  return text;
}

// 0 creation: the birth time where the file system keeps one, else the last
// status change; 1 last access; 2 last write.
const statx_timestamp* PickFileTime(const struct statx& info, int32_t whichTime) {
  switch (whichTime) {
    case 0:
      return (info.stx_mask & STATX_BTIME) ? &info.stx_btime : &info.stx_ctime;
    case 1:
      return &info.stx_atime;
    case 2:
      return &info.stx_mtime;
    default:
      return nullptr;
  }
}

}  // namespace

std::string FileTimeText(int64_t unixSeconds) { return LocalTimeText(unixSeconds, 3, 1); }

std::string FileDateText(const std::string& path, int32_t whichTime, int32_t parts, int32_t style,
                         int32_t handle) {
  struct statx info {};
  const unsigned mask = STATX_BTIME | STATX_CTIME | STATX_ATIME | STATX_MTIME;
  // A handle is a descriptor + 1 (formats/FileHandle.h); without one the path is asked.
  const int result = handle > 0 ? statx(handle - 1, "", AT_EMPTY_PATH, mask, &info)
                                : statx(AT_FDCWD, path.c_str(), 0, mask, &info);
  if (result != 0) return "";
  const statx_timestamp* chosen = PickFileTime(info, whichTime);
  return chosen ? LocalTimeText(chosen->tv_sec, parts, style) : "";
}

}  // namespace lumora
