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
constexpr int32_t kWaveFormatExtensible = 0xFFFE;  // how 24-bit PCM is often written
// MP3 refills stop this many frames short of a take still being recorded: the
// encoder's frames on disk lag the frames it was given.
constexpr int64_t kMp3Margin = 3456;

bool Playable(const WaveFileInfo& info) {
  return (info.formatTag == kWaveFormatPcm || info.formatTag == kWaveFormatExtensible) &&
         info.formatIndex >= 0 && info.formatIndex <= 5;
}

}  // namespace

PlayFileInfo DescribePlayFile(const std::string& path, FileHandle& handle) {
  PlayFileInfo file;
  if (handle == 0) handle = GetFH(path, 0);
  if (handle == 0) {
    file.failure = PlayFailure::kUnreadable;
    return file;
  }
  const WaveFileInfo wav = ReadWaveFileInfo(path, handle);
  if (wav.valid == 1) {
    file.failure = Playable(wav) ? PlayFailure::kNone : PlayFailure::kUnplayable;
    file.format = SampleFormat{wav.sampleRate, wav.bitsPerSample, wav.channels};
    file.dataStart = wav.dataOffset;
    return file;
  }
  file.mp3 = true;
  if (ParseMpegFile(path, 1, handle, file.mpeg) != 1 || file.mpeg.Layer != 3) {
    file.failure = PlayFailure::kUnplayable;
    return file;
  }
  file.format = SampleFormat{file.mpeg.SampleRate, 16, static_cast<int16_t>(file.mpeg.Channels)};
  return file;
}

bool PlayEngine::OpenSource(const std::string& path) {
  path_ = path;
  const PlayFileInfo file = DescribePlayFile(path, file_);
  int32_t ok = 1;
  if (file.failure == PlayFailure::kNone && file.mp3) {
    codec_.AcmClose();
    codec_.DecInit(&file.mpeg, ok);
  }
  if (file.failure != PlayFailure::kNone || ok != 1) {
    Fail(ok != 1 ? PlayFailure::kDecoder : file.failure);
    return false;
  }
  mp3_ = file.mp3;
  format_ = file.format;
  dataStart_ = file.dataStart;
  mpeg_ = file.mpeg;
  framesPerBuffer_ = FramesPerBufferFor(format_, mp3_);
  total_ = mp3_ ? RoundHalfEven(static_cast<double>(mpeg_.DurationMs) * mpeg_.SampleRate / 1000.0) : 0;
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
  if (file_ == 0) return;  // the total stays as it was
  const int64_t onDisk = std::max<int64_t>(FileSizeOf(file_) - dataStart_, 0);
  total_ = std::min<int64_t>(le32toh(size), onDisk) / format_.BlockAlign();
}

bool PlayEngine::MoreToRead() const {
  if (!mp3_) return readPosition_ < total_;
  if (FramesBeingRecorded()) return readPosition_ < total_ - kMp3Margin;
  return mp3Offset_ <= mpeg_.DataEnd;
}

}  // namespace lumora
