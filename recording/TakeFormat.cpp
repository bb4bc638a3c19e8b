#include "recording/TakeFormat.h"

#include "support/Rounding.h"

namespace lumora {

int32_t FramesPerBufferFor(const SampleFormat& format, bool mp3Mode) {
  if (!mp3Mode) return static_cast<int32_t>(RoundHalfEven(format.nFreq / 10.0));
  return ((format.nFreq / 10) / 3456 + 1) * 3456;
}

int64_t MaxFramesPerFileFor(const SampleFormat& format) {
  return 4294967295LL / format.BlockAlign() - 10LL * format.nFreq;
}

int64_t MaxMp3BytesPerFileFor(int32_t mp3Kbps) { return 4294967295LL - 1250LL * mp3Kbps * 10; }

int64_t BytesPerSecondFor(const SampleFormat& format, bool mp3Mode, int32_t mp3Kbps) {
  if (mp3Mode) return 125LL * mp3Kbps;
  return static_cast<int64_t>(format.BlockAlign()) * format.nFreq;
}

int64_t StageCapacityFor(const SampleFormat& format, bool mp3Mode, int32_t mp3Kbps) {
  return 3 * BytesPerSecondFor(format, mp3Mode, mp3Kbps);
}

}  // namespace lumora
