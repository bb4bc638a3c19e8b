// The start-up purge of old log files. It deletes nothing but the program's own
// log files of this machine, so a log folder set to a shared or personal folder
// loses nothing else.
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/FolderScan.h"
#include "support/Log.h"

namespace lumora {

namespace {

// "yyyymmdd - machine - session.log" or ".err", with this machine's name and one
// of the program's four session names ("lumora", "lumoraB" ... "lumoraD").
bool IsOwnLogFileName(const std::string& name, const std::string& machine) {
  constexpr size_t kDateDigits = 8;
  const std::string middle = " - " + machine + " - lumora";
  if (name.size() < kDateDigits + middle.size() + 4) return false;
  for (size_t i = 0; i < kDateDigits; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  if (name.compare(kDateDigits, middle.size(), middle) != 0) return false;
  std::string rest = name.substr(kDateDigits + middle.size());
  if (rest.size() == 5 && rest[0] >= 'B' && rest[0] <= 'D') rest.erase(0, 1);
  return rest == ".log" || rest == ".err";
}

}  // namespace

int32_t CleanLogFolder(const std::string& folder, int32_t olderThanDays, const std::string& machine) {
  const std::string dir = FolderSlash(folder, 0);
  if (!FolderExists(dir)) return 0;
  const std::string cutoff = AgeCutoff(olderThanDays);
  bool allDeleted = true;
  // Only the folder itself: the log writes nowhere else, and a log folder set
  // to a personal folder must not be walked or emptied.
  for (const FolderEntry& entry : ListFolder(dir)) {
    if (entry.isRegular && IsOwnLogFileName(entry.name, machine) && IsOlderThan(entry, cutoff)) {
      allDeleted = FileDelete(dir + entry.name) == 1 && allDeleted;
    }
  }
  DoEvents();
  return allDeleted ? 1 : 0;
}

}  // namespace lumora
