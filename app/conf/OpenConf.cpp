#include "app/conf/OpenConf.h"

#include "app/conf/FrmConf.h"
#include "app/window/FrmMain.h"
#include "recording/FieldSettings.h"

namespace lumora {

namespace {

class WindowConfTarget final : public ConfTarget {
 public:
  explicit WindowConfTarget(FrmMain& window) : window_(window) {}

  ControlMaps& Maps() override { return window_.Maps(); }
  std::string RecordingFolder() const override { return window_.recorder().controls.DataPath; }
  void SetRecordingFolder(const std::string& folder) override {
    window_.recorder().controls.DataPath = folder;
  }
  void SetWaveRate(float rate) override { window_.SetWaveRate(rate); }
  void TakeFieldSettings() override { ReadFieldSettings(window_.settings(), window_.recorder().controls); }
  void InitHID() override { window_.RestartRemote(); }

 private:
  FrmMain& window_;
};

}  // namespace

void OpenFrmConf(FrmMain& window) {
  WindowConfTarget target(window);
  FrmConf dialog(window.settings(), target, window.SizeRate(), &window);
  dialog.exec();
}

}  // namespace lumora
