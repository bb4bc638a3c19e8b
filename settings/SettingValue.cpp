#include "settings/SettingValue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "settings/TextRules.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

// from_chars takes no "+" sign; a stored "+3" still means 3.
std::string_view NumberText(const std::string& text) {
  std::string_view number = TrimSpaces(text);
  if (number.starts_with('+')) number.remove_prefix(1);
  return number;
}

template <typename Number>
std::optional<Number> ParseFloating(const std::string& text) {
  const std::string_view number = NumberText(text);
  Number value{};
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

template <typename Whole>
std::optional<Whole> ParseWholeOf(const std::string& text) {
  const std::optional<double> value = ParseFloating<double>(text);
  if (!value) return std::nullopt;
  const double rounded = static_cast<double>(RoundHalfEven(std::clamp(*value, -1e18, 1e18)));
  if (rounded < std::numeric_limits<Whole>::min() || rounded > std::numeric_limits<Whole>::max()) {
    return std::nullopt;
  }
  return static_cast<Whole>(rounded);
}

}  // namespace

std::optional<int32_t> ParseWhole(const std::string& text) { return ParseWholeOf<int32_t>(text); }
std::optional<int16_t> ParseShort(const std::string& text) { return ParseWholeOf<int16_t>(text); }
std::optional<float> ParseDecimal(const std::string& text) { return ParseFloating<float>(text); }

bool ConvertsTo(const std::string& text, SettingType type) {
  switch (type) {
    case SettingType::kWhole:
      return ParseWhole(text).has_value();
    case SettingType::kShort:
      return ParseShort(text).has_value();
    case SettingType::kDecimal:
      return ParseDecimal(text).has_value();
    case SettingType::kText:
      break;
  }
  return true;
}

std::string FormatDecimal(float value) {
  if (value == 0.0f) return "0";  // no "-0" from a slider at its centre
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace lumora
