// Age-based clean-up of a folder tree, and the test for entries in a folder.
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/FolderScan.h"

namespace lumora {

int32_t FolderClean(const std::string& folder, int32_t keepFolder, int32_t olderThanDays,
                    const std::string& extension, int32_t noRecurse) {
  const std::string dir = FolderSlash(folder, 0);
  if (!FolderExists(dir)) return 0;
  const std::string cutoff = AgeCutoff(olderThanDays);
  const std::string filter = ExtensionFilter(extension);
  for (const FolderEntry& entry : ListFolder(dir)) {
    if (!MatchesFilter(entry.name, filter)) continue;
    const std::string path = dir + entry.name;
    if (!entry.isFolder) {
      if (IsOlderThan(entry, cutoff)) FileDelete(path);
    } else if (!noRecurse && !cutoff.empty()) {
      FolderClean(path, 1, olderThanDays, extension, 0);
      if (!FolderHasEntries(path, "", 0)) FolderRemove(path);
    } else if (!noRecurse) {
      FolderClean(path, 0, 0, "", 0);  // removes the subfolder itself when it empties
    }
  }
  DoEvents();
  return keepFolder ? 1 : FolderRemove(dir);
}

int32_t FolderHasEntries(const std::string& folder, const std::string& extension, int32_t mode) {
  const std::string dir = FolderSlash(folder, 0);
  if ((mode != 0 && mode != 1) || !FolderExists(dir)) return 0;
  const std::string filter = ExtensionFilter(extension);
  for (const FolderEntry& entry : ListFolder(dir)) {
    if (MatchesFilter(entry.name, filter) && (mode == 0 || entry.isFolder)) return 1;
  }
  return 0;
}

}  // namespace lumora
