// The real box through hidapi's hidraw backend. hidapi gives no report lengths,
// so they come from the report descriptor that sysfs shows for each hidraw node.

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "remote/HidTransport.h"
#include "remote/ReportDescriptor.h"
#include "support/Log.h"

namespace lumora {

namespace {

std::vector<uint8_t> ReadReportDescriptor(const std::string& devicePath) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  std::ifstream file("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class HidapiDevice final : public HidDevice {
 public:
  HidapiDevice(hid_device* handle, ReportLengths lengths) : handle_(handle), lengths_(lengths) {}
  ~HidapiDevice() override { hid_close(handle_); }

  int32_t InputReportLength() const override { return lengths_.input; }
  int32_t OutputReportLength() const override { return lengths_.output; }

  // hidraw takes byte 0 as the report number and drops it for an unnumbered
  // device, so the report goes out as it stands. The write is synchronous: an
  // interrupt transfer of a few bytes completes within a USB frame, and a
  // vanished device fails at once.
  int32_t Write(const std::vector<uint8_t>& report) override {
    return hid_write(handle_, report.data(), report.size());
  }

  // hidraw hands an unnumbered report over without its number: it goes in
  // after a 0 so the layout is the same for both kinds.
  int32_t Read(std::vector<uint8_t>& report, int32_t waitMs) override {
    const size_t skip = lengths_.numbered ? 0 : 1;
    if (report.size() <= skip) return -1;
    const int n = hid_read_timeout(handle_, report.data() + skip, report.size() - skip, waitMs);
    if (n <= 0) return n;
    if (skip) report[0] = 0;
    return n + static_cast<int32_t>(skip);
  }

 private:
  hid_device* handle_;
  ReportLengths lengths_;
};

class HidapiTransport final : public HidTransport {
 public:
  HidapiTransport() { ready_ = hid_init() == 0; }
  ~HidapiTransport() override {
    if (ready_) hid_exit();
  }

  std::vector<HidDeviceEntry> Enumerate() override {
    std::vector<HidDeviceEntry> entries;
    if (!ready_) return entries;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* d = list; d; d = d->next) {
      if (d->path) entries.push_back({d->path, d->vendor_id, d->product_id});
    }
    hid_free_enumeration(list);
    return entries;
  }

  std::unique_ptr<HidDevice> Open(const std::string& path) override {
    hid_device* handle = ready_ ? hid_open_path(path.c_str()) : nullptr;
    if (!handle) {
      LogOpenFailure(path);
      return nullptr;
    }
    const ReportLengths lengths = ParseReportLengths(ReadReportDescriptor(path));
    return std::make_unique<HidapiDevice>(handle, lengths);
  }

 private:
  // A box that is present but closed to this user is the usual trouble on
  // Linux: hidraw nodes belong to root unless the udev rule says otherwise.
  static void LogOpenFailure(const std::string& path) {
    if (access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
      Log("HID: no permission to open " + path +
              " (install packaging/70-lumora-remote.rules into /etc/udev/rules.d and replug the box)",
          1);
    } else {
      Log("HID: cannot open " + path + ": " + std::strerror(errno), 1);
    }
  }

  bool ready_ = false;
};

}  // namespace

std::unique_ptr<HidTransport> CreateHidTransport() { return std::make_unique<HidapiTransport>(); }

}  // namespace lumora
