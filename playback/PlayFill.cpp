// Refilling one buffer of the ring: PCM read straight from the file, MP3
// decoded one block of whole MPEG frames at a time; then the play level, and
// the buffer goes to the device.

#include <algorithm>
#include <cstring>

#include "meters/ApplyGain.h"
#include "playback/PlayEngine.h"
#include "support/Log.h"

namespace lumora {
namespace {

constexpr int64_t kMp3ChunkFrames = 3456;  // three MPEG frames of 1152 samples
// A rest of the file shorter than one buffer's MPEG data and this much is
// taken whole as the last block, however few frames it holds.
constexpr int64_t kMp3TailSlack = 200;

}  // namespace

int64_t PlayEngine::Fill(int32_t i) { return mp3_ ? FillMp3Buffer(i) : FillPcmBuffer(i); }

int64_t PlayEngine::FillPcmBuffer(int32_t i) {
  const int64_t p = std::max<int64_t>(readPosition_, 0);
  const int64_t n = std::min<int64_t>(framesPerBuffer_, total_ - p);
  if (n < 1) return 0;
  Buffer& buffer = buffers_[static_cast<size_t>(i)];
  const int64_t blockAlign = format_.BlockAlign();
  ReadSamples(buffer.first.data(), n * blockAlign, dataStart_ + p * blockAlign);
  ApplyPlaybackGain(buffer, n);
  readPosition_ = p + Queue(i, n);
  return n;
}

// Reads the samples; what cannot be read (a failing disk, a file cut short
// behind our back) is silence, not the sound the buffer held a lap ago.
void PlayEngine::ReadSamples(uint8_t* destination, int64_t bytes, int64_t offset) {
  if (file_ == 0) file_ = GetFH(path_, 0);
  const int64_t available = file_ == 0 ? 0 : std::clamp<int64_t>(FileSizeOf(file_) - offset, 0, bytes);
  if (available > 0) file_ = ReadAt(destination, available, offset, file_, path_, 0);
  const int64_t got = file_ == 0 ? 0 : available;
  if (got < bytes) {
    std::memset(destination + got, format_.nBit == 8 ? 0x80 : 0, static_cast<size_t>(bytes - got));
    if (!readFailureLogged_) Log("Play Read Error " + path_ + " at " + std::to_string(offset + got), 1);
    readFailureLogged_ = true;
  }
}

// Unity gain leaves every format as read: for 24 bit an unpack and repack
// would give the same bytes, and the meter reads the packed samples anyway.
void PlayEngine::ApplyPlaybackGain(Buffer& buffer, int64_t frames) {
  if (PlaybackGain[0] == 1.0f && PlaybackGain[1] == 1.0f) return;
  ApplyGain(buffer.first, buffer.first, frames, format_, PlaybackGain, buffer.work);
}

// MP3: the next block of whole frames from the MP3 read offset. A block that
// does not decode is passed over (the decoder opened afresh), so a damaged
// frame costs its block and playback goes on behind it.
int64_t PlayEngine::FillMp3Buffer(int32_t i) {
  Buffer& buffer = buffers_[static_cast<size_t>(i)];
  const int64_t blockAlign = format_.BlockAlign();
  for (;;) {
    int64_t bytes = 0;
    if (!ReadMp3Block(bytes)) return 0;
    if (bytes == 0) continue;  // unreadable: passed over like a damaged block
    int64_t produced = 0;
    int32_t ok = 0;
    codec_.DecProc(mp3Block_.data(), bytes, pcm_, produced, ok);
    if (ok != 1) {
      Log("Play Decode Error " + path_ + " at " + std::to_string(mp3Offset_ - bytes), 1);
      codec_.DecInit(&mpeg_, ok);
      continue;
    }
    const int64_t frames = produced / blockAlign;
    if (frames < 1) continue;
    if (static_cast<int64_t>(buffer.first.size()) < frames * blockAlign) {
      buffer.first.resize(static_cast<size_t>(frames * blockAlign));
    }
    std::memcpy(buffer.first.data(), pcm_.data(), static_cast<size_t>(frames * blockAlign));
    ApplyPlaybackGain(buffer, frames);
    readPosition_ += Queue(i, frames);
    return frames;
  }
}

// Reads the block at the MP3 read offset and moves the offset behind it. The
// block ends where the next frame starts, so it holds whole frames; the rest of
// a file that is shorter than a block (and a little) is one block. False when
// no byte is left; bytes 0 when the block could not be read.
bool PlayEngine::ReadMp3Block(int64_t& bytes) {
  if (FramesBeingRecorded() || mpeg_.DataEnd == mpeg_.FileSize) {
    // A file without a trailing tag may be growing: its data ends with it.
    if (file_ == 0) file_ = GetFH(path_, 0);
    mpeg_.FileSize = std::max<int64_t>(FileSizeOf(file_), 0);
    mpeg_.DataEnd = mpeg_.FileSize;
    mpeg_.DataLength = mpeg_.DataEnd - mpeg_.FirstFrame + 1;
  }
  const int64_t perBuffer = int64_t{mpeg_.ChunkBytes} * (framesPerBuffer_ / kMp3ChunkFrames);
  const int64_t rest = mpeg_.DataEnd - mp3Offset_ + 1;
  if (rest <= 0 || perBuffer <= 0) return false;
  bytes = rest;
  if (rest >= perBuffer + kMp3TailSlack) {
    const int64_t end = FindFrameSync(path_, mp3Offset_ + perBuffer - 10, mpeg_, file_);
    // No frame start near the cut (damaged data): a plain cut, so that a block
    // never grows beyond one buffer's worth.
    bytes = end <= mpeg_.DataEnd ? end - mp3Offset_ : perBuffer;
  }
  mp3Block_.resize(static_cast<size_t>(bytes));
  if (file_ == 0) file_ = GetFH(path_, 0);
  file_ = ReadAt(mp3Block_.data(), bytes, mp3Offset_ - 1, file_, path_, 0);
  mp3Offset_ += bytes;
  if (file_ == 0) {
    Log("Play Read Error " + path_ + " at " + std::to_string(mp3Offset_ - bytes), 1);
    bytes = 0;
  }
  return true;
}

int64_t PlayEngine::Queue(int32_t i, int64_t frames) {
  Buffer& buffer = buffers_[static_cast<size_t>(i)];
  FrameRecord& record = frames_[static_cast<size_t>(i)];
  buffer.header.data = buffer.first.data();
  buffer.header.length = frames * format_.BlockAlign();
  record.firstRange = {counter_, counter_ + frames - 1};
  record.firstData = buffer.first.data();
  counter_ += frames;
  buffer.busy = 2;
  if (const int32_t code = device_->Queue(buffer.header); code != 0) DeviceFailed(code);
  return frames;
}

}  // namespace lumora
