// Frames into the take's files: the pre-record of an armed take, then every
// buffer, in pieces the staging takes.

#include <algorithm>
#include <new>

#include "recording/Recorder.h"
#include "platform/WaveError.h"
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
    const int64_t piece = std::min<int64_t>(frames, state_.FramesPerBuffer);
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

}  // namespace lumora
