// What the engine plays: the file's format, where its samples start and how
// many frames it holds, which grows while its take is being recorded.

#include <endian.h>

#include <algorithm>

#include "formats/Wav.h"
#include "playback/PlayEngine.h"
#include "recording/TakeFormat.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

constexpr int32_t kWaveFormatPcm = 1;
constexpr int32_t kWaveFormatExtensible = 0xFFFE;  // PCM of 24 bit is often written so
// MP3 refills stop this many frames short of a take still being recorded: the
// encoder's frames on disk lag the frames it was given.
constexpr int64_t kMp3Margin = 3456;

bool Playable(const WaveFileInfo& info) {
  return (info.formatTag == kWaveFormatPcm || info.formatTag == kWaveFormatExtensible) &&
         info.formatIndex >= 0 && info.formatIndex <= 5;
}

}  // namespace

bool PlayEngine::Refuse(PlayFailure failure) {
  Fail(failure);
  return false;
}

bool PlayEngine::OpenSource(const std::string& path) {
  path_ = path;
  file_ = GetFH(path, 0);
  if (file_ == 0) return Refuse(PlayFailure::kUnreadable);
  const WaveFileInfo info = ReadWaveFileInfo(path, file_);
  if (info.valid == 1) {
    if (!Playable(info)) return Refuse(PlayFailure::kUnplayable);
    mp3_ = false;
    format_ = SampleFormat{info.sampleRate, info.bitsPerSample, info.channels};
    dataStart_ = info.dataOffset;
    framesPerBuffer_ = FramesPerBufferFor(format_, false);
    RefreshTotal();
    return true;
  }
  return OpenMp3Source();
}

bool PlayEngine::OpenMp3Source() {
  if (file_ == 0) file_ = GetFH(path_, 0);
  if (ParseMpegFile(path_, 1, file_, mpeg_) != 1 || mpeg_.Layer != 3) return Refuse(PlayFailure::kUnplayable);
  int32_t ok = 0;
  codec_.AcmClose();
  codec_.DecInit(&mpeg_, ok);
  if (ok != 1) return Refuse(PlayFailure::kDecoder);
  mp3_ = true;
  format_ = SampleFormat{mpeg_.SampleRate, 16, static_cast<int16_t>(mpeg_.Channels)};
  framesPerBuffer_ = FramesPerBufferFor(format_, true);
  total_ = RoundHalfEven(static_cast<double>(mpeg_.DurationMs) * mpeg_.SampleRate / 1000.0);
  RefreshTotal();
  return true;
}

std::optional<int64_t> PlayEngine::FramesBeingRecorded() const {
  const std::optional<RunningTake> take = session_.Recording();
  if (!take || take->path != path_) return std::nullopt;
  return take->frames;
}

// While the take runs, its frames; afterwards a WAV file's data size in whole
// frames, never more than the file holds (a cut file does not play silence past
// its end).
void PlayEngine::RefreshTotal() {
  if (const std::optional<int64_t> recorded = FramesBeingRecorded()) {
    total_ = *recorded;
    return;
  }
  if (mp3_) return;
  uint32_t size = 0;
  file_ = ReadAt(&size, 4, dataStart_ - 4, file_, path_, 0);
  const int64_t onDisk = std::max<int64_t>(FileSizeOf(file_) - dataStart_, 0);
  if (file_ == 0) return;  // the total stays as it was
  const int64_t bytes = std::min<int64_t>(le32toh(size), onDisk);
  total_ = bytes / format_.BlockAlign();
}

bool PlayEngine::MoreToRead() const {
  if (!mp3_) return readPosition_ < total_;
  if (FramesBeingRecorded()) return readPosition_ < total_ - kMp3Margin;
  return mp3Offset_ <= mpeg_.DataEnd;
}

}  // namespace lumora
