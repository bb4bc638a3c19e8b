// Folders: existence, creation and removal.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/FileSystem.h"

namespace lumora {

namespace {
// One trailing separator off, as the folder calls take it; the root keeps its "/".
std::string WithoutSlash(const std::string& path) {
  const std::string stripped = FolderSlash(path, 1);
  return stripped.empty() && !path.empty() && path.front() == '/' ? "/" : stripped;
}
}  // namespace

int32_t FolderExists(const std::string& path) {
  if (path.empty()) return 0;
  struct stat info {};
  return stat(WithoutSlash(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

int32_t FolderCreate(const std::string& path) {
  const std::string folder = WithoutSlash(path);
  if (folder.empty()) return 0;
  return mkdir(folder.c_str(), 0777) == 0 ? 1 : 0;
}

int32_t FolderRemove(const std::string& path) {
  const std::string folder = WithoutSlash(path);
  if (folder.empty()) return 1;
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) return errno == ENOENT || errno == ENOTDIR ? 1 : 0;
  if (S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR)) chmod(folder.c_str(), info.st_mode | S_IWUSR);
  return rmdir(folder.c_str()) == 0 ? 1 : 0;
}

}  // namespace lumora
