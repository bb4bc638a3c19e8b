#include <climits>
#include <cstdint>

#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

// The whole number the text begins with (after blanks); 0 when it begins with
// none. Too many digits saturate rather than wrap.
int32_t LeadingNumber(const std::string& text) {
  size_t k = text.find_first_not_of(" \t");
  int64_t value = 0;
  for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) {
    value = value * 10 + (text[k] - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

}  // namespace

void SetupFormat(const FormatSelectors& selectors, WaveBackend& backend, CaptureFormat& capture) {
  capture.inputDevice = FindWaveDevice(backend, true, selectors.inputDevice, false);
  capture.outputDevice = FindWaveDevice(backend, false, selectors.outputDevice, false);
  SampleFormat& format = capture.format;
  format.nFreq = LeadingNumber(selectors.rateText);
  constexpr int16_t kBitsOfIndex[] = {24, 16, 8};
  if (selectors.bitsIndex >= 0 && selectors.bitsIndex <= 2) format.nBit = kBitsOfIndex[selectors.bitsIndex];
  format.nCh = selectors.channelsIndex == 0 ? 2 : 1;
  capture.formatIndex = FormatIndexOf(format.nCh, format.nBit);
  capture.record = MakeWaveFormat(format);
}

}  // namespace lumora
