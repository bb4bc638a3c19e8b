#include "app/conf/ConfModel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <limits>

#include "recording/FieldSettings.h"
#include "settings/DataFolder.h"
#include "settings/SettingKeys.h"
#include "support/Rounding.h"

namespace lumora {

namespace {

constexpr size_t kKeyRows = 12;
constexpr size_t kRemoteRows = 8;

// The stored text of a decimal key, or the key's default when it is no number.
std::string StoredNumberText(const Settings& settings, const std::string& key) {
  const std::string text = settings.ReadText(key);
  return ParseDecimal(text) ? text : FindSettingKey(key)->defaultText;
}

template <size_t N>
std::vector<AssignmentRow> Rows(const char* stem, const std::array<int32_t, N>& functions) {
  std::vector<AssignmentRow> rows;
  for (size_t n = 1; n <= N; ++n) {
    std::string label = stem;  // appended: GCC 12 misreads stem + text as an overlapping copy
    label += std::to_string(n);
    rows.push_back({label, FunctionText(functions[n - 1], 0)});
  }
  return rows;
}

// Values beyond a setting's range are brought into it, as the recorder reads them.
void SaveFieldSettings(const GeneralPage& page, Settings& settings) {
  if (const auto seconds = NumericField(page.PreRecTime)) {
    settings.WriteWhole("PreRecTime",
                        static_cast<int32_t>(RoundHalfEven(std::clamp(*seconds, 0.0f, 10.0f) * 10)));
  }
  if (const auto minutes = ParseWhole(page.SplitMinutes)) {
    settings.WriteWhole("SplitMinutes", std::clamp(*minutes, 0, 1440));
  }
  settings.WriteWhole("ContinueAtLimit", page.ContinueAtLimit);
}

void SaveGeneral(const GeneralPage& page, Settings& settings, ConfTarget& target) {
  settings.WriteText("MixerApp", page.MixerApp);
  settings.WriteText("DataPath", page.SoundPath);
  target.SetRecordingFolder(ResolveDataPath(settings));
  if (const auto size = NumericField(page.SizeRate)) settings.WriteText("SizeRate", FormatOneDecimal(*size));
  settings.WriteWhole("AltFont", page.AltFont);
  if (const auto wave = NumericField(page.WaveRate)) {
    target.SetWaveRate(*wave);
    settings.WriteText("WaveRate", FormatOneDecimal(*wave));
  }
  if (const auto trim = NumericField(page.VULevelTrim))
    settings.WriteText("VULevelTrim", FormatOneDecimal(*trim));
  SaveFieldSettings(page, settings);
  target.TakeFieldSettings();
}

// Each row's function label becomes the command in use and the stored command
// name; a label that is no function keeps the command and stores the empty
// text, so the built-in one applies at the next start.
template <size_t N>
void SaveFunctions(const std::vector<AssignmentRow>& rows, const char* stem,
                   std::array<int32_t, N>& functions, Settings& settings) {
  for (size_t n = 1; n <= N; ++n) {
    const int32_t i = FunctionIndexOf(rows[n - 1].function, 0);
    if (i != -1) functions[n - 1] = i;
    settings.WriteText(NumberedKey(stem, static_cast<int>(n)), FunctionText(i, 1));
  }
}

void SaveRemoteDelays(const std::vector<AssignmentRow>& rows, ControlMaps& maps, Settings& settings) {
  for (size_t n = 1; n <= kRemoteRows; ++n) {
    // In 64 bits, so that the most negative delay has an absolute value too.
    const int64_t delay = std::llabs(static_cast<int64_t>(rows[n - 1].delay));
    maps.RemoteDelays[n - 1] =
        static_cast<int32_t>(std::min<int64_t>(delay, std::numeric_limits<int32_t>::max()));
    settings.WriteWhole(NumberedKey("HIDwaitms-", static_cast<int>(n)), maps.RemoteDelays[n - 1]);
  }
}

}  // namespace

GeneralPage ReadGeneralPage(const Settings& settings, const std::string& recordingFolder) {
  GeneralPage page;
  page.SoundPath = settings.ReadText("DataPath", recordingFolder);
  page.MixerApp = settings.ReadText("MixerApp");
  page.SizeRate = StoredNumberText(settings, "SizeRate");
  page.WaveRate = StoredNumberText(settings, "WaveRate");
  page.VULevelTrim = FormatOneDecimal(settings.ReadDecimal("VULevelTrim"));
  page.AltFont = settings.ReadWhole("AltFont") == 1 ? 1 : 0;
  RecorderControls field;
  ReadFieldSettings(settings, field);
  page.PreRecTime = FormatOneDecimal(static_cast<float>(field.PreRecTime) / 10.0f);
  page.SplitMinutes = std::to_string(field.SplitMinutes);
  page.ContinueAtLimit = field.ContinueAtLimit;
  return page;
}

ListPage ReadListPage(const Settings& settings, const ControlMaps& maps) {
  ListPage page;
  page.keyboard = Rows("F", maps.FKeyFunctions);
  page.remote = Rows("ピン", maps.RemoteFunctions);
  for (size_t n = 0; n < kRemoteRows; ++n) page.remote[n].delay = maps.RemoteDelays[n];
  const int32_t id = settings.ReadWhole("USBHIDID");
  page.device.USBHIDID = id >= 0 && id <= 8 ? id : 0;
  page.device.Latch = settings.ReadWhole("USBHID_Latch") != 0 ? 1 : 0;
  page.device.TallyInvert = settings.ReadWhole("USBTallyInvert") != 0 ? 1 : 0;
  return page;
}

std::optional<float> NumericField(const std::string& text) { return ParseDecimal(text); }

std::string FormatOneDecimal(float value) {
  // to_chars ignores the C locale, which a Qt program takes from the desktop.
  std::array<char, 64> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(value),
                                 std::chars_format::fixed, 1)
                       .ptr;
  const std::string text(buffer.data(), end);
  return text == "-0.0" ? "0.0" : text;
}

std::optional<int32_t> DelayOf(const std::string& text) { return ParseWhole(text); }

void SaveConf(const ConfEdits& edits, Settings& settings, ConfTarget& target) {
  if (edits.general) SaveGeneral(*edits.general, settings, target);
  ControlMaps& maps = target.Maps();
  if (edits.list && edits.list->keyboard.size() == kKeyRows) {
    SaveFunctions(edits.list->keyboard, "fkeyfct-", maps.FKeyFunctions, settings);
  }
  if (edits.list && edits.list->remote.size() == kRemoteRows) {
    SaveFunctions(edits.list->remote, "HIDfct-", maps.RemoteFunctions, settings);
    SaveRemoteDelays(edits.list->remote, maps, settings);
  }
  if (edits.list) {
    settings.WriteWhole("USBHIDID", edits.list->device.USBHIDID);
    settings.WriteWhole("USBTallyInvert", edits.list->device.TallyInvert);
    settings.WriteWhole("USBHID_Latch", edits.list->device.Latch);
  }
  target.InitHID();
}

}  // namespace lumora
