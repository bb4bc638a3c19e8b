#pragma once
// The playback engine: a WAV or MP3 file played on a wave-output device from a
// chosen frame, through a ring of 50 buffers that the timer keeps refilled (one
// buffer per PlayFeed). MP3 is decoded block by block, each block whole MPEG
// frames. The play level is applied as a software gain. When the device has
// played a buffer, its samples are copied aside with their frame range, so the
// playback meter reads what is being heard (Frames()).
//
// A file that is still being recorded plays too: while its take runs, the
// frames it holds come from the take (PlaySession::Recording), not from its
// header.
//
// Frame numbers of the ring (Frames(), PlayedFrames()) count the frames queued
// since PlayStart, the scale of the device position; the file's own frame is
// the start frame plus that.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/FileHandle.h"
#include "formats/Mp3acm.h"
#include "formats/Mpeg.h"
#include "meters/FrameTable.h"
#include "platform/WaveDevice.h"
#include "playback/PlayFile.h"
#include "playback/PlaySession.h"
#include "support/SampleFormat.h"

namespace lumora {

constexpr int32_t kPlayBuffers = kRingBuffers;  // 50

// Results of PlayFeed.
enum PlayFeedResult : int32_t {
  kFeedRefilled = 1,     // a buffer was refilled and queued
  kFeedNothing = -1,     // nothing to do on this tick
  kFeedNotPlaying = -2,  // closed, or the device failed
  kFeedEnding = -3,      // the source is exhausted; buffers are still playing
  kFeedFinished = -4,    // the source is exhausted and every buffer played
};

class PlayEngine {
 public:
  PlayEngine(WaveBackend& devices, const PlaySession& session);
  ~PlayEngine();
  PlayEngine(const PlayEngine&) = delete;
  PlayEngine& operator=(const PlayEngine&) = delete;

  // PlaybackGain (left, right): DbToLin(LevelSlider(1) / 10); 1.0 at start.
  // Read by every refill, so a change is heard about five seconds later.
  std::array<float, 2> PlaybackGain{1.0f, 1.0f};

  // Opens the file, the decoder (MP3) and output device `outputDevice` (-1:
  // the default) in the file's own format, and queues the first buffers from
  // `startFrame`. 1 when playing; 0 when not (Failure() says why), with the
  // file and device closed. A start at or past the end plays nothing and
  // finishes on the first feed.
  int32_t PlayStart(const std::string& path, int64_t startFrame, int32_t outputDevice);
  // Once per timer tick: copies the buffer the device has just played aside for
  // the meter and refills it. Returns a PlayFeedResult.
  int32_t PlayFeed();
  // Holds (resume 0) or resumes (non-zero) the device without losing the place.
  void PlayPause(int32_t resume);
  // Stops and closes the device and the file; harmless when closed.
  void PlayClose();

  bool Playing() const { return playing_; }
  PlayFailure Failure() const { return failure_; }
  int32_t DeviceError() const { return deviceError_; }
  // The format played (the file's); MP3 plays as 16 bit.
  const SampleFormat& Format() const { return format_; }
  // Frames of the source (the take's while it is being recorded).
  int64_t TotalFrames() const { return total_; }
  // The source frame from which the next buffer is filled.
  int64_t ReadPosition() const { return readPosition_; }
  // Frames the device has played since PlayStart; 0 when closed.
  int64_t PlayedFrames() const;
  // The ring's frame ranges and data, for the playback side of the level scan.
  const FrameTable& Frames() const { return frames_; }

 private:
  struct Buffer {
    std::vector<uint8_t> first;   // the samples queued to the device
    std::vector<uint8_t> second;  // a copy of them once played
    std::vector<int32_t> work;    // 24 bit: the samples as integers while scaled
    WaveHeader header;
    int32_t busy = 0;  // 0 idle, 1 being refilled, 2 queued
  };

  // Source (PlaySource.cpp).
  bool OpenSource(const std::string& path);
  void RefreshTotal();
  bool MoreToRead() const;
  // Frames in the file while its take is being recorded; nothing otherwise.
  std::optional<int64_t> FramesBeingRecorded() const;
  // Fills (PlayFill.cpp): frames queued, 0 when nothing could be.
  int64_t Fill(int32_t i);
  int64_t FillPcmBuffer(int32_t i);
  int64_t FillMp3Buffer(int32_t i);
  bool ReadMp3Block(int64_t& bytes);
  void ReadSamples(uint8_t* destination, int64_t bytes, int64_t offset);
  void ApplyPlaybackGain(Buffer& buffer, int64_t frames);
  int64_t Queue(int32_t i, int64_t frames);
  // Ring (PlayEngine.cpp).
  void SetupBuffers();
  void KeepPlayedCopy(int32_t i);
  bool AnyQueued() const;
  int32_t Fail(PlayFailure failure);
  void DeviceFailed(int32_t code);

  WaveBackend& devices_;
  const PlaySession& session_;
  std::array<Buffer, kPlayBuffers> buffers_;
  FrameTable frames_{};
  std::string path_;
  FileHandle file_ = 0;
  bool mp3_ = false;
  SampleFormat format_;
  int32_t framesPerBuffer_ = 0;
  int64_t dataStart_ = 0;
  int64_t total_ = 0;
  int64_t readPosition_ = 0;
  int64_t mp3Offset_ = 0;  // 1-based position of the next undecoded MPEG byte
  int64_t counter_ = 0;    // frames queued since the open
  int32_t next_ = 0;
  MpegInfo mpeg_;
  C_mp3acm codec_;
  std::vector<uint8_t> mp3Block_;
  std::vector<uint8_t> pcm_;
  bool playing_ = false;
  bool readFailureLogged_ = false;
  PlayFailure failure_ = PlayFailure::kNone;
  int32_t deviceError_ = 0;
  // Declared last: destroyed first, while the headers it may hold still exist.
  std::unique_ptr<WaveDevice> device_;
};

}  // namespace lumora
