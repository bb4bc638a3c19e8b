#include "settings/IniStore.h"

#include <optional>

#include "settings/SettingsFile.h"
#include "settings/TextRules.h"

namespace lumora {
namespace {

// The profile reader drops one pair of matching quotes around a value.
std::string_view StripQuotes(std::string_view value) {
  const bool quoted =
      value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// What the platform profile reader answers, with "ISDEFAULT" for a missing key.
std::string ProfileAnswer(const std::string& key, const std::string& iniPath) {
  const std::optional<std::string> stored = ReadProfileString(kIniSection, key, iniPath);
  if (!stored) return kIsDefaultMarker;
  return std::string(CutToCharacters(CutAtZero(StripQuotes(*stored)), kIniValueMaxCharacters));
}

}  // namespace

std::string IniReadValue(const std::string& key, const std::string& defaultValue, const std::string& iniPath,
                         bool writeBack) {
  const std::string answer = ProfileAnswer(key, iniPath);
  if (answer == kIsDefaultMarker) {
    if (writeBack) IniWriteValue(key, defaultValue, iniPath);
    return defaultValue;
  }
  return answer == kEmptyValueMarker ? std::string() : answer;
}

bool IniWriteValue(const std::string& key, const std::string& value, const std::string& iniPath) {
  const std::string_view stored = CutAtZero(value);
  return WriteProfileString(kIniSection, key, stored.empty() ? kEmptyValueMarker : stored, iniPath);
}

}  // namespace lumora
