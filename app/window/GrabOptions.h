#pragma once
// lumora --grab FILE.png [--after MS]: a picture of the window instead of a session.

#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

struct GrabOptions {
  std::string file;
  int32_t afterMs = 1500;  // the timer runs this long before the picture is taken
};

// Nothing (and error empty) without --grab; nothing and a reason in error for a
// --grab without a file, an --after without a whole number of 0 or more, or an
// --after without --grab.
std::optional<GrabOptions> ParseGrabOptions(int argc, char** argv, std::string& error);

}  // namespace lumora
