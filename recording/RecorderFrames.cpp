// Frames into the take's files: the pre-record of an armed take, then every
// buffer, in pieces the staging takes.

#include <algorithm>
#include <limits>
#include <new>

#include "recording/Recorder.h"
#include "platform/WaveError.h"
#include "support/Log.h"
#include "support/Rounding.h"

namespace lumora {

// Sized at the start of every take, so it never holds audio of another.
bool Recorder::SetupPreRecord() {
  const int64_t frames =
      controls.CheckUseTH == 1 ? static_cast<int64_t>(RoundHalfEven(controls.PreRecTime * capture_.format.nFreq / 10.0))
                               : 0;
  try {
    preRecord_.Setup(frames, capture_.format.BlockAlign());
  } catch (const std::bad_alloc&) {
    preRecord_.Setup(0, capture_.format.BlockAlign());
    WaveErrorReport(kWaveNoMemory, false, false);
    return false;
  }
  return true;
}

// The take reached its start level: what it heard before goes first.
bool Recorder::WritePreRecorded() {
  const auto pieces = preRecord_.Pieces();
  preRecord_.Clear();
  const int32_t blockAlign = capture_.format.BlockAlign();
  for (const auto& piece : pieces) {
    if (!WriteFrames(piece.data(), static_cast<int64_t>(piece.size()) / blockAlign)) return false;
  }
  return true;
}

// Never more than a buffer at once: the staging holds whole buffers only.
bool Recorder::WriteFrames(const uint8_t* pcm, int64_t frames) {
  const int64_t blockAlign = capture_.format.BlockAlign();
  while (frames > 0) {
    if (FileFull() && !NextFile()) return false;
    const int64_t piece = std::min({frames, int64_t{state_.FramesPerBuffer}, FileRoom()});
    const int64_t bytes = piece * blockAlign;
    state_.counters.FramesWritten += piece;
    const bool accepted = state_.Mp3Mode ? EncodeAndStage(pcm, bytes)
                                         : writer_.WriteDiskBuffer(pcm, bytes, state_.names.RecFileName, 0) == 1;
    if (!accepted) return false;
    pcm += bytes;
    frames -= piece;
  }
  return true;
}

// Frames the current file takes before the take goes on in the next: up to a
// split, and with ContinueAtLimit up to the WAV size limit.
int64_t Recorder::FileRoom() const {
  int64_t end = std::numeric_limits<int64_t>::max();
  if (controls.SplitMinutes > 0) end = int64_t{controls.SplitMinutes} * 60 * capture_.format.nFreq;
  if (controls.ContinueAtLimit == 1 && state_.Mp3Mode == 0) end = std::min(end, state_.MaxFramesPerFile);
  return end - state_.counters.FramesWritten;
}

// An MP3 file ends at the first buffer past its byte limit, which leaves ten
// seconds of margin below 4 GiB.
bool Recorder::FileFull() const {
  const bool mp3Full = controls.ContinueAtLimit == 1 && state_.Mp3Mode == 1 &&
                       state_.Mp3BytesWritten > state_.MaxMp3BytesPerFile;
  return FileRoom() <= 0 || mp3Full;
}

// The take goes on in its next file. The current one is finished whole (the
// take goes on, so nothing is cut), and the next, named after the first with
// "-2", "-3", ..., is claimed as the first was: in sequential mode a file of
// the name is never replaced, and the next free number is taken instead.
bool Recorder::NextFile() {
  const bool hadCut = state_.TrimFrames >= 1;
  state_.TrimFrames = state_.Mp3TrimBytes = 0;
  FinishTakeFile();
  if (state_.writeFailed) return false;
  state_.cutBeforeFile = state_.cutBeforeFile || hadCut;
  state_.FramesBefore += state_.counters.FramesWritten;
  state_.counters = {};
  state_.Mp3BytesWritten = 0;
  const bool sequential = controls.CheckSequential == 1;
  TakeClaim claim = TakeClaim::kTaken;
  for (int32_t tries = 0; claim == TakeClaim::kTaken && tries < 100; ++tries) {
    state_.names.RecFileName = FilePartName(state_.FirstFileName, ++state_.FilePart);
    claim = writer_.OpenFile(state_.names.RecFileName, sequential, capture_.format);
  }
  if (claim != TakeClaim::kClaimed) {
    Log("録音ファイルを作成できません " + state_.names.RecFileName, 1);
    StopOnWriteFailure();
    return false;
  }
  if (state_.Mp3Mode == 1 && !OpenEncoder()) return false;
  view_.ShowFileName(DisplayFileName(state_.names.RecFileName));
  view_.TakeOpened(state_.names.RecFileName);
  return true;
}

}  // namespace lumora
