#include "support/FolderScan.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

#include "support/FileSystem.h"
#include "support/TimeText.h"

namespace lumora {

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return entries;
  while (const dirent* found = readdir(dir.get())) {
    // Names are taken as they are: trimming them could point at a different file.
    const std::string name = found->d_name;
    if (name.empty() || name == "." || name == "..") continue;
    struct stat info {};
    // lstat: a link to a folder is never followed, so a clean-up stays in its tree.
    if (lstat((folder + name).c_str(), &info) != 0) continue;
    entries.push_back({name, S_ISDIR(info.st_mode), S_ISREG(info.st_mode), info.st_mtim.tv_sec});
  }
  return entries;
}

std::string ExtensionFilter(const std::string& extension) {
  if (extension.empty()) return ".*";
  return extension.front() == '.' ? extension : "." + extension;
}

bool MatchesFilter(const std::string& name, const std::string& filter) {
  if (filter == ".*") return true;
  return fnmatch(("*" + filter).c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

std::string AgeCutoff(int32_t days) {
  if (days == 0) return "";
  return DateTimeText(0, days < 0 ? days : -days);  // -days always fits, |days| may not
}

bool IsOlderThan(const FolderEntry& entry, const std::string& cutoff) {
  // Both texts are "yyyy/mm/dd hh:mm:ss", which sorts in time order as text.
  return cutoff.empty() || FileTimeText(entry.modified) < cutoff;
}

}  // namespace lumora
