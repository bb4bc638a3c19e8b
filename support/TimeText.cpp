#include "support/TimeText.h"

namespace lumora {

std::string ZeroPad(int64_t value, int32_t digits) {
  const bool negative = value < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string text = std::to_string(magnitude);
  if (static_cast<int64_t>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return negative ? "-" + text : text;
}

}  // namespace lumora
