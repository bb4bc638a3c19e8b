// Whole-file conversions between WAV and MP3, block by block, with progress and
// cancellation.

#include <algorithm>
#include <utility>

#include "formats/Mp3acm.h"
#include "formats/MpegFileReader.h"
#include "support/FileSystem.h"
#include "support/Log.h"

namespace lumora {
namespace {

constexpr int64_t kEncodeBlockFrames = 128 * 3456;  // PCM frames per step of WAV -> MP3
constexpr int64_t kDecodeBlockFrames = 64;          // MPEG frames per step of MP3 -> WAV
// A rest shorter than a block and this much is read whole instead of cut at a frame.
constexpr int64_t kDecodeTailSlack = 200;

// Appends n bytes to the file, opening it on first use and keeping the handle.
bool Append(const std::string& path, FileHandle& handle, const uint8_t* data, int64_t n) {
  handle = WriteMemToFileEX(data, n, -1, handle, path, 0);
  return handle != 0;
}

}  // namespace

void C_mp3acm::EncFromWavfile(const std::string& wavPath, const std::string& mp3Path, int32_t kbps,
                              int32_t& ok) {
  ok = 0;
  canceled_ = 0;
  const WaveFileInfo info = ReadWaveFileInfo(wavPath);
  int32_t opened = 0;
  if (info.valid == 1) EncInit(kbps, &info, opened);
  if (opened == 1) {
    // Blocks of a whole file end with a shorter one, which the fixed-size rule
    // of the recorder's hand-off would refuse.
    const int32_t sizeFixed = std::exchange(encSizeFixed_, 0);
    FileDelete(mp3Path);
    ok = EncodeWavData(wavPath, mp3Path, info) ? 1 : 0;
    encSizeFixed_ = sizeFixed;
    if (ok == 0) FileDelete(mp3Path);
  }
  AcmClose();
}

bool C_mp3acm::EncodeWavData(const std::string& wavPath, const std::string& mp3Path,
                             const WaveFileInfo& info) {
  FileHandle input = 0;
  MpegFileReader reader(wavPath, input);
  OwnedFileHandle output;
  if (!Append(mp3Path, output.value, nullptr, 0)) {
    Log("Write Error " + mp3Path, 1);
    return false;
  }
  std::vector<uint8_t> pcm;
  std::vector<uint8_t> mp3;
  int64_t produced = 0;
  int32_t done = 0;
  const int64_t total = info.frames;
  for (int64_t first = 1; first <= total; first += kEncodeBlockFrames) {
    RaiseProgress(static_cast<double>(first) / total);
    const int64_t frames = std::min(kEncodeBlockFrames, total - first + 1);
    if (!reader.Read(info.dataOffset + (first - 1) * info.blockAlign, frames * info.blockAlign, pcm)) {
      Log("Read Error " + wavPath, 1);
      return false;
    }
    int64_t used = 0;
    EncProc(pcm.data(), static_cast<int64_t>(pcm.size()), mp3, used, produced, done);
    if (done != 1) {
      Log("EncProc Failed", 1);
      return false;
    }
    if (produced > 0 && !Append(mp3Path, output.value, mp3.data(), produced)) {
      Log("Write Error " + mp3Path, 1);
      return false;
    }
    if (produced == 0) Log("Encode " + std::to_string(frames) + "#" + mp3Path);
    if (canceled_ != 0) {
      Log("Canceled#" + mp3Path);
      return false;
    }
  }
  // The encoder still holds the last frames.
  EncFlush(mp3, produced, done);
  if (done != 1 || !Append(mp3Path, output.value, mp3.data(), produced)) {
    Log("Write Error " + mp3Path, 1);
    return false;
  }
  return true;
}

void C_mp3acm::DecFrommp3file(const std::string& mp3Path, const std::string& wavPath, int32_t& ok) {
  ok = 0;
  canceled_ = 0;
  MpegInfo info;
  int32_t opened = 0;
  if (ParseMpegFile(mp3Path, 0, info) == 1) DecInit(&info, opened);
  // An existing WAV file is replaced only once the MP3 file is known to be readable.
  if (opened == 1) {
    FileDelete(wavPath);
    ok = DecodeMpegData(mp3Path, wavPath, info) ? 1 : 0;
    if (ok == 0) FileDelete(wavPath);
  }
  AcmClose();
}

bool C_mp3acm::DecodeMpegData(const std::string& mp3Path, const std::string& wavPath, const MpegInfo& info) {
  OwnedFileHandle output;
  if (WriteWavHeader(wavPath, output.value, info.SampleRate, 16, info.Channels, 0) != 1) {
    Log("Write Error " + wavPath, 1);
    return false;
  }
  // One handle serves the block reads and the frame search.
  OwnedFileHandle input;
  input.value = GetFH(mp3Path, 0);
  MpegFileReader reader(mp3Path, input.value);
  const int64_t blockLength = int64_t{decBlockSize_} * kDecodeBlockFrames;
  std::vector<uint8_t> mp3;
  std::vector<uint8_t> pcm;
  for (int64_t position = info.FirstFrame; position < info.DataEnd;) {
    RaiseProgress(static_cast<double>(position) / info.DataEnd);
    // Blocks end at a frame start, so each one holds whole frames.
    const int64_t end = info.DataEnd - position + 1 < blockLength + kDecodeTailSlack
                            ? info.DataEnd + 1
                            : FindFrameSync(mp3Path, position + blockLength - 10, info, input.value);
    if (!reader.Read(position - 1, end - position, mp3)) {
      Log("Read Error " + mp3Path, 1);
      return false;
    }
    position = end;
    int64_t produced = 0;
    int32_t done = 0;
    DecProc(mp3.data(), static_cast<int64_t>(mp3.size()), pcm, produced, done);
    if (done != 1) return false;
    if (produced > 0 && !Append(wavPath, output.value, pcm.data(), produced)) {
      Log("Write Error " + wavPath, 1);
      return false;
    }
    if (canceled_ != 0) {
      Log("Canceled#" + wavPath);
      return false;
    }
  }
  return TrimRiff(wavPath, output.value) == 1;
}

}  // namespace lumora
