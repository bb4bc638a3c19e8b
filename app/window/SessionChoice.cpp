#include "app/window/SessionChoice.h"

#include <vector>

#include "settings/UserStore.h"
#include "support/FileSystem.h"
#include "support/PlainText.h"

namespace lumora {

namespace {

// The session the command line asks for, or -1.
int32_t RequestedSlot(const std::string& commandLine) {
  if (IsBlank(commandLine)) return -1;
  std::vector<std::string> found;
  for (int32_t slot = 0; slot < kSessionCount; ++slot) {
    const char number[] = {static_cast<char>('1' + slot), 0};
    const char letter[] = {static_cast<char>('A' + slot), 0};
    if (ParseCommandLine(found, number, commandLine) > 0 || ParseCommandLine(found, letter, commandLine) > 0) {
      return slot;
    }
  }
  return -1;
}

}  // namespace

std::string SessionCaption(int32_t slot) { return SessionNameForSlot(slot) + " - " + kMakerName; }

SessionDecision ChooseSessionSlot(int32_t useMultiSession, const std::array<bool, kSessionCount>& running,
                                  const std::string& commandLine) {
  using Kind = SessionDecision::Kind;
  if (useMultiSession == 0) {
    for (const bool busy : running) {
      if (busy) return {Kind::kEnd, -1};
    }
    return {Kind::kStart, 0};
  }
  if (const int32_t asked = RequestedSlot(commandLine); asked >= 0) {
    return {running[static_cast<size_t>(asked)] ? Kind::kHandOver : Kind::kStart, asked};
  }
  for (int32_t slot = 0; slot < kSessionCount; ++slot) {
    if (!running[static_cast<size_t>(slot)]) return {Kind::kStart, slot};
  }
  return {Kind::kEnd, -1};
}

}  // namespace lumora
