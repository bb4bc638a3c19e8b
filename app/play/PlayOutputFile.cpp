#include "app/play/PlayOutputFile.h"

namespace lumora::play {

namespace {
constexpr int64_t kStageSeconds = 3;
}

bool PlayOutputFile::Open(const std::string& path, const SampleFormat& format) {
  path_ = path;
  writer_.Setup(kStageSeconds * format.nFreq * format.BlockAlign(), true);
  failed_ = writer_.OpenFile(path, false, format) != TakeClaim::kClaimed;
  return !failed_;
}

void PlayOutputFile::Append(const uint8_t* bytes, int64_t count) {
  if (!failed_ && writer_.WriteDiskBuffer(bytes, count, path_, 0) != 1) failed_ = true;
}

bool PlayOutputFile::Close() {
  if (!failed_ && writer_.WriteDiskBuffer(nullptr, 0, "", 1) != 1) failed_ = true;
  writer_.CloseFile(false);
  return !failed_;
}

}  // namespace lumora::play
