#pragma once
// The window's answers to playback: the last take of its recorder, the output
// device of its selector, and the take's progress while it is recorded.

#include "platform/WaveDevice.h"
#include "playback/PlaySession.h"
#include "recording/Recorder.h"

namespace lumora {

class RecorderPlaySession final : public PlaySession {
 public:
  RecorderPlaySession(const Recorder& recorder, WaveBackend& devices)
      : recorder_(recorder), devices_(devices) {}

  std::string LastTakePath() const override;
  int32_t OutputDevice() const override;
  int32_t SampleRate() const override;
  std::optional<RunningTake> Recording() const override;

 private:
  const Recorder& recorder_;
  WaveBackend& devices_;
};

}  // namespace lumora
