#pragma once
// The play transport: the three play buttons (stop, pause, play), the position
// bar with its press, drag and release, the elapsed-time text, the tally codes
// of the remote box, and the per-tick update that keeps the engine fed and the
// bar moving. The window shows what it is told through PlayView and forwards
// its clicks here; keys and the remote call the same commands.

#include <cstdint>
#include <string>

#include "meters/LevelScan.h"
#include "playback/PlayEngine.h"
#include "playback/PlaySession.h"
#include "playback/PlayView.h"
#include "support/TallySink.h"

namespace lumora {

class PlayTransport {
 public:
  // `tally` may be null (no remote box); it knows whether its lights are inverted.
  PlayTransport(PlayEngine& engine, PlayView& view, const PlaySession& session, TallySink* tally = nullptr);

  // The playback side of the level scan: its state (format, RMS+3db, history
  // position) and where its readings go. The window sets the outputs and the
  // RMS+3db flag; the format follows each start.
  LevelState levels;
  ScanOutputs scanOutputs;

  // PlayButtons click: 0 stop (rewinds when stopped), 1 pause/resume, 2 play.
  void PlayButtonClick(int32_t index);
  // Stops playback; with update 1 the display returns to the stopped state
  // (button, tally, elapsed text, meter and history).
  void PlayStop(int32_t update);

  // ProgBar: pressed, moved while held (its value), released (its value).
  void BarPressed();
  void BarDragged(int64_t value);
  void BarReleased(int64_t value);

  // The play position moved by the keys or the remote: half a second on
  // (HEAD_PLUS) or back (HEAD_MINUS), to 0 (HEAD_HOME), or to a frame. The bar
  // and the text follow; while playing, playback goes on from there.
  void HeadPlus();
  void HeadMinus();
  void HeadHome();
  void Seek(int64_t frame);

  // The per-tick update of the recording timer, after its capture work: feeds
  // the engine, moves the bar and the text, and on ticks that redraw (redraw
  // true) measures the playback meter and history. Does nothing while the
  // engine is closed.
  void Tick(bool redraw);

  int64_t PlayPosition() const { return PlayPosition_; }
  int64_t PlayStartFrame() const { return PlayStartFrame_; }
  int32_t PlayRequested() const { return PlayRequested_; }
  int32_t PlayPaused() const { return PlayPaused_; }
  int32_t SeekPending() const { return SeekPending_; }
  int64_t PositionMax() const { return positionMax_; }

 private:
  void Play();
  void PauseOrResume();
  void StopOrRewind();
  void MoveTo(int64_t frame);
  void ShowPosition();
  int32_t ElapsedMs() const;
  void SetTally(int32_t output, bool on);

  PlayEngine& engine_;
  PlayView& view_;
  const PlaySession& session_;
  TallySink* tally_;
  int64_t PlayPosition_ = 0;
  int64_t PlayStartFrame_ = 0;
  int32_t PlayRequested_ = 0;
  int32_t PlayPaused_ = 0;
  int32_t SeekPending_ = 0;
  bool barPressed_ = false;
  int64_t positionMax_ = 0;
  std::string playingPath_;  // the file the engine opened, until it stops
};

}  // namespace lumora
