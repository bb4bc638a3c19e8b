#pragma once
// The sources of the PulseAudio server, listed through libpulse itself: the
// audio library lists two sources with the same description only once, so the
// second of two identical microphones could not be chosen.

#include <string>
#include <vector>

namespace lumora {

struct PulseSource {
  std::string name;         // unique on the server; what a capture stream opens
  std::string description;  // what the user sees ("Monitor of …" for a sink's monitor)
};

enum class PulseServer {
  kListed,  // the sources are listed
  kAbsent,  // no server to connect to: a machine with plain ALSA
  kSilent,  // a server that does not answer (a stopped one), or a failed listing (logged)
};

// The server's sources in index order, waiting at most PulseLoop::kAnswerWait.
PulseServer ListPulseSources(std::vector<PulseSource>& sources);

}  // namespace lumora
