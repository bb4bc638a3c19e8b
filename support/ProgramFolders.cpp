// The program's own folder and the system program folder.
#include <unistd.h>

#include <climits>

#include "support/FileSystem.h"

namespace lumora {

std::string AppFolder() {
  char buffer[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "";
  const std::string program(buffer, static_cast<size_t>(length));
  return program.substr(0, program.rfind('/') + 1);
}

std::string SystemFolder() { return "/usr/bin/"; }

}  // namespace lumora
