#pragma once
// The remote as the main window (or lumora-rec) holds it: the box, opened from
// the settings; the tally lights the recorder and the transport switch through
// it; and the poll that turns the box's inputs into commands, each timer tick.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "remote/CommandTarget.h"
#include "remote/Functions.h"
#include "remote/Hid.h"
#include "settings/Settings.h"
#include "support/FileSystem.h"
#include "support/TallySink.h"

namespace lumora {

class Remote final : public TallySink {
 public:
  explicit Remote(HidTransport& transport) : transport_(transport) {}
  ~Remote() override { Close(); }

  // InitHID: (re)starts the remote from "USBHIDID", "USBHID_Latch" and
  // "USBTallyInvert", and switches the three tally lights off. "USBHIDID" 0:
  // no remote and no message; no such box: "tessaronHID not found".
  void InitHID(const Settings& settings);
  // At shutdown: the tally lights off, then the box closed.
  void Close();
  bool RemoteOpen() const { return open_; }

  // Sent only while the remote is open.
  void SendTally(int32_t code) override;
  int32_t TallyInvert() const override { return tallyInvert_; }

  // One poll of the box: 1 when it acted on an input (the tick then does
  // nothing else), else 0. Pulse mode runs the command of the input that
  // fired; latch mode runs REC and PLAY while their input is held and stops
  // them on release, and moves the head while a head input is held.
  int32_t PollRemote(const ControlMaps& maps, CommandTarget& target);

  // How a latch-mode delay passes: window events run meanwhile. A front end
  // on simulated time (lumora-rec --fast) moves that time on instead.
  std::function<void(int32_t ms)> latchDelay = [](int32_t ms) { WaitEvents(ms, 1); };

  // Latch-mode state, kept across restarts of the remote.
  std::array<bool, 8> RemoteHeld{};
  bool ResumeAfterHead = false;

 private:
  void SwitchTalliesOff();
  int32_t PollPulse(const ControlMaps& maps, CommandTarget& target);
  int32_t PollLatch(const ControlMaps& maps, CommandTarget& target);
  bool LatchInput(int32_t n, bool active, const ControlMaps& maps, CommandTarget& target);

  HidTransport& transport_;
  std::unique_ptr<C_HID> hid_;
  bool open_ = false;
  int32_t latch_ = 0;
  int32_t tallyInvert_ = 0;
};

}  // namespace lumora
