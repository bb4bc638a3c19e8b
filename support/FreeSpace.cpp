#include "support/FreeSpace.h"

#include <sys/statvfs.h>

namespace lumora {

int64_t SystemFreeSpace::FreeBytes(const std::string& path) const {
  struct statvfs fs {};
  if (statvfs(path.c_str(), &fs) != 0) return -1;
  // f_bavail leaves out the blocks kept for root, which a take cannot use.
  return static_cast<int64_t>(fs.f_bavail) * static_cast<int64_t>(fs.f_frsize);
}

namespace {
const FreeSpace* g_space = nullptr;
}

const FreeSpace& ActiveFreeSpace() {
  static const SystemFreeSpace system;
  return g_space ? *g_space : system;
}

void SetActiveFreeSpace(const FreeSpace* space) { g_space = space; }

}  // namespace lumora
