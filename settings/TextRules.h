#pragma once
// Small text rules shared by the settings stores.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

// Without the spaces, tabs and other blanks at both ends.
std::string_view TrimSpaces(std::string_view text);

// ASCII letters compare without case; other bytes (UTF-8 included) exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

std::string ToLowerAscii(std::string_view text);

// The first maxCharacters UTF-8 characters of text (a character is a lead byte
// with its continuation bytes, so a cut never splits one).
std::string_view CutToCharacters(std::string_view text, size_t maxCharacters);

// The folder part of a file path without its last "/" ("." for a bare name,
// "/" for a file at the root).
std::string FolderOfPath(const std::string& path);

// Text up to its first zero byte.
std::string_view CutAtZero(std::string_view text);

}  // namespace lumora
