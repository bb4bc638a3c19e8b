#pragma once
// What drives lumora-rec's takes when no take starts by itself: command names
// on standard input (--commands), the remote box (--remote) or a simulated box
// playing a script (--remote-script). Each runs the function table's commands
// through the same DoFunction as the window's keys and remote.

#include <functional>
#include <memory>
#include <string>

#include "app/rec/CommandInput.h"
#include "app/rec/RecOptions.h"
#include "app/rec/RemoteScript.h"
#include "recording/Recorder.h"
#include "remote/Remote.h"
#include "remote/SimulatedBox.h"
#include "settings/Settings.h"

namespace lumora::rec {

// The recorder's side of the commands: record and stop; what needs the window
// (the save dialog, playback, the registering application) is said and skipped.
class RecCommandTarget final : public CommandTarget {
 public:
  explicit RecCommandTarget(Recorder& recorder) : recorder_(recorder) {}
  bool IsRecording() const override { return recorder_.State().IsRecording == 1; }
  bool IsPlaying() const override { return false; }
  void ClickRecButton(int32_t index) override;
  void ClickPlayButton(int32_t index) override;
  void ClickRegButton() override;
  void HeadPlus() override;
  void HeadMinus() override;
  void HeadHome() override;

 private:
  Recorder& recorder_;
};

class CommandDriver {
 public:
  CommandDriver(const RecOptions& options, Recorder& recorder) : options_(options), recorder_(recorder) {}

  // Loads the key and remote assignments and opens the remote the options
  // ask for ("USBHIDID" 0 counts as 1). False and a reason when the script is
  // unusable or no box opened.
  bool Prepare(Settings& settings, std::string& error);
  // On simulated time: how that time moves on, for the remote's latch delays.
  void UseSimulatedTime(std::function<void(double seconds)> advance);
  // Where the recorder's tally light goes; nullptr without a remote.
  TallySink* Tally() { return remote_ ? remote_.get() : nullptr; }

  // Before each tick, at this many seconds into the run: the script's input
  // changes that are due, and the next command read from standard input.
  void BeforeTick(double seconds);
  // Every source of commands is over: standard input ended, or the script is
  // over with no take running. A real remote alone is never over.
  bool Finished() const;

 private:
  bool ScriptOver() const;

  const RecOptions& options_;
  Recorder& recorder_;
  RecCommandTarget target_{recorder_};
  ControlMaps maps_;
  CommandInput input_;
  RemoteScript script_;
  std::unique_ptr<HidTransport> transport_;
  SimulatedBox* box_ = nullptr;
  std::unique_ptr<Remote> remote_;
};

// One event line on stdout, at once.
void PrintEvent(const std::string& line);

}  // namespace lumora::rec
