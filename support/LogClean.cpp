// The start-up purge of old log files. It deletes nothing but the program's own
// log files, so a log folder set to a shared or personal folder loses nothing else.
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/FolderScan.h"
#include "support/Log.h"

namespace lumora {

namespace {

// "yyyymmdd - machine - session.log" or ".err"; the machine name may be empty.
bool IsLogFileName(const std::string& name) {
  constexpr size_t kDateDigits = 8;
  if (name.size() < kDateDigits + 3 + 3 + 1 + 4) return false;
  for (size_t i = 0; i < kDateDigits; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  if (name.compare(kDateDigits, 3, " - ") != 0) return false;
  const size_t extensionAt = name.size() - 4;
  if (name.compare(extensionAt, 4, ".log") != 0 && name.compare(extensionAt, 4, ".err") != 0) return false;
  const size_t sessionSeparator = name.find(" - ", kDateDigits + 3);
  return sessionSeparator != std::string::npos && sessionSeparator + 3 < extensionAt;
}

// Deletes the old log files below folder (ending in "/") and removes the
// subfolders this emptied. Returns whether it deleted anything; clears
// allDeleted when a file that should go stays.
bool CleanTree(const std::string& folder, const std::string& cutoff, bool& allDeleted) {
  bool deletedAny = false;
  for (const FolderEntry& entry : ListFolder(folder)) {
    const std::string path = folder + entry.name;
    if (entry.isFolder) {
      const bool deletedBelow = CleanTree(path + "/", cutoff, allDeleted);
      if (deletedBelow && !FolderHasEntries(path, "", 0)) FolderRemove(path);
      deletedAny = deletedAny || deletedBelow;
    } else if (entry.isRegular && IsLogFileName(entry.name) && IsOlderThan(entry, cutoff)) {
      const bool deleted = FileDelete(path) == 1;
      deletedAny = deletedAny || deleted;
      allDeleted = allDeleted && deleted;
    }
  }
  DoEvents();
  return deletedAny;
}

}  // namespace

int32_t CleanLogFolder(const std::string& folder, int32_t olderThanDays) {
  const std::string dir = FolderSlash(folder, 0);
  if (!FolderExists(dir)) return 0;
  bool allDeleted = true;
  CleanTree(dir, AgeCutoff(olderThanDays), allDeleted);
  return allDeleted ? 1 : 0;
}

}  // namespace lumora
