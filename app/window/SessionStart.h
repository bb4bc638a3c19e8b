#pragma once
// The first steps of a start: which session this run becomes, or the hand-over
// of its command line to a running session.

#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

class SessionServer;
class Settings;

// The slot this run becomes, with server listening on its caption; nothing when
// the run must end (no session may start, or the command line was handed to the
// session it asked for). "UseMultiSession" comes from the title store.
std::optional<int32_t> ClaimSession(const Settings& settings, const std::string& commandLine,
                                    SessionServer& server);

// The arguments after the program's name as one line, arguments with a space quoted.
std::string JoinCommandLine(int argc, char** argv);

}  // namespace lumora
