// A WAV file as a live input: the file's frames on the timeline, silence after.

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/FileHandle.h"
#include "formats/Wav.h"
#include "platform/SignalSource.h"
#include "platform/WaveError.h"

namespace lumora {
namespace {

class WaveFileSignal final : public SignalSource {
 public:
  WaveFileSignal(std::string path, const WaveFileInfo& info)
      : path_(std::move(path)), format_(FormatOf(info)), dataOffset_(info.dataOffset) {
    // A file cut short claims more frames in its header than it holds.
    const int64_t present = std::max<int64_t>(0, info.fileSize - info.dataOffset) / info.blockAlign;
    frames_ = std::min<int64_t>(info.frames, present);
  }
  ~WaveFileSignal() override { CloseFH(handle_); }
  WaveFileSignal(const WaveFileSignal&) = delete;
  WaveFileSignal& operator=(const WaveFileSignal&) = delete;

  int32_t CheckFormat(const WaveFormat& format) const override {
    const bool same = format.samplesPerSec == format_.samplesPerSec && format.channels == format_.channels &&
                      format.bitsPerSample == format_.bitsPerSample;
    return same && CheckWaveFormat(format_) == 0 ? 0 : kWaveBadFormat;
  }

  WaveFormat PreferredFormat() const override { return format_; }
  int64_t Length(const WaveFormat&) const override { return frames_; }

  void Render(int64_t first, int64_t count, const WaveFormat& format, uint8_t* out) override {
    const int64_t blockAlign = format.blockAlign;
    const int64_t from = std::min(std::max<int64_t>(first, 0), first + count);
    const int64_t to = std::clamp<int64_t>(frames_, from, first + count);
    const int silence = format.bitsPerSample == 8 ? 0x80 : 0;
    std::memset(out, silence, static_cast<size_t>((from - first) * blockAlign));
    int64_t f = from;
    while (f < to && (Cached(f) || Fill(f, blockAlign))) {
      const int64_t n = std::min(to, chunkFirst_ + chunkFrames_) - f;
      std::memcpy(out + (f - first) * blockAlign, chunk_.data() + (f - chunkFirst_) * blockAlign,
                  static_cast<size_t>(n * blockAlign));
      f += n;
    }
    std::memset(out + (f - first) * blockAlign, silence, static_cast<size_t>((first + count - f) * blockAlign));
  }

 private:
  bool Cached(int64_t f) const { return f >= chunkFirst_ && f < chunkFirst_ + chunkFrames_; }

  // Reads ahead a large chunk from frame f: a block at a time would cost two
  // system calls per 40 ms of input. The handle stays open between chunks; a
  // failed read closes it (the rest of the block stays silent) and the next
  // block opens the file again.
  bool Fill(int64_t f, int64_t blockAlign) {
    const int64_t frames = std::min(kChunkBytes / blockAlign, frames_ - f);
    chunk_.resize(static_cast<size_t>(frames * blockAlign));
    handle_ = ReadAt(chunk_.data(), frames * blockAlign, dataOffset_ + f * blockAlign, handle_, path_, 0);
    chunkFirst_ = f;
    chunkFrames_ = handle_ != 0 ? frames : 0;
    return chunkFrames_ > 0;
  }

  static WaveFormat FormatOf(const WaveFileInfo& info) {
    WaveFormat format;
    format.channels = info.channels;
    format.samplesPerSec = info.sampleRate;
    format.bitsPerSample = info.bitsPerSample;
    format.blockAlign = static_cast<int16_t>(info.blockAlign);
    format.avgBytesPerSec = info.blockAlign * info.sampleRate;
    // Extensible PCM (0xFFFE) carries the same samples as plain PCM.
    format.formatTag =
        info.formatTag == 1 || info.formatTag == 0xFFFE ? 1 : static_cast<int16_t>(info.formatTag);
    return format;
  }

  std::string path_;
  WaveFormat format_;
  int64_t dataOffset_;
  int64_t frames_ = 0;
  FileHandle handle_ = 0;
  static constexpr int64_t kChunkBytes = 1 << 20;
  std::vector<uint8_t> chunk_;
  int64_t chunkFirst_ = 0;
  int64_t chunkFrames_ = 0;
};

}  // namespace

std::unique_ptr<SignalSource> OpenWaveFileSource(const std::string& path, int32_t& error) {
  // Only a regular file: opening a pipe without a writer would wait for ever.
  struct stat st {};
  const bool regular = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const WaveFileInfo info = regular ? ReadWaveFileInfo(path) : WaveFileInfo{};
  if (info.valid != 1 || info.blockAlign <= 0) {
    error = kWaveSourceUnreadable;
    return nullptr;
  }
  error = 0;
  return std::make_unique<WaveFileSignal>(path, info);
}

}  // namespace lumora
