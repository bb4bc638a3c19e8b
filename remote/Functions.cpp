#include "remote/Functions.h"

#include <cstdio>

namespace lumora {

namespace {

struct FunctionEntry {
  const char* label;
  const char* name;
  const char* symbol;
};

constexpr std::array<FunctionEntry, kFunctionCount> kFunctions{{
    {"N/A", "N/A", "N/A"},
    {"録音", "REC", "○"},
    {"録音停止", "REC_STOP", "○□"},
    {"再生", "PLAY", "⇒"},
    {"再生停止", "PLAY_STOP", "⇒□"},
    {"再生一時停止", "PLAY_PAUSE", "ﾛﾛ"},
    {"ヘッド移動+", "HEAD_PLUS", ">"},
    {"ヘッド移動-", "HEAD_MINUS", "<"},
    {"ヘッド先頭", "HEAD_HOME", "Home"},
    {"停止", "STOP_ALL", "□"},
    {"保存", "SAVE", "Save"},
    {"登録", "REG", "Reg"},
}};

constexpr int32_t kFirstFunctionKey = 112;  // F1

std::string NumberedKey(const char* stem, size_t n) {
  char key[32];
  std::snprintf(key, sizeof key, "%s%02zu", stem, n);
  return key;
}

template <size_t N>
void LoadNames(const Settings& settings, const char* stem, std::array<int32_t, N>& functions) {
  for (size_t n = 1; n <= N; ++n) {
    const int32_t i = FunctionIndexOf(settings.ReadText(NumberedKey(stem, n)), 1);
    if (i != -1) functions[n - 1] = i;
  }
}

}  // namespace

std::string FunctionText(int32_t index, int32_t column) {
  if (index < 0 || index >= kFunctionCount) return {};
  const FunctionEntry& entry = kFunctions[index];
  switch (column) {
    case 0:
      return entry.label;
    case 1:
      return entry.name;
    case 2:
      return entry.symbol;
  }
  return {};
}

int32_t FunctionIndexOf(const std::string& text, int32_t column) {
  if (text.empty()) return -1;
  for (int32_t i = 0; i < kFunctionCount; ++i) {
    if (FunctionText(i, column) == text) return i;
  }
  return -1;
}

ControlMaps LoadControlMaps(const Settings& settings) {
  ControlMaps maps;
  LoadNames(settings, "fkeyfct-", maps.FKeyFunctions);
  LoadNames(settings, "HIDfct-", maps.RemoteFunctions);
  for (size_t n = 1; n <= maps.RemoteDelays.size(); ++n) {
    maps.RemoteDelays[n - 1] = settings.ReadWhole(NumberedKey("HIDwaitms-", n));
  }
  return maps;
}

void DoFunction(int32_t index, CommandTarget& target) {
  switch (index) {
    case kFnRec:
      if (!target.IsRecording()) target.ClickRecButton(1);
      break;
    case kFnRecStop:
      if (target.IsRecording()) target.ClickRecButton(2);
      break;
    case kFnPlay:
      target.ClickPlayButton(2);
      break;
    case kFnPlayStop:
      target.ClickPlayButton(0);
      break;
    case kFnPlayPause:
      target.ClickPlayButton(1);
      break;
    case kFnHeadPlus:
      target.HeadPlus();
      break;
    case kFnHeadMinus:
      target.HeadMinus();
      break;
    case kFnHeadHome:
      target.HeadHome();
      break;
    case kFnStopAll:
      target.ClickPlayButton(0);
      target.ClickRecButton(2);
      break;
    case kFnSave:
      target.ClickRecButton(0);
      break;
    case kFnReg:
      target.ClickRegButton();
      break;
  }
}

int32_t FunctionKeyUp(int32_t keyCode, const ControlMaps& maps, CommandTarget& target) {
  const int32_t key = keyCode - kFirstFunctionKey;
  if (key < 0 || key >= static_cast<int32_t>(maps.FKeyFunctions.size())) return keyCode;
  DoFunction(maps.FKeyFunctions[key], target);
  return keyCode == 115 || keyCode == 121 ? 0 : keyCode;
}

}  // namespace lumora
