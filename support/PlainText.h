#pragma once
// Small text helpers shared by the path, command-line and log code. "Blank"
// means the space character only, which is what the path rules trim.

#include <string>

namespace lumora {

std::string TrimBlanks(const std::string& text);
bool IsBlank(const std::string& text);  // empty or spaces only
// ASCII case changes; other bytes (UTF-8 sequences) pass through unchanged.
std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);
bool EndsWithNoCase(const std::string& text, const std::string& suffix);

}  // namespace lumora
