#include "settings/DataFolder.h"

#include <unistd.h>

#include <filesystem>

#include "settings/Settings.h"
#include "settings/UserFolders.h"
#include "support/FileSystem.h"

namespace lumora {

std::string DefaultDataFolder(const std::string& appFolder) {
  if (!appFolder.empty() && access(appFolder.c_str(), W_OK) == 0) return appFolder;
  const std::optional<std::string> base = XdgFolder("XDG_DATA_HOME", ".local/share");
  if (!base) return appFolder;
  const std::string folder = *base + "/lumora/";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return FolderExists(folder) ? folder : appFolder;
}

std::string ResolveDataPath(const Settings& settings) {
  const std::string path = settings.ReadText("DataPath");
  return FolderExists(path) ? path : DefaultDataFolder(settings.appFolder());
}

}  // namespace lumora
