#pragma once
// The per-user base folders of the XDG layout.

#include <optional>
#include <string>

namespace lumora {

// $variable when it holds an absolute path (the XDG rule ignores relative
// ones), else the home folder + "/" + homeRelative; nothing when no home folder
// is known. No trailing "/".
std::optional<std::string> XdgFolder(const char* variable, const char* homeRelative);

}  // namespace lumora
