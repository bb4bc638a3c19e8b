#include "settings/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace lumora {
namespace {

std::optional<std::string> AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

std::optional<std::string> HomeFolder() {
  if (auto home = AbsoluteEnv("HOME")) return home;
  const passwd* entry = getpwuid(getuid());
  if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/') return std::nullopt;
  return std::string(entry->pw_dir);
}

}  // namespace

std::optional<std::string> XdgFolder(const char* variable, const char* homeRelative) {
  if (auto folder = AbsoluteEnv(variable)) return folder;
  if (auto home = HomeFolder()) return *home + "/" + homeRelative;
  return std::nullopt;
}

}  // namespace lumora
