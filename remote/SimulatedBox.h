#pragma once
// A simulated remote box on a simulated HID bus: eight inputs that can be
// pressed and released, three tally outputs whose command codes are recorded,
// and the faults a real box shows (unplugged, answers late, answers for the
// wrong port). For tests, demos and lumora-rec --remote-script.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "remote/HidTransport.h"

namespace lumora {

class SimulatedBox {
 public:
  explicit SimulatedBox(uint16_t number) : number_(number) {}

  uint16_t Number() const { return number_; }

  // Input 1 ... 8 closes (and an event is queued for the event query) or opens.
  void Press(int32_t input);
  void Release(int32_t input);
  // The next answer to an event query is value, whatever it is (for firmware
  // that answers 0, 9 or 255).
  void QueueEvent(uint8_t value) { events_.push_back(value); }

  // Unplugged: gone from the bus; an opened device fails every transfer.
  void SetPlugged(bool plugged) { plugged_ = plugged; }
  bool Plugged() const { return plugged_; }
  // Stalled: takes inquiries but keeps its answers until it is released.
  void SetStalled(bool stalled) { stalled_ = stalled; }
  // Echoes a port other than the one asked for.
  void SetWrongPort(bool wrong) { wrongPort_ = wrong; }

  // Every command code received (tally switching), in order.
  const std::vector<int32_t>& Commands() const { return commands_; }
  // An event query would have something to report.
  bool HasEvents() const { return !events_.empty(); }
  // Called for each command code as it arrives.
  std::function<void(int32_t)> onCommand;
  // Inquiries received (event and state queries).
  int32_t Inquiries() const { return inquiries_; }

  // The box's side of one output report (byte 1 command, byte 2 argument);
  // false when it is unplugged.
  bool Receive(const std::vector<uint8_t>& report);
  // The oldest answer not yet read, as port and value; false when there is
  // none to hand out now.
  bool TakeAnswer(uint8_t& port, uint8_t& value);

 private:
  uint8_t StateByte() const;

  uint16_t number_;
  std::array<bool, 8> held_{};
  std::deque<uint8_t> events_;
  std::deque<std::array<uint8_t, 2>> answers_;
  std::vector<int32_t> commands_;
  int32_t inquiries_ = 0;
  bool plugged_ = true;
  bool stalled_ = false;
  bool wrongPort_ = false;
};

// The simulated bus: the boxes on it, found and opened as HID devices.
class SimulatedHid final : public HidTransport {
 public:
  // A box with this number (its product id), plugged in.
  SimulatedBox& AddBox(uint16_t number);

  std::vector<HidDeviceEntry> Enumerate() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

  // Report lengths of the simulated box: report number and eight bytes.
  static constexpr int32_t kReportLength = 9;

 private:
  std::list<SimulatedBox> boxes_;  // a list: boxes keep their address
};

}  // namespace lumora
