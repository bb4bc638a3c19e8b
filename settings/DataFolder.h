#pragma once
// The recording folder ("DataPath") and its fallback, so a first take never
// fails for lack of a writable folder.

#include <string>

namespace lumora {

class Settings;

// appFolder when the program may write there (a portable copy), else the
// per-user folder $XDG_DATA_HOME/lumora/ (~/.local/share/lumora/), created when
// missing. Falls back to appFolder when no per-user folder can be made. Ends in
// "/".
std::string DefaultDataFolder(const std::string& appFolder);

// "DataPath" (whose default is DefaultDataFolder); a configured folder that does
// not exist gives DefaultDataFolder too.
std::string ResolveDataPath(const Settings& settings);

}  // namespace lumora
