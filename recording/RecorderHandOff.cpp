// The hand-off of one collected capture buffer: gain, then into the staging as
// PCM or as MP3 (or, while the take is armed, into its pre-record), and the cut
// point of automatic recording moved on.

#include "meters/ApplyGain.h"
#include "recording/Recorder.h"

namespace lumora {

bool Recorder::HandOff(int32_t i) {
  const int64_t frames = state_.FramesPerBuffer;
  const int64_t bytes = ring_.BufferBytes();
  const uint8_t* capture = ring_.BufferAddress(i, 0);
  uint8_t* output = ring_.BufferAddress(i, 1);
  const bool gained = ApplyGain({capture, static_cast<size_t>(bytes)}, {output, static_cast<size_t>(bytes)},
                                frames, capture_.format, levels_.inputGain, ring_.WorkBuffer(i));
  if (gained && state_.writing != 1) {  // armed: heard, kept for the start
    preRecord_.Keep(output, frames);
    return true;
  }
  if (!gained || !WriteFrames(output, frames)) {
    StopOnWriteFailure();  // the file keeps everything already on disk
    return false;
  }
  MoveCutPoint(i);
  return true;
}

// An encoder failure skips the buffer; only a refusal of the writer counts.
bool Recorder::EncodeAndStage(const uint8_t* pcm, int64_t bytes) {
  int64_t used = 0;
  int64_t produced = 0;
  int32_t ok = 0;
  codec_.EncProc(pcm, bytes, mp3Out_, used, produced, ok);
  if (ok != 1 || produced < 1) return true;
  if (writer_.WriteDiskBuffer(mp3Out_.data(), produced, state_.names.RecFileName, 0) != 1) return false;
  state_.Mp3BytesWritten += produced;
  return true;
}

// The loud tick that last moved the cut point measured frames still in the
// device; the cut point follows until the buffer holding the newest of them is
// written. MP3 output lags the encoder's input, so it gets one buffer more.
void Recorder::MoveCutPoint(int32_t i) {
  if (state_.lastLoudFrame < 0) return;
  const int64_t lag = state_.Mp3Mode ? state_.FramesPerBuffer : 0;
  if (ring_.CurrentRange(i).first > state_.lastLoudFrame + lag) return;
  state_.TrimFrames = state_.counters.FramesWritten;
  state_.Mp3TrimBytes = state_.Mp3BytesWritten;
}

// The frames the encoder still holds at the end of a take go into the file.
void Recorder::FlushEncoder() {
  int64_t produced = 0;
  int32_t ok = 0;
  codec_.EncFlush(mp3Out_, produced, ok);
  if (ok != 1 || produced < 1) return;
  if (writer_.WriteDiskBuffer(mp3Out_.data(), produced, "", 0) == 1) state_.Mp3BytesWritten += produced;
}

}  // namespace lumora
