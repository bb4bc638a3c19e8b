#include "remote/Hid.h"

#include <algorithm>

#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/Log.h"
#include "support/Rounding.h"

namespace lumora {

namespace {

constexpr uint8_t kEventQuery = 0x00;
constexpr uint8_t kStateQuery = 0xFF;
// Slots of the three kinds of transfer, named in the diagnostics.
constexpr int32_t kInquirySlot = 0;
constexpr int32_t kAnswerSlot = 1;
constexpr int32_t kCommandSlot = 2;
// The report bytes the exchange uses: number, command or port, argument or value.
constexpr int32_t kExchangeBytes = 3;

}  // namespace

int32_t C_HID::HidInit(int32_t pMode, int32_t pOpt) {
  HidClose();
  if (pMode != kRemoteBoxMode || pOpt > 0xFFFF) return 0;
  const uint16_t product = pOpt > 1 ? static_cast<uint16_t>(pOpt) : 1;
  for (const HidDeviceEntry& entry : transport_.Enumerate()) {
    if (entry.vendorId != kRemoteVendorId || entry.productId != product) continue;
    auto device = transport_.Open(entry.path);
    if (!device) continue;
    // A device whose reports cannot carry the exchange is not the box.
    if (device->InputReportLength() < kExchangeBytes || device->OutputReportLength() < kExchangeBytes) {
      Log("HID: " + entry.path + " has reports too short for the remote box", 1);
      continue;
    }
    device_ = std::move(device);
    inputLength_ = device_->InputReportLength();
    outputLength_ = device_->OutputReportLength();
    input_.assign(inputLength_, 0);
    output_.assign(outputLength_, 0);
    filename_ = entry.path;
    return 1;
  }
  return 0;
}

void C_HID::HidClose() {
  whileReadFile_ = whileWriteFile_ = false;
  lateEvents_ = 0;
  if (!device_) return;
  DoEvents();
  device_.reset();
  filename_.clear();
  inputLength_ = outputLength_ = 0;
  input_.clear();
  output_.clear();
}

void C_HID::Diagnostic(const std::string& line) const {
  if (logError_) Log(line);
}

// One whole report out, or one in within TimeoutMS while window events run.
// Writes complete at once (see the transports); a read is polled.
int32_t C_HID::HidIO(bool isRead, int32_t slot) {
  const int32_t expected = isRead ? inputLength_ : outputLength_;
  int32_t count = 0;
  if (!isRead) {
    count = device_->Write(output_);
  } else {
    const double start = ActiveClock().MonotonicSeconds();
    // An event that runs meanwhile may close the device: that ends the read.
    const auto arrived = [&] { return (count = device_ ? device_->Read(input_, 1) : -1) != 0; };
    if (!WaitEventsUntil(timeoutMs_, arrived, 0)) {
      const auto took = RoundHalfEven((ActiveClock().MonotonicSeconds() - start) * 1000.0);
      Diagnostic("HIDIO GetOverlappedResult TimeOut pIsRead=1 pOl=" + std::to_string(slot) +
                 " tTakes=" + std::to_string(took) + " c_TimeoutMS=" + std::to_string(timeoutMs_));
      return 0;
    }
  }
  if (count >= expected) return 1;
  Diagnostic("HIDIO insufficient " + std::to_string(count) + " pIsRead=" + (isRead ? "1" : "0"));
  return 0;
}

int32_t C_HID::VondRead(int32_t stateQuery, int32_t keep255, int32_t port) {
  if (port < 0 || port >= static_cast<int32_t>(lastValue_.size())) return -1;
  const int32_t provisional = stateQuery ? lastValue_[port] : 0;
  if (whileWriteFile_ || !device_) return provisional;
  whileReadFile_ = true;
  DoEvents();
  int32_t result = provisional;  // closed by an event that ran meanwhile
  if (device_) {
    const int32_t fired = TakeLateAnswers(port);
    result = fired && !stateQuery ? (lastValue_[port] = fired) : Exchange(stateQuery, keep255, port);
  }
  whileReadFile_ = false;
  return result;
}

// Reports waiting before an inquiry is sent are answers that came after their
// exchange gave up (the box answers in order, and only when asked). They go, so
// that each answer meets its own inquiry; an input that fired among them is
// returned rather than lost.
int32_t C_HID::TakeLateAnswers(int32_t port) {
  int32_t fired = 0;
  while (device_->Read(input_, 0) > 0) {
    if (lateEvents_ > 0 && input_[1] == port && input_[2] >= 1 && input_[2] <= 8 && !fired) fired = input_[2];
    if (lateEvents_ > 0) --lateEvents_;
  }
  lateEvents_ = 0;
  return fired;
}

// One inquiry and its answer.
int32_t C_HID::Exchange(int32_t stateQuery, int32_t keep255, int32_t port) {
  std::fill(output_.begin(), output_.end(), 0);
  output_[1] = stateQuery ? kStateQuery : kEventQuery;
  output_[2] = static_cast<uint8_t>(port);
  std::fill_n(input_.begin(), kExchangeBytes, 0);
  if (!HidIO(false, kInquirySlot)) {
    Diagnostic("HID InquiryRequst err");
    return -1;
  }
  if (!HidIO(true, kAnswerSlot)) {
    if (!stateQuery) ++lateEvents_;
    Diagnostic("HID ReadRequest err1");
    return -1;
  }
  if (input_[1] != port) {
    Diagnostic("HID Port Different");
    return -1;
  }
  if (input_[2] == 255 && !stateQuery && !keep255) return 0;
  return lastValue_[port] = input_[2];
}

int32_t C_HID::VondWrite(int32_t code, int32_t argument) {
  if (!device_ || code == 0 || code == 255) return 0;
  whileWriteFile_ = true;
  DoEvents();
  int32_t result = 0;
  if (device_) {
    std::fill(output_.begin(), output_.end(), 0);
    output_[1] = static_cast<uint8_t>(code);
    output_[2] = static_cast<uint8_t>(argument);
    result = HidIO(false, kCommandSlot);
  }
  whileWriteFile_ = false;
  return result;
}

}  // namespace lumora
