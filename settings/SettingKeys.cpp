#include "settings/SettingKeys.h"

#include <algorithm>
#include <cstdio>

#include "settings/TextRules.h"

namespace lumora {
namespace {

using enum SettingType;

SettingKey Key(std::string name, SettingType type, std::string defaultText,
               SettingStore store = SettingStore::kSession) {
  return {std::move(name), type, store, std::move(defaultText), SettingDefault::kTable};
}

SettingKey OtherDefaultKey(std::string name, SettingType type, SettingDefault source) {
  return {std::move(name), type, SettingStore::kSession, "", source};
}

void AddNumbered(std::vector<SettingKey>& table, std::string_view stem, int count, SettingType type,
                 const std::string& defaultText) {
  for (int number = 1; number <= count; ++number) {
    table.push_back(Key(NumberedKey(stem, number), type, defaultText));
  }
}

std::vector<SettingKey> BuildTable() {
  std::vector<SettingKey> table = {
      Key("UseMultiSession", kWhole, "1", SettingStore::kTitle),
      Key("LangMode", kWhole, "0"),
      Key("AltFont", kWhole, "1"),
      Key("ErrorCatch", kWhole, "0"),
      Key("LogError", kWhole, "1"),
      Key("DebugLogPath", kText, "", SettingStore::kCommon),
      Key("PriorityHigh", kWhole, "1"),
      Key("SizeRate", kDecimal, "1.0"),
      Key("WaveRate", kDecimal, "1.0"),
      Key("nFreq", kWhole, "44100"),
      Key("nBit", kShort, "16"),
      Key("nCh", kShort, "2"),
      Key("DeviceInName", kText, ""),
      Key("DeviceOutName", kText, ""),
      Key("VULevelTrim", kDecimal, "-20.0"),
      Key("RecLevel", kDecimal, "0"),
      Key("PlayLevel", kDecimal, "0"),
      Key("StartLevel", kWhole, "-45"),
      Key("EndLevel", kWhole, "-45"),
      Key("EndTime", kWhole, "40"),
      Key("Sequential", kShort, "0"),
      Key("AutoRec", kShort, "0"),
      Key("InputMon", kShort, "0"),
      OtherDefaultKey("DataPath", kText, SettingDefault::kDataFolder),
      Key("RMSP3mon", kWhole, "0"),
      Key("Modemp3", kWhole, "0"),
      Key("mp3BitRate", kWhole, "128"),
      Key("PreRecTime", kWhole, "0"),
      Key("ContinueAtLimit", kWhole, "1"),
      Key("SplitMinutes", kWhole, "0"),
      Key("USBHIDID", kWhole, "0"),
      Key("USBHID_Latch", kWhole, "0"),
      Key("USBTallyInvert", kWhole, "0"),
  };
  AddNumbered(table, "fkeyfct-", 12, kText, "");
  AddNumbered(table, "HIDfct-", 8, kText, "");
  AddNumbered(table, "HIDwaitms-", 8, kWhole, "0");
  for (SettingKey key : {Key("RegApp", kText, ""), Key("MixerApp", kText, ""), Key("RecDir", kText, ""),
                         OtherDefaultKey("WindowLeft", kDecimal, SettingDefault::kCaller),
                         OtherDefaultKey("WindowTop", kDecimal, SettingDefault::kCaller),
                         OtherDefaultKey("WindowState", kShort, SettingDefault::kCaller)}) {
    table.push_back(std::move(key));
  }
  return table;
}

}  // namespace

const std::vector<SettingKey>& SettingKeyTable() {
  static const std::vector<SettingKey> table = BuildTable();
  return table;
}

const SettingKey* FindSettingKey(std::string_view name) {
  const std::vector<SettingKey>& table = SettingKeyTable();
  const auto found = std::ranges::find_if(
      table, [name](const SettingKey& key) { return EqualsIgnoringCase(key.name, name); });
  return found == table.end() ? nullptr : &*found;
}

std::string NumberedKey(std::string_view stem, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d", number);
  return std::string(stem) + digits;
}

}  // namespace lumora
