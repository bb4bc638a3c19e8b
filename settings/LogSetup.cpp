#include "settings/LogSetup.h"

#include "settings/Settings.h"
#include "support/FileSystem.h"
#include "support/Log.h"

namespace lumora {

void ConfigureSessionLog(const Settings& settings) {
  LogConfig config;
  config.enabled = settings.ReadWhole("LogError");
  const std::string folder = settings.ReadText("DebugLogPath");
  config.folder = folder.empty() ? DefaultLogFolder() : FolderSlash(folder, 0);
  config.machine = MachineName();
  config.session = settings.Session().name;
  ConfigureLog(config);
  // Only the program's own files go.
  CleanLogFolder(config.folder, 90, config.machine);
}

}  // namespace lumora
