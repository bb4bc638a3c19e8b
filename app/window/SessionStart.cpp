#include "app/window/SessionStart.h"

#include "app/window/SessionChoice.h"
#include "app/window/SessionLink.h"
#include "settings/Settings.h"

namespace lumora {

std::optional<int32_t> ClaimSession(const Settings& settings, const std::string& commandLine,
                                    SessionServer& server) {
  const int32_t useMultiSession = settings.ReadWhole("UseMultiSession");
  // A slot can be taken between the probe and the claim by a run starting at the
  // same moment: then look again.
  for (int32_t attempt = 0; attempt < kSessionCount; ++attempt) {
    const SessionDecision decision = ChooseSessionSlot(useMultiSession, RunningSessions(), commandLine);
    const std::string caption = SessionCaption(decision.slot);
    switch (decision.kind) {
      case SessionDecision::Kind::kEnd:
        return std::nullopt;
      case SessionDecision::Kind::kHandOver:
        SendCommandLine(caption, commandLine);
        return std::nullopt;
      case SessionDecision::Kind::kStart:
        if (server.Listen(caption)) return decision.slot;
        break;
    }
  }
  return std::nullopt;
}

std::string JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!line.empty()) line += " ";
    line += argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"";
  }
  return line;
}

}  // namespace lumora
