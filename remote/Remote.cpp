#include "remote/Remote.h"

#include "support/MessageBox.h"

namespace lumora {

void Remote::InitHID(const Settings& settings) {
  if (open_) {
    hid_->HidClose();
    open_ = false;
  }
  hid_.reset();
  const int32_t number = settings.ReadWhole("USBHIDID");
  if (number == 0) return;
  hid_ = std::make_unique<C_HID>(transport_);
  if (!hid_->HidInit(C_HID::kRemoteBoxMode, number)) {
    CenteredMessageBox("tessaronHID not found", kCritical, "");
    return;
  }
  open_ = true;
  latch_ = settings.ReadWhole("USBHID_Latch");
  // Only 0 and 1 make codes the box knows.
  tallyInvert_ = settings.ReadWhole("USBTallyInvert") != 0 ? 1 : 0;
  SwitchTalliesOff();
}

void Remote::Close() {
  if (!open_) return;
  SwitchTalliesOff();
  hid_->HidClose();
  open_ = false;
}

void Remote::SwitchTalliesOff() {
  for (int32_t output = 1; output <= 3; ++output) SetTallyOutput(output, false);
}

void Remote::SendTally(int32_t code) {
  if (open_) hid_->VondWrite(code);
}

}  // namespace lumora
