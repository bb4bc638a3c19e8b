#include "settings/UserStore.h"

#include <filesystem>
#include <vector>

#include "settings/IniStore.h"
#include "settings/SettingsFile.h"
#include "settings/TextRules.h"
#include "settings/UserFolders.h"

namespace lumora {
namespace {

std::optional<std::string> HiveRoot(RegistryHive hive) {
  if (hive == RegistryHive::kLocalMachine) return std::string("/etc/xdg");
  return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::vector<std::string_view> SplitKeyPath(std::string_view keyPath) {
  std::vector<std::string_view> parts;
  size_t begin = 0;
  for (size_t end = keyPath.find('\\'); end != std::string_view::npos; end = keyPath.find('\\', begin)) {
    parts.push_back(keyPath.substr(begin, end - begin));
    begin = end + 1;
  }
  parts.push_back(keyPath.substr(begin));
  return parts;
}

bool IsSafeComponent(std::string_view part) {
  return !part.empty() && part != "." && part != ".." &&
         part.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// The store file of the key, explicit or built from the session name.
std::optional<std::string> KeyFile(const std::string& name, RegistryHive hive, const std::string& keyPath) {
  if (keyPath.empty()) return UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath(name));
  return UserStoreFile(hive, keyPath);
}

}  // namespace

std::string UserStoreKeyPath(const std::string& name) {
  return "Software\\" + ToLowerAscii(std::string(kMakerName) + "\\" + (name.empty() ? kProgramTitle : name));
}

std::optional<std::string> UserStoreFile(RegistryHive hive, const std::string& keyPath) {
  std::vector<std::string_view> parts = SplitKeyPath(keyPath);
  if (parts.size() > 1 && EqualsIgnoringCase(parts.front(), "Software")) parts.erase(parts.begin());
  std::optional<std::string> file = HiveRoot(hive);
  for (std::string_view part : parts) {
    if (!file || !IsSafeComponent(part)) return std::nullopt;
    file->append("/").append(part);
  }
  return file;
}

std::string RegReadValue(const std::string& valueName, const std::string& defaultValue,
                         const std::string& name, RegistryHive hive, const std::string& keyPath) {
  std::string result = defaultValue;
  if (const std::optional<std::string> file = KeyFile(name, hive, keyPath)) {
    const std::optional<std::string> stored = ReadProfileString(kIniSection, valueName, *file);
    if (stored && stored->size() <= kUserValueMaxBytes) result = TrimSpaces(CutAtZero(*stored));
  }
  return result == kEmptyValueMarker ? std::string() : result;
}

int32_t RegWriteValue(const std::string& valueName, const std::string& value, const std::string& name,
                      RegistryHive hive, const std::string& keyPath) {
  const std::optional<std::string> file = KeyFile(name, hive, keyPath);
  if (!file) return 0;
  std::error_code ignored;  // a folder that cannot be made shows up as a failed write
  std::filesystem::create_directories(std::filesystem::path(*file).parent_path(), ignored);
  const std::string_view stored = CutAtZero(value);
  return WriteProfileString(kIniSection, valueName, stored.empty() ? kEmptyValueMarker : stored, *file) ? 1
                                                                                                        : 0;
}

}  // namespace lumora
