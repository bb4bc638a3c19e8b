#pragma once
// The ini store: section "conf" of a private-profile file, read and written with
// the rules of the Windows profile functions (see ProfileText.h).

#include <cstddef>
#include <string>

namespace lumora {

inline constexpr const char* kIniSection = "conf";
// What the profile reader returns for a missing key; a stored value of exactly
// this text counts as missing too.
inline constexpr const char* kIsDefaultMarker = "ISDEFAULT";
// What an empty value is stored as, in both stores.
inline constexpr const char* kEmptyValueMarker = "***";
// The profile reader's 255-character buffer keeps 254 characters and a zero.
inline constexpr size_t kIniValueMaxCharacters = 254;

// The value of key in section "conf" of iniPath: the stored text (spaces around
// it removed, one pair of enclosing quotes removed, cut at its first zero and at
// 254 characters), the empty text for a stored "***", or defaultValue when the
// file, section or key is missing or unreadable. With writeBack, a missing key
// is written at once with defaultValue, so the file comes to list every key the
// program reads.
std::string IniReadValue(const std::string& key, const std::string& defaultValue, const std::string& iniPath,
                         bool writeBack);

// Stores key=value in section "conf" of iniPath ("***" for the empty text),
// creating the file and the section when missing. Returns false when the write
// failed (the file is then unchanged); callers may ignore it.
bool IniWriteValue(const std::string& key, const std::string& value, const std::string& iniPath);

}  // namespace lumora
