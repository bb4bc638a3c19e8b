#include "remote/SimulatedBox.h"

#include <algorithm>
#include <string>

namespace lumora {

namespace {

constexpr uint8_t kStateQuery = 0xFF;
constexpr uint8_t kEventQuery = 0x00;

class SimulatedDevice final : public HidDevice {
 public:
  explicit SimulatedDevice(SimulatedBox& box) : box_(box) {}

  int32_t InputReportLength() const override { return SimulatedHid::kReportLength; }
  int32_t OutputReportLength() const override { return SimulatedHid::kReportLength; }

  int32_t Write(const std::vector<uint8_t>& report) override {
    return box_.Receive(report) ? static_cast<int32_t>(report.size()) : -1;
  }

  int32_t Read(std::vector<uint8_t>& report, int32_t) override {
    if (!box_.Plugged()) return -1;
    uint8_t port = 0, value = 0;
    if (report.size() < 3 || !box_.TakeAnswer(port, value)) return 0;
    std::fill(report.begin(), report.end(), 0);
    report[1] = port;
    report[2] = value;
    return static_cast<int32_t>(report.size());
  }

 private:
  SimulatedBox& box_;
};

std::string PathOf(const SimulatedBox& box) { return "sim:box" + std::to_string(box.Number()); }

}  // namespace

void SimulatedBox::Press(int32_t input) {
  if (input < 1 || input > 8) return;
  held_[input - 1] = true;
  events_.push_back(static_cast<uint8_t>(input));
}

void SimulatedBox::Release(int32_t input) {
  if (input >= 1 && input <= 8) held_[input - 1] = false;
}

// A held input reads as 0 (active low); all idle is 255.
uint8_t SimulatedBox::StateByte() const {
  uint8_t state = 0xFF;
  for (int n = 0; n < 8; ++n) {
    if (held_[n]) state &= static_cast<uint8_t>(~(1u << n));
  }
  return state;
}

bool SimulatedBox::Receive(const std::vector<uint8_t>& report) {
  if (!plugged_ || report.size() < 3) return false;
  const uint8_t command = report[1];
  const uint8_t port = wrongPort_ ? static_cast<uint8_t>(report[2] + 1) : report[2];
  if (command == kStateQuery || command == kEventQuery) {
    ++inquiries_;
    uint8_t value = 0;
    if (command == kStateQuery) {
      value = StateByte();
    } else if (!events_.empty()) {
      value = events_.front();
      events_.pop_front();
    }
    answers_.push_back({port, value});
  } else {
    commands_.push_back(command);
    if (onCommand) onCommand(command);
  }
  return true;
}

bool SimulatedBox::TakeAnswer(uint8_t& port, uint8_t& value) {
  if (stalled_ || answers_.empty()) return false;
  port = answers_.front()[0];
  value = answers_.front()[1];
  answers_.pop_front();
  return true;
}

SimulatedBox& SimulatedHid::AddBox(uint16_t number) { return boxes_.emplace_back(number); }

std::vector<HidDeviceEntry> SimulatedHid::Enumerate() {
  std::vector<HidDeviceEntry> entries;
  for (const SimulatedBox& box : boxes_) {
    if (box.Plugged()) entries.push_back({PathOf(box), kRemoteVendorId, box.Number()});
  }
  return entries;
}

std::unique_ptr<HidDevice> SimulatedHid::Open(const std::string& path) {
  for (SimulatedBox& box : boxes_) {
    if (box.Plugged() && PathOf(box) == path) return std::make_unique<SimulatedDevice>(box);
  }
  return nullptr;
}

}  // namespace lumora
