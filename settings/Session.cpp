#include "settings/Session.h"

#include "settings/UserStore.h"
#include "support/FileSystem.h"

namespace lumora {

std::string SessionNameForSlot(int32_t slot) {
  static constexpr const char* kSuffixes[kSessionCount] = {"", "B", "C", "D"};
  const bool valid = slot >= 0 && slot < kSessionCount;
  return std::string(kProgramTitle) + (valid ? kSuffixes[slot] : "");
}

SessionIdentity ChooseSessionStore(int32_t slot, const std::string& appFolder) {
  SessionIdentity session{SessionNameForSlot(slot), ""};
  for (const std::string& name : {session.name, std::string(kProgramTitle)}) {
    const std::string path = appFolder + name + ".ini";
    if (FileExists(path)) {
      session.iniPath = path;
      break;
    }
  }
  return session;
}

}  // namespace lumora
