#include "settings/RunOptions.h"

#include <optional>

#include "support/FileSystem.h"
#include "support/Log.h"

namespace lumora {
namespace {

std::string DescribeSettingsError(SettingsArgumentError error, const std::string& argument) {
  switch (error) {
    case SettingsArgumentError::kNone:
      return {};
    case SettingsArgumentError::kNoAssignment:
      return "--set needs KEY=VALUE: " + argument;
    case SettingsArgumentError::kUnknownKey:
      return "no setting of that name: " + argument;
    case SettingsArgumentError::kNotConvertible:
      return "the value does not suit the setting: " + argument;
    case SettingsArgumentError::kIniNotAFile:
      return "--ini does not name a usable file: " + argument;
    case SettingsArgumentError::kIniNoFolder:
      return "--ini names a file in a folder that does not exist: " + argument;
  }
  return "bad option: " + argument;
}

}  // namespace

bool WalkArguments(int argc, char** argv, const std::function<bool(const std::string&)>& takesValue,
                   const ArgumentTaker& take, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name.empty() || name[0] != '-') {
      if (!take("", name, error)) return false;
      continue;
    }
    std::optional<std::string> value;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (!takesValue(name)) {
      if (value) name = argv[i];  // a flag with a value is no option we know
      if (!take(name, "", error)) return false;
      continue;
    }
    if (!value && i + 1 >= argc) {
      error = name + " needs a value";
      return false;
    }
    if (!take(name, value ? *value : argv[++i], error)) return false;
  }
  return true;
}

bool IsSettingsOption(const std::string& name) { return name == "--ini" || name == "--set"; }

bool TakeSettingsOption(SettingsOptions& options, const std::string& name, const std::string& value,
                        std::string& error) {
  if (name == "--ini") {
    options.iniFile = value;
    return true;
  }
  const auto eq = value.find('=');
  if (eq == std::string::npos || eq == 0) {
    error = "--set needs KEY=VALUE, not \"" + value + "\"";
    return false;
  }
  options.sets.emplace_back(value.substr(0, eq), value.substr(eq + 1));
  return true;
}

bool PrepareSettings(const SettingsOptions& options, Settings& settings, std::string& error) {
  if (!options.iniFile.empty()) {
    error = DescribeSettingsError(settings.UseIniFile(options.iniFile), options.iniFile);
    if (!error.empty()) return false;
  }
  settings.FixSession(0);
  for (const auto& [key, value] : options.sets) {
    const std::string assignment = key + "=" + value;
    error = DescribeSettingsError(settings.AddOverride(assignment), assignment);
    if (!error.empty()) return false;
  }
  return true;
}

void PrepareLog(const Settings& settings) {
  LogConfig config;
  config.enabled = settings.ReadWhole("LogError");
  const std::string folder = settings.ReadText("DebugLogPath");
  config.folder = folder.empty() ? DefaultLogFolder() : FolderSlash(folder, 0);
  config.machine = MachineName();
  config.session = settings.Session().name;
  ConfigureLog(config);
  // The window's start-up purge of old logs: only the program's own files go.
  CleanLogFolder(config.folder, 90, config.machine);
}

}  // namespace lumora
