#pragma once
// The configuration dialog's working state apart from its widgets: what each
// page shows when it is built, and how OK stores it. Only pages that were
// built are stored; a text that is not a number leaves its setting unchanged.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/conf/ConfTarget.h"
#include "settings/Settings.h"

namespace lumora {

enum ConfTab : int32_t { kTabGeneral = 0, kTabKeyboard = 1, kTabRemote = 2 };

// The fields of the general page as texts, the way the user edits them.
struct GeneralPage {
  std::string SoundPath;
  std::string MixerApp;
  std::string SizeRate;
  std::string WaveRate;
  std::string VULevelTrim;
  int32_t AltFont = 1;     // 0 "ＭＳ Ｐゴシック", 1 "メイリオ"
  std::string PreRecTime;  // seconds with one decimal; stored in tenths
  std::string SplitMinutes;
  int32_t ContinueAtLimit = 1;
};

// One row of an assignment list: "F3" or "ピン5", a function label, a delay (ms).
struct AssignmentRow {
  std::string label;
  std::string function;
  int32_t delay = 0;
};

// The remote device fields: ComboHID's entry, "ラッチ", "出力反転".
struct RemoteDevice {
  int32_t USBHIDID = 0;
  int32_t Latch = 0;
  int32_t TallyInvert = 0;
};

// The list page serves the keyboard and the remote tabs alike.
struct ListPage {
  std::vector<AssignmentRow> keyboard;
  std::vector<AssignmentRow> remote;
  RemoteDevice device;

  std::vector<AssignmentRow>& Rows(ConfTab tab) { return tab == kTabRemote ? remote : keyboard; }
};

struct ConfEdits {
  std::optional<GeneralPage> general;
  std::optional<ListPage> list;
};

// The general page from the settings; a stored number that does not read as
// one shows the key's default. recordingFolder stands in for an unset "DataPath".
GeneralPage ReadGeneralPage(const Settings& settings, const std::string& recordingFolder);
// The list page from the assignments in use and the remote's settings.
ListPage ReadListPage(const Settings& settings, const ControlMaps& maps);

// A number typed into a field, or nothing: C-locale decimals, spaces around allowed.
std::optional<float> NumericField(const std::string& text);
// value with one decimal, "." as the separator whatever the locale: 1.234 -> "1.2".
std::string FormatOneDecimal(float value);
// The delay a "遅延" cell holds: whole milliseconds, or nothing when the text is no number.
std::optional<int32_t> DelayOf(const std::string& text);

// OK: stores the built pages in a fixed order, applies the recording folder,
// the level history's magnification and the assignments at once, and always
// restarts the remote.
void SaveConf(const ConfEdits& edits, Settings& settings, ConfTarget& target);

}  // namespace lumora
