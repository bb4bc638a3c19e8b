#include "playback/RecorderPlaySession.h"

namespace lumora {

std::string RecorderPlaySession::LastTakePath() const { return recorder_.State().names.RecFileName; }

// Looked up at each play, so a device chosen since the last take is used.
int32_t RecorderPlaySession::OutputDevice() const {
  return FindWaveDevice(devices_, false, recorder_.selectors.outputDevice, false);
}

int32_t RecorderPlaySession::SampleRate() const { return recorder_.Capture().format.nFreq; }

// The frames flushed to the file, not those still staged: only they can be read.
std::optional<RunningTake> RecorderPlaySession::Recording() const {
  const RecordingState& state = recorder_.State();
  if (state.IsRecording != 1) return std::nullopt;
  return RunningTake{state.names.RecFileName, state.counters.FramesFlushed, state.FramesPerBuffer};
}

}  // namespace lumora
