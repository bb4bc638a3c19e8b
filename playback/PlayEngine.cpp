// The ring of the playback engine: start, feed, pause and close.

#include "playback/PlayEngine.h"

#include <algorithm>

#include "platform/WaveError.h"
#include "recording/CaptureDevice.h"
#include "support/Rounding.h"

namespace lumora {

PlayEngine::PlayEngine(WaveBackend& devices, const PlaySession& session)
    : devices_(devices), session_(session) {}

PlayEngine::~PlayEngine() { PlayClose(); }

int32_t PlayEngine::PlayStart(const std::string& path, int64_t startFrame, int32_t outputDevice) {
  PlayClose();
  failure_ = PlayFailure::kNone;
  deviceError_ = 0;
  readFailureLogged_ = false;
  if (!OpenSource(path)) return 0;
  deviceError_ = devices_.Open(WaveDirection::kOutput, outputDevice, MakeWaveFormat(format_), device_);
  if (deviceError_ != 0) {
    return Fail(deviceError_ == kWaveBadFormat ? PlayFailure::kUnplayable : PlayFailure::kDevice);
  }
  SetupBuffers();
  readPosition_ = std::max<int64_t>(startFrame, 0);
  if (mp3_) {
    // The frame sync nearest the same share of the data.
    mp3Offset_ =
        readPosition_ == 0 || total_ <= 0
            ? mpeg_.FirstFrame
            : FindFrameSync(path_,
                            RoundHalfEven(static_cast<double>(readPosition_) / total_ * mpeg_.DataLength +
                                          mpeg_.FirstFrame),
                            mpeg_, file_);
  }
  playing_ = true;
  int64_t queued = 0;
  for (int32_t i = 0; i < kPlayBuffers && playing_ && MoreToRead(); ++i) queued += Fill(i);
  // MPEG data of which not one block decodes is no audio at all.
  if (mp3_ && queued == 0 && mpeg_.DataLength > 0 && readPosition_ == 0) return Fail(PlayFailure::kDecoder);
  if (!playing_) return Fail(PlayFailure::kDevice);
  return 1;
}

int32_t PlayEngine::PlayFeed() {
  if (!playing_) return kFeedNotPlaying;
  int64_t played = 0;
  if (const int32_t code = device_->Position(played); code != 0) {
    DeviceFailed(code);
    return kFeedNotPlaying;
  }
  const int32_t i = next_;
  Buffer& buffer = buffers_[static_cast<size_t>(i)];
  if (buffer.busy == 1 || (buffer.header.Flags() & kWaveInQueue) != 0) return kFeedNothing;
  buffer.busy = 1;
  if ((buffer.header.Flags() & kWaveDone) != 0) KeepPlayedCopy(i);
  RefreshTotal();
  const bool more = MoreToRead();
  const int64_t filled = more ? Fill(i) : 0;
  if (buffer.busy == 1) buffer.busy = 0;
  if (!playing_) return kFeedNotPlaying;
  if (filled > 0) {
    next_ = (i + 1) % kPlayBuffers;
    return kFeedRefilled;
  }
  if (more) return kFeedNothing;  // the file has to grow first
  return AnyQueued() ? kFeedEnding : kFeedFinished;
}

void PlayEngine::PlayPause(int32_t resume) {
  if (!device_) return;
  if (const int32_t code = resume != 0 ? device_->Restart() : device_->Pause(); code != 0) DeviceFailed(code);
}

void PlayEngine::PlayClose() {
  playing_ = false;
  if (device_) {
    device_->Reset();
    for (Buffer& buffer : buffers_) device_->Unprepare(buffer.header);
    device_.reset();
  }
  CloseFH(file_);
  codec_.AcmClose();
  readPosition_ = 0;
  mp3Offset_ = 0;
  frames_ = FrameTable{};
}

int64_t PlayEngine::PlayedFrames() const {
  int64_t frames = 0;
  if (!device_ || device_->Position(frames) != 0) return 0;
  return frames;
}

void PlayEngine::SetupBuffers() {
  const size_t bytes = static_cast<size_t>(framesPerBuffer_) * format_.BlockAlign();
  for (Buffer& buffer : buffers_) {
    buffer.first.assign(bytes, 0);
    buffer.second.assign(bytes, 0);
    buffer.work.assign(format_.nBit == 24 ? static_cast<size_t>(framesPerBuffer_) * format_.nCh : 0, 0);
    buffer.header.data = buffer.first.data();
    buffer.header.length = static_cast<int64_t>(bytes);
    buffer.header.flags.store(0);
    buffer.busy = 0;
    device_->Prepare(buffer.header);
  }
  frames_ = FrameTable{};
  counter_ = 0;
  next_ = 0;
}

// The meter now finds the frames just heard in the copy. The done flag is
// cleared so that a buffer left unfilled at the end is not copied again.
void PlayEngine::KeepPlayedCopy(int32_t i) {
  Buffer& buffer = buffers_[static_cast<size_t>(i)];
  FrameRecord& record = frames_[static_cast<size_t>(i)];
  const size_t bytes = static_cast<size_t>(buffer.header.length);
  if (buffer.second.size() < bytes) buffer.second.resize(bytes);
  std::copy_n(buffer.first.begin(), bytes, buffer.second.begin());
  record.secondRange = record.firstRange;
  record.secondData = buffer.second.data();
  buffer.header.flags.fetch_and(~kWaveDone);
}

bool PlayEngine::AnyQueued() const {
  return std::any_of(buffers_.begin(), buffers_.end(),
                     [](const Buffer& buffer) { return (buffer.header.Flags() & kWaveInQueue) != 0; });
}

int32_t PlayEngine::Fail(PlayFailure failure) {
  PlayClose();
  failure_ = failure;
  return 0;
}

// A device that refuses a buffer or its position is gone: playback ends.
void PlayEngine::DeviceFailed(int32_t code) {
  WaveErrorReport(code, true, true);
  deviceError_ = code;
  playing_ = false;
}

}  // namespace lumora
