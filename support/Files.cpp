// Files: existence, deletion and renaming.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/FileSystem.h"
#include "support/PlainText.h"

namespace lumora {

int32_t FileExists(const std::string& path) {
  if (IsBlank(path)) return 0;
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) ? 1 : 0;
}

int32_t FileDelete(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    // Only a file that is really not there counts as deleted; a folder we may
    // not look into could still hold it.
    return errno == ENOENT || errno == ENOTDIR ? 1 : 0;
  }
  // The read-only attribute of other systems is the owner's write permission
  // here; clearing it first keeps the rule and harms nothing.
  if (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR)) chmod(path.c_str(), info.st_mode | S_IWUSR);
  return unlink(path.c_str()) == 0 ? 1 : 0;
}

int32_t NameFile(const std::string& oldPath, const std::string& newPath) {
  if (oldPath.empty() || newPath.empty()) return 0;
  // rename() would silently replace an existing target; this rename must fail instead.
  if (renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0) return 1;
  if (errno != EINVAL && errno != ENOSYS) return 0;
  // A file system without RENAME_NOREPLACE: check, then rename.
  struct stat info {};
  if (lstat(newPath.c_str(), &info) == 0) return 0;
  return std::rename(oldPath.c_str(), newPath.c_str()) == 0 ? 1 : 0;
}

int32_t FileRename(const std::string& oldPath, const std::string& newPath, int32_t overwrite) {
  if (overwrite) FileDelete(newPath);
  // Up to 10 attempts, 10, 20, ... 90 ms apart: long enough for another program
  // to let go of a file it holds briefly.
  for (int32_t attempt = 1;; ++attempt) {
    if (NameFile(oldPath, newPath)) return 1;
    if (attempt >= 10) return 0;
    WaitEvents(attempt * 10, 0);
  }
}

}  // namespace lumora
