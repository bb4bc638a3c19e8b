#pragma once
// The per-user store, standing in for the registry. A key path such as
// Software\tessaron\lumorab is one file, $XDG_CONFIG_HOME/tessaron/lumorab
// (~/.config when the variable is unset or relative), whose values sit in the
// private-profile format under section "conf": plain text a person can read and
// edit, written atomically like the ini store. Values follow the REG_SZ rules:
// text only, trimmed when read, "***" for the empty text, longer than 255 bytes
// reads as the default, nothing is written back on a read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

enum class RegistryHive : uint32_t {
  kCurrentUser = 0x80000001,   // $XDG_CONFIG_HOME
  kLocalMachine = 0x80000002,  // /etc/xdg, in practice read-only
};

inline constexpr const char* kMakerName = "tessaron";
inline constexpr const char* kProgramTitle = "lumora";
// The registry read's 256-byte buffer; a longer value fails the query.
inline constexpr size_t kUserValueMaxBytes = 255;

// Software\tessaron\<name> in lower case; an empty name means the program title.
std::string UserStoreKeyPath(const std::string& name);

// The file that holds keyPath under hive: the path without its leading
// "Software\" component, "\" turned into "/". Nothing when the path has an
// empty, "." or ".." component or no home folder is known.
std::optional<std::string> UserStoreFile(RegistryHive hive, const std::string& keyPath);

// The value valueName of the key: keyPath under hive when keyPath is not empty,
// else the current user's key of name (UserStoreKeyPath). Returns the stored
// text trimmed, the empty text for "***", or defaultValue when the key or value
// is missing, unreadable or longer than 255 bytes.
std::string RegReadValue(const std::string& valueName, const std::string& defaultValue,
                         const std::string& name = "", RegistryHive hive = RegistryHive::kCurrentUser,
                         const std::string& keyPath = "");

// Stores value ("***" for the empty text) under valueName, creating the key's
// folders and file as needed. Returns 1 on success, 0 when the key cannot be
// created or written (a value with a line break cannot be stored either).
int32_t RegWriteValue(const std::string& valueName, const std::string& value, const std::string& name = "",
                      RegistryHive hive = RegistryHive::kCurrentUser, const std::string& keyPath = "");

}  // namespace lumora
