#pragma once
// Which session this run is and which store holds its settings, fixed once at
// start.

#include <cstdint>
#include <string>

namespace lumora {

inline constexpr int32_t kSessionCount = 4;

struct SessionIdentity {
  std::string name;     // SessionName: "lumora", or "lumoraB" ... "lumoraD"
  std::string iniPath;  // SessionIniPath: the session's ini file, or empty for the per-user store
};

// The session name of slot 0 ... 3; any other slot gives the program title.
std::string SessionNameForSlot(int32_t slot);

// The start-up choice for slot: appFolder + SessionName + ".ini" when that file
// exists; else the first session's ini file when it exists (sessions without a
// file of their own share it); else the per-user store (empty iniPath).
// appFolder ends in "/".
SessionIdentity ChooseSessionStore(int32_t slot, const std::string& appFolder);

}  // namespace lumora
