#include "playback/PlayTransport.h"

#include <algorithm>
#include <utility>

#include "support/FileSystem.h"
#include "support/Rounding.h"
#include "support/TimeText.h"

namespace lumora {
namespace {

// The remote box's tally lights of playback.
constexpr int32_t kPlayingTally = 1;
constexpr int32_t kPausedTally = 3;

}  // namespace

PlayTransport::PlayTransport(PlayEngine& engine, PlayView& view, const PlaySession& session, TallySink* tally)
    : engine_(engine), view_(view), session_(session), tally_(tally) {}

void PlayTransport::PlayButtonClick(int32_t index) {
  if (index == 0) {
    StopOrRewind();
  } else if (index == 1) {
    if (PlayRequested_) PauseOrResume();
  } else if (index == 2) {
    Play();
  }
}

void PlayTransport::Play() {
  const std::string path = session_.LastTakePath();
  if (PlayPaused_ || path.empty() || !FileExists(path)) return;
  if (PlayRequested_) PlayStop(1);
  // The file being recorded plays at least 3 s and the 50 capture buffers
  // behind the take, so playback never catches up with what is on disk.
  if (const std::optional<RunningTake> take = session_.Recording(); take && take->path == path) {
    const int64_t limit =
        take->frames - int64_t{kPlayBuffers} * take->framesPerBuffer - 3 * int64_t{session_.SampleRate()};
    PlayPosition_ = std::max<int64_t>(std::min(PlayPosition_, limit), 0);
  }
  PlayRequested_ = 1;
  PlayStartFrame_ = PlayPosition_;
  if (engine_.PlayStart(path, PlayPosition_, session_.OutputDevice()) != 1) {
    PlayStop(1);
    return;
  }
  playingPath_ = path;
  levels.SetupFormat(engine_.Format());
  view_.SetPlayButtonLook(PlayButtonLook::kActive);
  SetTally(kPlayingTally, true);
  ShowPosition();
  view_.PlaybackStarted(path, PlayPosition_);
}

void PlayTransport::PauseOrResume() {
  engine_.PlayPause(PlayPaused_);
  PlayPaused_ = 1 - PlayPaused_;
  view_.SetPlayButtonLook(PlayPaused_ ? PlayButtonLook::kPaused : PlayButtonLook::kActive);
  SetTally(kPausedTally, PlayPaused_ == 1);
}

void PlayTransport::StopOrRewind() {
  if (PlayRequested_) {
    PlayStop(1);
  } else {
    MoveTo(0);
  }
}

void PlayTransport::PlayStop(int32_t update) {
  const int64_t played = engine_.PlayedFrames();
  PlayRequested_ = 0;
  engine_.PlayClose();
  if (!playingPath_.empty()) view_.PlaybackEnded(std::exchange(playingPath_, {}), played);
  const bool wasPaused = PlayPaused_ == 1;
  PlayPaused_ = 0;  // a closed device holds nothing
  if (update != 1) return;
  view_.SetPlayButtonLook(PlayButtonLook::kInactive);
  SetTally(kPlayingTally, false);
  if (wasPaused) SetTally(kPausedTally, false);
  ShowPosition();
  PlayStartFrame_ = 0;
  view_.ClearPlaybackLevels();
  levels.ResetHistory(LevelSide::kPlayback);
}

void PlayTransport::BarPressed() {
  barPressed_ = true;
  SeekPending_ = PlayRequested_;
}

void PlayTransport::BarDragged(int64_t value) {
  PlayPosition_ = value;
  view_.ShowPlayTime(TimeText(ElapsedMs(), 1));
}

void PlayTransport::BarReleased(int64_t value) {
  barPressed_ = false;
  PlayPosition_ = value;
  if (SeekPending_ == 1) {
    Play();
    SeekPending_ = 0;
  }
}

void PlayTransport::HeadPlus() { Seek(RoundHalfEven(PlayPosition_ + session_.SampleRate() / 2.0)); }
void PlayTransport::HeadMinus() { Seek(RoundHalfEven(PlayPosition_ - session_.SampleRate() / 2.0)); }
void PlayTransport::HeadHome() { Seek(0); }

// As a press and release of the bar at that place.
void PlayTransport::Seek(int64_t frame) {
  if (positionMax_ > 0) frame = std::min(frame, positionMax_);
  MoveTo(std::max<int64_t>(frame, 0));
  if (PlayRequested_) Play();
}

void PlayTransport::Tick(bool redraw) {
  if (!PlayRequested_) return;
  const int32_t result = engine_.PlayFeed();
  if (result == kFeedFinished || result == kFeedNotPlaying) {
    PlayStop(1);
    // A natural end leaves the bar at its end.
    if (result == kFeedFinished) MoveTo(positionMax_);
    return;
  }
  if ((result == kFeedRefilled || result == kFeedEnding) && !session_.Recording()) {
    if (engine_.TotalFrames() != positionMax_) view_.SetPositionMax(positionMax_ = engine_.TotalFrames());
  }
  if (PlayPaused_) return;
  const int64_t position = engine_.PlayedFrames();
  if (!barPressed_ && !SeekPending_) {
    PlayPosition_ = PlayStartFrame_ + position;
    ShowPosition();
  }
  if (redraw) {
    ScanLevels(levels, LevelSide::kPlayback, engine_.Frames(), position, false,
               {scanOutputs.meter, scanOutputs.history, true});
  }
}

void PlayTransport::MoveTo(int64_t frame) {
  PlayPosition_ = frame;
  ShowPosition();
}

void PlayTransport::ShowPosition() {
  view_.SetPosition(PlayPosition_);
  view_.ShowPlayTime(TimeText(ElapsedMs(), 1));
}

int32_t PlayTransport::ElapsedMs() const {
  const int32_t rate = session_.SampleRate();
  if (rate <= 0) return 0;
  return static_cast<int32_t>(RoundHalfEven(static_cast<double>(PlayPosition_) / rate * 1000.0));
}

void PlayTransport::SetTally(int32_t output, bool on) {
  if (tally_) tally_->SetTallyOutput(output, on);
}

}  // namespace lumora
