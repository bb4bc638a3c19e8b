#pragma once
// Which of the four side-by-side sessions a new run becomes. A pure rule over
// which sessions are running and the run's command line, so it is tested
// without starting anything; SessionLink.h finds the running ones.

#include <array>
#include <cstdint>
#include <string>

#include "settings/Session.h"

namespace lumora {

// The caption of a session's window, by which running sessions find each other:
// "lumora - tessaron", "lumoraB - tessaron", ...
std::string SessionCaption(int32_t slot);

struct SessionDecision {
  enum class Kind : int32_t {
    kStart,     // this run becomes session `slot`
    kHandOver,  // session `slot` runs and was asked for: hand it the command line, then end
    kEnd,       // no session may start
  };
  Kind kind = Kind::kEnd;
  int32_t slot = -1;
};

// useMultiSession 0 allows one session only. Otherwise the first free slot, or
// the first slot the command line asks for ("2", "/2", "B" or any token that
// begins with one of them, as a path on drive C: does).
SessionDecision ChooseSessionSlot(int32_t useMultiSession, const std::array<bool, kSessionCount>& running,
                                  const std::string& commandLine);

}  // namespace lumora
