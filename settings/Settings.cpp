#include "settings/Settings.h"

#include <utility>

#include "settings/DataFolder.h"
#include "settings/IniStore.h"
#include "settings/SettingKeys.h"
#include "settings/SettingValue.h"
#include "settings/SettingsFile.h"
#include "settings/TextRules.h"
#include "settings/UserStore.h"

namespace lumora {
namespace {

// The per-user key shared by all sessions ("DebugLogPath").
constexpr const char* kCommonKeyName = "common";

SettingStore StoreOf(const std::string& key) {
  const SettingKey* entry = FindSettingKey(key);
  return entry ? entry->store : SettingStore::kSession;
}

}  // namespace

Settings::Settings(std::string appFolder)
    : appFolder_(std::move(appFolder)), session_(ChooseSessionStore(0, appFolder_)) {}

void Settings::FixSession(int32_t slot) {
  session_ = ChooseSessionStore(slot, appFolder_);
  if (!explicitIni_.empty()) session_.iniPath = explicitIni_;
}

SettingsArgumentError Settings::UseIniFile(const std::string& path) {
  const SettingsFileStatus status =
      path.empty() ? SettingsFileStatus::kUnusable : ReadSettingsFile(path).status;
  if (status == SettingsFileStatus::kUnusable) return SettingsArgumentError::kIniNotAFile;
  if (status == SettingsFileStatus::kMissing && !FolderExists(FolderOfPath(path))) {
    return SettingsArgumentError::kIniNoFolder;
  }
  explicitIni_ = path;
  session_.iniPath = path;
  return SettingsArgumentError::kNone;
}

SettingsArgumentError Settings::AddOverride(const std::string& assignment) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos) return SettingsArgumentError::kNoAssignment;
  const SettingKey* entry = FindSettingKey(TrimSpaces(std::string_view(assignment).substr(0, equals)));
  if (entry == nullptr) return SettingsArgumentError::kUnknownKey;
  const std::string value(TrimSpaces(std::string_view(assignment).substr(equals + 1)));
  if (!ConvertsTo(value, entry->type)) return SettingsArgumentError::kNotConvertible;
  overrides_[ToLowerAscii(entry->name)] = value;
  return SettingsArgumentError::kNone;
}

StoreLocation Settings::SettingsLocation(bool useTitleStore) const {
  if (!explicitIni_.empty()) return {StoreKind::kIni, explicitIni_};
  if (useTitleStore) {
    const std::string titleIni = appFolder_ + kProgramTitle + ".ini";
    if (FileExists(titleIni)) return {StoreKind::kIni, titleIni};
    return {StoreKind::kRegistry, kProgramTitle};
  }
  if (!session_.iniPath.empty()) return {StoreKind::kIni, session_.iniPath};
  return {StoreKind::kRegistry, session_.name};
}

std::string Settings::ReadSetting(const std::string& key, const std::string& defaultValue,
                                  bool useTitleStore) const {
  if (const std::string* value = FindOverride(key)) return *value;
  const StoreLocation store = SettingsLocation(useTitleStore);
  if (store.kind == StoreKind::kIni) return IniReadValue(key, defaultValue, store.place, true);
  return RegReadValue(key, defaultValue, store.place);
}

bool Settings::WriteSetting(const std::string& key, const std::string& value, bool useTitleStore) {
  if (FindOverride(key) != nullptr) {
    overrides_[ToLowerAscii(key)] = value;
    return true;
  }
  const StoreLocation store = SettingsLocation(useTitleStore);
  if (store.kind == StoreKind::kIni) return IniWriteValue(key, value, store.place);
  return RegWriteValue(key, value, store.place) == 1;
}

int32_t Settings::ReadWhole(const std::string& key) const {
  const std::string fallback = DefaultText(key);
  return ParseWhole(ReadStored(key, fallback)).value_or(ParseWhole(fallback).value_or(0));
}

int16_t Settings::ReadShort(const std::string& key) const {
  const std::string fallback = DefaultText(key);
  return ParseShort(ReadStored(key, fallback)).value_or(ParseShort(fallback).value_or(0));
}

float Settings::ReadDecimal(const std::string& key) const {
  const std::string fallback = DefaultText(key);
  return ParseDecimal(ReadStored(key, fallback)).value_or(ParseDecimal(fallback).value_or(0.0f));
}

std::string Settings::ReadText(const std::string& key) const { return ReadStored(key, DefaultText(key)); }

int32_t Settings::ReadWhole(const std::string& key, int32_t defaultValue) const {
  return ParseWhole(ReadStored(key, std::to_string(defaultValue))).value_or(defaultValue);
}

int16_t Settings::ReadShort(const std::string& key, int16_t defaultValue) const {
  return ParseShort(ReadStored(key, std::to_string(defaultValue))).value_or(defaultValue);
}

float Settings::ReadDecimal(const std::string& key, float defaultValue) const {
  return ParseDecimal(ReadStored(key, FormatDecimal(defaultValue))).value_or(defaultValue);
}

std::string Settings::ReadText(const std::string& key, const std::string& defaultValue) const {
  return ReadStored(key, defaultValue);
}

bool Settings::WriteWhole(const std::string& key, int32_t value) {
  return WriteStored(key, std::to_string(value));
}

bool Settings::WriteDecimal(const std::string& key, float value) {
  return WriteStored(key, FormatDecimal(value));
}

bool Settings::WriteText(const std::string& key, const std::string& value) { return WriteStored(key, value); }

std::string Settings::DefaultText(const std::string& key) const {
  const SettingKey* entry = FindSettingKey(key);
  if (entry == nullptr) return "";
  return entry->defaultSource == SettingDefault::kDataFolder ? DefaultDataFolder(appFolder_)
                                                             : entry->defaultText;
}

std::string Settings::ReadStored(const std::string& key, const std::string& defaultText) const {
  const SettingStore store = StoreOf(key);
  if (store != SettingStore::kCommon) return ReadSetting(key, defaultText, store == SettingStore::kTitle);
  if (const std::string* value = FindOverride(key)) return *value;
  return RegReadValue(key, defaultText, kCommonKeyName);
}

bool Settings::WriteStored(const std::string& key, const std::string& value) {
  const SettingStore store = StoreOf(key);
  if (store != SettingStore::kCommon || FindOverride(key)) {
    return WriteSetting(key, value, store == SettingStore::kTitle);
  }
  return RegWriteValue(key, value, kCommonKeyName) == 1;
}

const std::string* Settings::FindOverride(const std::string& key) const {
  const auto found = overrides_.find(ToLowerAscii(key));
  return found == overrides_.end() ? nullptr : &found->second;
}

}  // namespace lumora
