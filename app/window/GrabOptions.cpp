#include "app/window/GrabOptions.h"

#include <charconv>
#include <string_view>

namespace lumora {

std::optional<GrabOptions> ParseGrabOptions(int argc, char** argv, std::string& error) {
  GrabOptions options;
  bool grab = false;
  bool after = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument != "--grab" && argument != "--after") continue;
    if (i + 1 >= argc) {
      error = std::string(argument) + " needs a value";
      return std::nullopt;
    }
    const std::string_view value = argv[++i];
    if (argument == "--grab") {
      grab = true;
      options.file = value;
      continue;
    }
    after = true;
    const auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), options.afterMs);
    if (code != std::errc() || end != value.data() + value.size() || options.afterMs < 0) {
      error = "--after needs milliseconds: " + std::string(value);
      return std::nullopt;
    }
  }
  if (after && !grab) error = "--after belongs to --grab";
  if (!grab || options.file.empty()) {
    if (grab) error = "--grab needs a file name";
    return std::nullopt;
  }
  return options;
}

}  // namespace lumora
