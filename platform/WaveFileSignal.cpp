// A WAV file as a live input: the file's frames on the timeline, silence after.

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

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
    std::memset(out, format.bitsPerSample == 8 ? 0x80 : 0, static_cast<size_t>(count * blockAlign));
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min(first + count, frames_);
    if (to <= from) return;
    // The handle stays open between blocks; a failed read closes it and the
    // next block opens the file again (the block itself stays silent).
    handle_ = ReadAt(out + (from - first) * blockAlign, (to - from) * blockAlign,
                     dataOffset_ + from * blockAlign, handle_, path_, 0);
  }

 private:
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
