#pragma once
// Everything the transport changes in the window: the look of the play
// buttons, the position bar, the elapsed-time panel and the playback meter
// and history. The window implements it, tests fake it, and lumora-play prints
// the events.

#include <cstdint>
#include <string>

namespace lumora {

// How PlayButtons shows the play button (index 2).
enum class PlayButtonLook : int32_t {
  kInactive = 0,  // stopped
  kActive = 1,    // playing
  kPaused = 2,    // playing, held by the pause button
};

class PlayView {
 public:
  virtual ~PlayView() = default;

  virtual void SetPlayButtonLook(PlayButtonLook look) = 0;
  // ProgBar: its maximum and its value, in frames.
  virtual void SetPositionMax(int64_t frames) = 0;
  virtual void SetPosition(int64_t frames) = 0;
  // TextInfo(1): the elapsed time of the position.
  virtual void ShowPlayTime(const std::string& text) = 0;
  // PictureWave(1) cleared and the playback meter reset (ResetVU(-1) on meter 1).
  virtual void ClearPlaybackLevels() = 0;

  // Playback events, for front ends that report them (lumora-play prints them).
  virtual void PlaybackStarted(const std::string& /*path*/, int64_t /*frame*/) {}
  virtual void PlaybackEnded(const std::string& /*path*/, int64_t /*framesPlayed*/) {}
};

}  // namespace lumora
