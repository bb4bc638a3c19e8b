#pragma once
// The small HID layer under C_HID: list the HID devices present, open one by
// path, and exchange whole reports. Two backends: hidapi on hidraw (the real
// box) and a simulated box (tests, demos, lumora-rec --remote-script).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumora {

// The remote box's USB vendor identifier; its product identifier is the box's
// number 1 ... 8 (set on the box, chosen with "USBHIDID"). 0x1209 is the
// open-hardware vendor id (pid.codes), whose product ids 0x0001 ... 0x0010 are
// set aside for private and test use.
inline constexpr uint16_t kRemoteVendorId = 0x1209;

struct HidDeviceEntry {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
};

// One opened device. Reports are laid out as the box's protocol counts them:
// byte 0 is the report number (0 for a device without numbered reports).
class HidDevice {
 public:
  virtual ~HidDevice() = default;
  // Whole report lengths in bytes, report number included; 0 when the device
  // has no report of that direction.
  virtual int32_t InputReportLength() const = 0;
  virtual int32_t OutputReportLength() const = 0;
  // Sends one output report; the bytes written, or -1 on failure.
  virtual int32_t Write(const std::vector<uint8_t>& report) = 0;
  // Reads one input report into report (InputReportLength bytes) when one
  // arrives within waitMs: the bytes read, 0 when none came, -1 on failure.
  virtual int32_t Read(std::vector<uint8_t>& report, int32_t waitMs) = 0;
};

class HidTransport {
 public:
  virtual ~HidTransport() = default;
  // Every HID device present, in the system's order.
  virtual std::vector<HidDeviceEntry> Enumerate() = 0;
  // Nullptr when the device cannot be opened (the backend logs why).
  virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

// The system's HID devices through hidapi (hidraw).
std::unique_ptr<HidTransport> CreateHidTransport();

}  // namespace lumora
