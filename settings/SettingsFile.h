#pragma once
// Whole-file reads and atomic replacement of small settings files, and the
// profile-string calls of both stores on top of them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// A settings file larger than this is not one of ours: it reads as unusable and
// is never rewritten (a mistaken --ini pointing at a recording stays intact).
inline constexpr int64_t kMaxSettingsFileBytes = 1 << 20;

enum class SettingsFileStatus { kOk, kMissing, kUnusable };

struct SettingsFileText {
  SettingsFileStatus status = SettingsFileStatus::kMissing;
  std::string text;  // the file's bytes when kOk
};

// kMissing: no such file (a write may create it). kUnusable: a folder, a device
// or pipe, unreadable, or larger than kMaxSettingsFileBytes.
SettingsFileText ReadSettingsFile(const std::string& path);

// Writes bytes to a new file beside path, flushes it to disk and renames it over
// path (following a symbolic link to its target), so readers and a crash see the
// old file or the new one, never a mix. An existing file keeps its permissions.
// Returns 0, or the error number of the step that failed, with the old file
// untouched.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The trimmed value of key in section of the profile file, or nothing when the
// file, section or key is missing or the file is unusable.
std::optional<std::string> ReadProfileString(std::string_view section, std::string_view key,
                                             const std::string& path);

// Sets key=value in section of the profile file, creating the file (not its
// folder) when missing. Returns false, leaving the file as it was, when the
// name or value cannot be stored (a line break, "=" in a key), the file is
// unusable or the write fails; the first failure per file is logged.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);

}  // namespace lumora
