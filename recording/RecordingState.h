#pragma once
// The state a take owns, and the state of the recording timer's loop.

#include <array>
#include <cstdint>
#include <string>

#include "recording/DiskWriter.h"
#include "recording/RecFileNaming.h"

namespace lumora {

// The window's controls that recording reads. The window keeps them in step
// with its widgets; lumora-rec fills them from the settings.
struct RecorderControls {
  int32_t CheckUseTH = 0;            // automatic recording (armed takes)
  int32_t CheckSequential = 0;       // numbered files, re-armed after an automatic stop
  int32_t CheckInputMon = 0;         // show the input while not recording
  int32_t CheckModemp3 = 0;          // record MP3 ...
  bool CheckModemp3Enabled = false;  // ... when MP3 is available for the format
  std::string ComboBitRate;          // kbit/s as text
  // HScrollRec: start level dB, end level dB, silence time in tenths of a second.
  std::array<int32_t, 3> HScrollRec{-45, -45, 40};
  std::string DataPath;  // the data folder
  // An armed take keeps the last PreRecTime tenths of a second (0 ... 100) and
  // starts its file with them.
  int32_t PreRecTime = 0;
  // 1: a take goes on in a new file ("-2", "-3", ...) at the file-size limit;
  // 0: it stops there.
  int32_t ContinueAtLimit = 1;
  // A writing take goes on in a new file every SplitMinutes of audio; 0: never.
  int32_t SplitMinutes = 0;
};

struct RecordingState {
  TakeNames names;
  int32_t IsRecording = 0;
  int32_t IsMonitoring = 0;
  int32_t Mp3Mode = 0;
  int32_t Mp3Kbps = 0;
  TakeCounters counters;  // FramesWritten, FramesFlushed
  int64_t TrimFrames = 0;
  int64_t Mp3BytesWritten = 0;
  int64_t Mp3TrimBytes = 0;
  int64_t MaxFramesPerFile = 0;
  int64_t MaxMp3BytesPerFile = 0;  // the byte limit of one MP3 file
  int32_t FramesPerBuffer = 0;
  int32_t armed = 0;
  int32_t writing = 0;
  // Newest device frame of the last loud tick: the cut point keeps moving until
  // the buffer that holds it has been written. -1: none.
  int64_t lastLoudFrame = -1;
  // A write was refused: the take is stopping and nothing more goes to its file.
  bool writeFailed = false;
  // The take is stopping on an error, which was shown.
  bool failed = false;
  // Frames the device could not deliver in this take (the ring was full for
  // longer than it holds); reported as they become known.
  int64_t LostFrames = 0;
  // A take that goes on in further files: the first file's name (the rest are
  // named after it), the number of the current file (1 for the first), and
  // the frames in the take's earlier files.
  std::string FirstFileName;
  int32_t FilePart = 1;
  int64_t FramesBefore = 0;
  // An automatic take's cut point lies in an earlier file: until a loud moment
  // moves it into this one, the stop cuts this file to nothing.
  bool cutBeforeFile = false;
  // The low disk space was told and has not come back since.
  bool diskWarned = false;
};

struct LoopState {
  float TickBudget = 40.0f;   // ms given to the next tick
  double lastTickTime = 0.0;  // monotonic seconds
  bool pendingStart = false;
  bool pendingStop = false;
  int32_t StallCount = 0;
  double SilenceClock = -1.0;   // monotonic seconds of the first quiet tick; -1: not running
  double DiskCheckClock = 0.0;  // monotonic seconds of the last look at the free space
};

}  // namespace lumora
