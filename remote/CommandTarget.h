#pragma once
// What the function keys and the remote's inputs act on: the main window (or
// lumora-rec, which has no window) presses its own buttons and moves its play
// head. Pressing a button only sets a request; the next timer tick acts.

#include <cstdint>

namespace lumora {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;

  virtual bool IsRecording() const = 0;  // a take is running
  virtual bool IsPlaying() const = 0;    // playback was started and not stopped

  // RecButtons: 0 chooses the output file, 1 records, 2 stops the take.
  virtual void ClickRecButton(int32_t index) = 0;
  // PlayButtons: 0 stop (rewinds when stopped), 1 pause or resume, 2 play.
  virtual void ClickPlayButton(int32_t index) = 0;
  // RegButton: hands the last take to the registering application.
  virtual void ClickRegButton() = 0;

  // The play head: the position bar's value in frames, its maximum, and the
  // frames per second of the take it points into.
  virtual int64_t HeadPosition() const = 0;
  virtual int64_t HeadMaximum() const = 0;
  virtual int32_t HeadRate() const = 0;
  // Moves the head: the bar, the position the next play starts from, and the
  // elapsed-time text beside it.
  virtual void SetHeadPosition(int64_t frames) = 0;
};

}  // namespace lumora
