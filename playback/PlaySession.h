#pragma once
// What playback needs to know of the rest of the program: which file the play
// button plays, on which device, at which rate the position reads as time, and
// whether that file is still being recorded. The window answers from its
// recorder (RecorderPlaySession); lumora-play from the file it was given.

#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

// The take being recorded now.
struct RunningTake {
  std::string path;
  int64_t frames = 0;           // frames in its file so far (flushed to disk)
  int32_t framesPerBuffer = 0;  // of its capture buffers
};

class PlaySession {
 public:
  virtual ~PlaySession() = default;
  // The file the play button plays (the last take's); empty when there is none.
  virtual std::string LastTakePath() const = 0;
  // The output device chosen by "DeviceOutName"; -1 for the system's default.
  virtual int32_t OutputDevice() const = 0;
  // nFreq: the rate at which a position in frames reads as elapsed time.
  virtual int32_t SampleRate() const = 0;
  // The take being recorded, or nothing while no take runs.
  virtual std::optional<RunningTake> Recording() const = 0;
};

}  // namespace lumora
