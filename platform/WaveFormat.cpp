#include <algorithm>
#include <iterator>

#include "platform/WaveDevice.h"
#include "platform/WaveError.h"

namespace lumora {

WaveFormat MakeWaveFormat(const SampleFormat& format) {
  WaveFormat record;
  record.channels = format.nCh;
  record.samplesPerSec = format.nFreq;
  record.bitsPerSample = format.nBit;
  record.blockAlign = static_cast<int16_t>(format.BlockAlign());
  record.avgBytesPerSec = format.nFreq * record.blockAlign;
  return record;
}

int32_t CheckWaveFormat(const WaveFormat& format) {
  const bool knownRate =
      std::find(std::begin(kWaveRates), std::end(kWaveRates), format.samplesPerSec) != std::end(kWaveRates);
  const int32_t bits = format.bitsPerSample;
  const bool valid = format.formatTag == 1 && (bits == 8 || bits == 16 || bits == 24) &&
                     (format.channels == 1 || format.channels == 2) && knownRate &&
                     format.blockAlign == bits / 8 * format.channels &&
                     format.avgBytesPerSec == format.blockAlign * format.samplesPerSec;
  return valid ? kWaveNoError : kWaveBadFormat;
}

}  // namespace lumora
