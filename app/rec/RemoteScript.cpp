#include "app/rec/RemoteScript.h"

#include <fstream>
#include <sstream>

namespace lumora::rec {

namespace {

bool ParseChange(const std::string& line, double& seconds, bool& press, int32_t& input) {
  std::istringstream in(line);
  std::string action, rest;
  if (!(in >> seconds >> action >> input) || (in >> rest)) return false;
  if (action != "press" && action != "release") return false;
  press = action == "press";
  return seconds >= 0 && input >= 1 && input <= 8;
}

}  // namespace

bool RemoteScript::Load(const std::string& path, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot read the remote script " + path;
    return false;
  }
  std::string line;
  for (int32_t number = 1; std::getline(file, line); ++number) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    Change change;
    if (!ParseChange(line, change.seconds, change.press, change.input) ||
        (!changes_.empty() && change.seconds < changes_.back().seconds)) {
      error = path + ":" + std::to_string(number) +
              ": not \"SECONDS press|release INPUT\" in time order: " + line;
      return false;
    }
    changes_.push_back(change);
  }
  return true;
}

void RemoteScript::PlayUntil(double seconds, SimulatedBox& box) {
  for (; next_ < changes_.size() && changes_[next_].seconds <= seconds; ++next_) {
    const Change& change = changes_[next_];
    if (change.press) {
      box.Press(change.input);
    } else {
      box.Release(change.input);
    }
  }
}

}  // namespace lumora::rec
