#pragma once
// Conversions between stored setting texts and the reader's types. Stored
// numbers are decimal texts; a text that is not a number of the wanted type
// (letters, out of range, "nan", "inf") converts to nothing, and the typed
// readers then use the default instead of failing.

#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

enum class SettingType { kWhole, kShort, kDecimal, kText };

// A whole number of the type's range. Surrounding spaces and a leading "+" are
// accepted; a fraction ("44100.0", "2.5") rounds half to even.
std::optional<int32_t> ParseWhole(const std::string& text);
std::optional<int16_t> ParseShort(const std::string& text);
// A finite single-precision number ("1.0", "-20.0", "1e3").
std::optional<float> ParseDecimal(const std::string& text);

// True when text converts to type (any text converts to kText).
bool ConvertsTo(const std::string& text, SettingType type);

// The shortest decimal text that reads back as the same float: 1440 -> "1440",
// -3.5 -> "-3.5", 0.1f -> "0.1".
std::string FormatDecimal(float value);

}  // namespace lumora
