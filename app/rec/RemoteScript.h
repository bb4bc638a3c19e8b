#pragma once
// The timed input changes of a simulated remote box (--remote-script): lines
// "SECONDS press INPUT" or "SECONDS release INPUT" (INPUT 1 ... 8), in time
// order; blank lines and lines starting with "#" are skipped.

#include <cstdint>
#include <string>
#include <vector>

#include "remote/SimulatedBox.h"

namespace lumora::rec {

class RemoteScript {
 public:
  // False and a reason naming the line when the file cannot be read or a line
  // is not a change.
  bool Load(const std::string& path, std::string& error);
  // Applies to box every change due at or before seconds.
  void PlayUntil(double seconds, SimulatedBox& box);
  bool Done() const { return next_ == changes_.size(); }

 private:
  struct Change {
    double seconds = 0.0;
    bool press = false;
    int32_t input = 0;
  };
  std::vector<Change> changes_;
  size_t next_ = 0;
};

}  // namespace lumora::rec
