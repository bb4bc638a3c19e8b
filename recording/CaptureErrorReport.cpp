#include "platform/WaveError.h"
#include "recording/CaptureDevice.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora {

int32_t WaveErrorReport(int32_t code, bool output, bool logOnly) {
  if (code == kWaveNoError) return 1;
  const std::string text = WaveErrorText(code, output);
  if (logOnly) {
    Log(text, 1);
  } else {
    CenteredMessageBox(text, kOkOnly);
  }
  return 1;
}

}  // namespace lumora
