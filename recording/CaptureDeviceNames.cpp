// Choosing a device by the name stored in the settings. Names are compared
// without regard to ASCII case (other letters are left as they are, so UTF-8
// names stay intact) and without surrounding blanks.

#include <algorithm>
#include <charconv>

#include "recording/CaptureDevice.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora {
namespace {

constexpr const char* kDeviceNotFound = "この名前のデバイスを検出できませんでした";

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Key(const std::string& name) { return Lower(Trim(name)); }

size_t CharacterCount(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // UTF-8 continuation bytes do not count
  }));
}

void EraseAll(std::string& text, const std::string& part) {
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
    text.erase(at, part.size());
}

// "k- " with k = 1...4: the number a system puts before one of two equal names.
std::string NumberTag(int32_t k) { return std::string(1, static_cast<char>('0' + k)) + "- "; }

// "microphone (2- usb audio)" -> "microphone (usb audio)".
void DropBracketedNumbers(std::string& name) {
  for (int32_t k = 1; k <= 4; ++k) {
    std::string opened(1, '(');  // appended, not "(" + tag: GCC 12 warns on that front insert
    opened += NumberTag(k);
    if (name.find(opened) != std::string::npos) EraseAll(name, NumberTag(k));
  }
}

// "2- line in" -> "line in".
void DropLeadingNumbers(std::string& name) {
  if (CharacterCount(name) <= 4) return;
  for (int32_t k = 1; k <= 4; ++k) {
    if (name.starts_with(NumberTag(k))) EraseAll(name, NumberTag(k));
  }
  name = Trim(name);
}

// The index of the first name equal to `key` (ignoring case and blanks), else
// of the first that DeviceNamesMatch accepts; -1 when none.
int32_t FindName(const std::vector<std::string>& names, const std::string& key) {
  for (size_t k = 0; k < names.size(); ++k) {
    if (Key(names[k]) == key) return static_cast<int32_t>(k);
  }
  for (size_t k = 0; k < names.size(); ++k) {
    if (DeviceNamesMatch(names[k], key) == 1) return static_cast<int32_t>(k);
  }
  return -1;
}

bool ParseWholeNumber(const std::string& text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

WaveDirection DirectionOf(bool input) { return input ? WaveDirection::kInput : WaveDirection::kOutput; }

}  // namespace

int32_t DeviceNamesMatch(const std::string& a, const std::string& b) {
  std::string x = Lower(a);
  std::string y = Lower(b);
  DropBracketedNumbers(x);
  DropBracketedNumbers(y);
  if (x == y) return 1;
  DropLeadingNumbers(x);
  DropLeadingNumbers(y);
  return x == y ? 1 : 0;
}

int32_t FindWaveDevice(WaveBackend& backend, bool input, const std::string& name, bool showMessage) {
  const std::string key = Key(name);
  if (key.empty()) return 0;
  int32_t id = 0;
  if (ParseWholeNumber(key, id)) return id;
  const std::vector<std::string> names = backend.DeviceNames(DirectionOf(input));
  if (names.empty()) return 0;
  const int32_t found = FindName(names, key);
  if (found >= 0) return found;
  if (showMessage) CenteredMessageBox(std::string(kDeviceNotFound) + "\n" + name, kCritical);
  Log(std::string(kDeviceNotFound) + " " + name);
  return -1;
}

void FillDeviceList(DeviceListModel& list, WaveBackend& backend, bool input, const std::string& name,
                    bool selectFirst) {
  list.entries.clear();
  list.selected = -1;
  for (const std::string& device : backend.DeviceNames(DirectionOf(input)))
    list.entries.push_back(Trim(device));
  if (list.entries.empty()) return;
  const std::string key = Key(name);
  const int32_t found = key.empty() ? -1 : FindName(list.entries, key);
  if (found >= 0) {
    list.selected = found;
  } else if (selectFirst) {
    list.selected = 0;
  }
}

}  // namespace lumora
