#include "app/rec/CommandDriver.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace lumora::rec {

namespace {

// Said once per kind: a held head input would repeat it every tick.
void Unavailable(const std::string& what) {
  static std::set<std::string> said;
  if (said.insert(what).second)
    std::fprintf(stderr, "lumora-rec: %s needs the window (ignored)\n", what.c_str());
}

}  // namespace

void PrintEvent(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void RecCommandTarget::ClickRecButton(int32_t index) {
  if (index == 1) {
    recorder_.RequestStart();
  } else if (index == 2) {
    recorder_.RequestStop();
  } else {
    Unavailable("SAVE (the file dialog)");
  }
}

// Stop has nothing to stop here, so STOP_ALL stays quiet.
void RecCommandTarget::ClickPlayButton(int32_t index) {
  if (index != 0) Unavailable("playback");
}

void RecCommandTarget::ClickRegButton() { Unavailable("REG"); }

void RecCommandTarget::HeadPlus() { Unavailable("the play head"); }
void RecCommandTarget::HeadMinus() { Unavailable("the play head"); }
void RecCommandTarget::HeadHome() { Unavailable("the play head"); }

bool CommandDriver::Prepare(Settings& settings, std::string& error) {
  maps_ = LoadControlMaps(settings);
  if (!options_.remote && options_.remoteScript.empty()) return true;
  if (settings.ReadWhole("USBHIDID") == 0) settings.AddOverride("USBHIDID=1");
  if (options_.remoteScript.empty()) {
    transport_ = CreateHidTransport();
  } else {
    if (!script_.Load(options_.remoteScript, error)) return false;
    auto simulated = std::make_unique<SimulatedHid>();
    box_ = &simulated->AddBox(static_cast<uint16_t>(std::max(1, settings.ReadWhole("USBHIDID"))));
    box_->onCommand = [](int32_t code) { PrintEvent("tally " + std::to_string(code)); };
    transport_ = std::move(simulated);
  }
  remote_ = std::make_unique<Remote>(*transport_);
  remote_->InitHID(settings);
  if (!remote_->RemoteOpen()) {
    error = "the remote box did not open";
    return false;
  }
  recorder_.remotePoll = [this] { return remote_->PollRemote(maps_, target_); };
  return true;
}

void CommandDriver::UseSimulatedTime(std::function<void(double seconds)> advance) {
  if (remote_) remote_->latchDelay = [advance](int32_t ms) { advance(ms / 1000.0); };
}

void CommandDriver::BeforeTick(double seconds) {
  if (box_) script_.PlayUntil(seconds, *box_);
  if (!options_.commands) return;
  input_.Poll();
  if (int32_t index = 0; input_.Next(index)) DoFunction(index, target_);
}

bool CommandDriver::ScriptOver() const {
  const auto& held = remote_->RemoteHeld;
  const LoopState& loop = recorder_.Loop();
  return script_.Done() && !box_->HasEvents() &&
         std::none_of(held.begin(), held.end(), [](bool h) { return h; }) && !target_.IsRecording() &&
         !loop.pendingStart && !loop.pendingStop;
}

bool CommandDriver::Finished() const {
  if (options_.commands && !input_.Ended()) return false;
  if (box_ && !ScriptOver()) return false;
  return options_.commands || box_;
}

}  // namespace lumora::rec
