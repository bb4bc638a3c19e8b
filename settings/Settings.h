#pragma once
// The settings of one run: the session's store (ini file or per-user key), the
// title store that is usable before the session is known, the shared "common"
// key, and the run's own overrides (--set, --ini of the headless recorder).
//
// Reads never fail: a missing, unreadable or unconvertible value gives the
// default. Reads through the ini store write a missing key back with its
// default, so after a first run the ini file lists every key the program reads.

#include <cstdint>
#include <map>
#include <string>

#include "settings/Session.h"
#include "support/FileSystem.h"

namespace lumora {

enum class StoreKind : int32_t { kRegistry = 1, kIni = 2 };

struct StoreLocation {
  StoreKind kind = StoreKind::kRegistry;
  std::string place;  // the ini file's path, or the per-user key's name
};

enum class SettingsArgumentError {
  kNone,
  kNoAssignment,    // --set without KEY=VALUE
  kUnknownKey,      // a key that no part of the program reads
  kNotConvertible,  // a value that is not a number of the key's type
  kIniNotAFile,     // --ini names a folder, a device, or a file too big or unreadable
  kIniNoFolder,     // --ini names a file in a folder that does not exist
};

class Settings {
 public:
  // Before the session is chosen: slot 0's store of appFolder (ends in "/").
  explicit Settings(std::string appFolder = AppFolder());

  // Fixes SessionName and SessionIniPath for slot 0 ... 3 as the start-up does
  // (ChooseSessionStore); a file given by UseIniFile stays the store.
  void FixSession(int32_t slot);

  // --ini FILE: FILE becomes the store of the session and of the title keys;
  // a missing FILE is created by the first write. Refused (nothing changes) when
  // FILE is not a usable file or its folder does not exist.
  SettingsArgumentError UseIniFile(const std::string& path);

  // --set KEY=VALUE: reads of KEY give VALUE for this run; writes of KEY change
  // the override only, so nothing of it reaches a store. Refused for a key
  // missing from the key table or a value that does not convert to its type.
  // A later override of the same key replaces an earlier one.
  SettingsArgumentError AddOverride(const std::string& assignment);

  const SessionIdentity& Session() const { return session_; }
  const std::string& appFolder() const { return appFolder_; }

  // kIni with the file's path, or kRegistry with the per-user key's name. The
  // title store is the program title's ini file beside the program when it
  // exists, else the title's per-user key; the session's store is
  // SessionIniPath when set, else SessionName's key.
  StoreLocation SettingsLocation(bool useTitleStore) const;

  // The stored text of key or defaultValue (an override wins). In the ini store
  // a missing key is written back with defaultValue.
  std::string ReadSetting(const std::string& key, const std::string& defaultValue,
                          bool useTitleStore = false) const;
  // Stores value for key. Returns false when the store refused the write.
  bool WriteSetting(const std::string& key, const std::string& value, bool useTitleStore = false);

  // Typed reads of the key table: the store and default come from the table
  // (title keys from the title store, "DebugLogPath" from the per-user key
  // "common", "DataPath" defaulting to DefaultDataFolder); a value that does not
  // convert gives the table's default. A key not in the table, or one whose
  // default is the window's placement, reads with 0 or the empty text as default.
  int32_t ReadWhole(const std::string& key) const;
  int16_t ReadShort(const std::string& key) const;
  float ReadDecimal(const std::string& key) const;
  std::string ReadText(const std::string& key) const;

  // The same with a default of the caller (keys whose default is the window's
  // current placement, keys outside the table).
  int32_t ReadWhole(const std::string& key, int32_t defaultValue) const;
  int16_t ReadShort(const std::string& key, int16_t defaultValue) const;
  float ReadDecimal(const std::string& key, float defaultValue) const;
  std::string ReadText(const std::string& key, const std::string& defaultValue) const;

  // Typed writes into the key's store; false when the store refused.
  bool WriteWhole(const std::string& key, int32_t value);
  bool WriteDecimal(const std::string& key, float value);
  bool WriteText(const std::string& key, const std::string& value);

 private:
  std::string DefaultText(const std::string& key) const;
  std::string ReadStored(const std::string& key, const std::string& defaultText) const;
  bool WriteStored(const std::string& key, const std::string& value);
  const std::string* FindOverride(const std::string& key) const;

  std::string appFolder_;
  SessionIdentity session_;
  std::string explicitIni_;
  std::map<std::string, std::string> overrides_;  // by lower-case key
};

}  // namespace lumora
