#pragma once
// lumora-rec --commands: command names from standard input, one a line, read
// without ever blocking the recorder's ticks.

#include <cstdint>
#include <deque>
#include <string>

namespace lumora::rec {

class CommandInput {
 public:
  // Takes in what standard input has ready; complete lines (and a last one
  // without its line end) are queued. Blank lines are skipped.
  void Poll();
  // The next queued command's index in the function table; a name that is
  // not in the table is reported on stderr and skipped. False when none is queued.
  bool Next(int32_t& index);
  // Standard input is over and every command has been taken.
  bool Ended() const { return ended_ && lines_.empty(); }

 private:
  void Queue(std::string line);

  std::string partial_;
  std::deque<std::string> lines_;
  bool ended_ = false;
};

}  // namespace lumora::rec
