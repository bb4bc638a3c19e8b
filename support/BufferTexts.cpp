// Texts from fixed-size buffers and bit patterns.
#include "support/FileSystem.h"
#include "support/PlainText.h"

namespace lumora {

std::string CutAtNull(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  return trimmed.substr(0, trimmed.find('\0'));
}

std::string ByteToBitText(uint8_t value) {
  std::string bits;
  for (int bit = 7; bit >= 0; --bit) bits += (value >> bit) & 1 ? '1' : '0';
  return bits;
}

}  // namespace lumora
