#pragma once
// Every setting the program keeps, with its type, its store and its default
// text exactly as it is written back to a fresh ini file.

#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingValue.h"

namespace lumora {

enum class SettingStore {
  kSession,  // the session's ini file or per-user key
  kTitle,    // the program title's ini file or per-user key, usable before the session is known
  kCommon,   // the per-user key "common", shared by every session
};

enum class SettingDefault {
  kTable,       // defaultText
  kDataFolder,  // DefaultDataFolder() of the program folder ("DataPath")
  kCaller,      // the window's current placement, passed by RestoreWindowPlacement
};

struct SettingKey {
  std::string name;
  SettingType type = SettingType::kText;
  SettingStore store = SettingStore::kSession;
  std::string defaultText;
  SettingDefault defaultSource = SettingDefault::kTable;
};

// The table in the order the start-up reads it; the numbered keys are expanded
// ("fkeyfct-01" ... "fkeyfct-12", "HIDfct-01" ... "HIDfct-08", "HIDwaitms-01" ...
// "HIDwaitms-08").
const std::vector<SettingKey>& SettingKeyTable();

// The entry of name (compared without regard to case), or nullptr.
const SettingKey* FindSettingKey(std::string_view name);

// stem + number in two digits: NumberedKey("fkeyfct-", 1) == "fkeyfct-01".
std::string NumberedKey(std::string_view stem, int number);

}  // namespace lumora
