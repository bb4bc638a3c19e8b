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

  // The play head (the position bar, where the next play starts) half a
  // second on or back, or to the start; playback, when it runs, goes on from there.
  virtual void HeadPlus() = 0;
  virtual void HeadMinus() = 0;
  virtual void HeadHome() = 0;
};

}  // namespace lumora
