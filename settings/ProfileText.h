#pragma once
// The private-profile ("ini") text format, as pure functions over the whole file
// text, so the file layer can read, change and replace a file in one piece.
//
// Reading follows the Windows profile reader: lines end in CR LF or LF; a UTF-8
// byte-order mark is skipped; "[name]" opens a section; "key=value" lines hold
// values; section and key names compare without regard to ASCII case; spaces and
// tabs around names and values are ignored; lines starting with ";" are
// comments; the first section of a name and the first key of a name in it win.
//
// Writing changes as little as possible: every other byte of the file (comments,
// blank lines, other sections and keys, the BOM) stays as it is; a changed key is
// replaced on its own line; a new key goes after the last non-blank line of its
// section; a missing section is appended at the end of the file. Lines written
// here end in CR LF.

#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The value of key in section, trimmed, or nothing when the section or key is
// missing (a line without "=" holds no value).
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// True when a name can be stored and found again: not empty, no line break, no
// "=" (keys) or "]" (sections), no spaces at its ends, and not starting with ";"
// or "[".
bool IsValidProfileName(std::string_view name);

// True when a value survives a write and a read as one line: no CR or LF.
bool IsValidProfileValue(std::string_view value);

// The text with key set to value in section. Names and value must be valid
// (above); the caller checks.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace lumora
