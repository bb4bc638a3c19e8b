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

// The server's sources in index order. False when no server answers within
// PulseLoop::kAnswerWait (a listing that fails after connecting is logged).
bool ListPulseSources(std::vector<PulseSource>& sources);

}  // namespace lumora
