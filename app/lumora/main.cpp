// lumora: the recorder's window. With --grab FILE.png it draws the window
// offscreen from the built-in test signal and writes a picture instead.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

#include "app/conf/OpenConf.h"
#include "app/window/GrabOptions.h"
#include "app/window/FrmMain.h"
#include "app/window/SessionLink.h"
#include "app/window/SessionStart.h"
#include "platform/SignalSource.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "remote/HidTransport.h"
#include "remote/SimulatedBox.h"
#include "settings/Settings.h"

namespace lumora {
namespace {

// Qt wants a private runtime folder; an offscreen run on a machine without a
// desktop session has none.
void EnsureRuntimeFolder() {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime && stat(runtime, &info) == 0 && (info.st_mode & 0777) == 0700 && info.st_uid == getuid()) return;
  static char folder[] = "/tmp/lumora-run-XXXXXX";
  if (mkdtemp(folder)) setenv("XDG_RUNTIME_DIR", folder, 1);
}

// The test signal as the only input, paced in real time, and a silent output.
std::unique_ptr<SimulatedWave> TestSignalDevices() {
  auto devices = std::make_unique<SimulatedWave>();
  devices->AddInput(kTestSignalInputName, MakeTone(1000.0, -20.0));
  devices->AddOutput(kSilentOutputName, false);
  devices->StartPacing();
  return devices;
}

int Grab(int argc, char** argv, const GrabOptions& options) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EnsureRuntimeFolder();
  QApplication app(argc, argv);
  Settings settings;
  settings.FixSession(0);
  settings.AddOverride("InputMon=1");
  settings.AddOverride("USBHIDID=0");
  const auto devices = TestSignalDevices();
  SimulatedHid noBox;
  FrmMain window(settings, *devices, noBox);
  window.FormLoad();
  window.show();
  bool saved = false;
  QTimer::singleShot(options.afterMs, &window, [&] {
    saved = window.grab().save(QString::fromStdString(options.file), "PNG");
    app.quit();
  });
  app.exec();
  if (!saved) std::fprintf(stderr, "lumora: cannot write %s\n", options.file.c_str());
  return saved ? 0 : 1;
}

int Run(int argc, char** argv) {
  QApplication app(argc, argv);
  Settings settings;
  SessionServer server;
  const auto slot = ClaimSession(settings, JoinCommandLine(argc, argv), server);
  if (!slot) return 0;
  settings.FixSession(*slot);
  const auto devices = CreateWaveBackend();
  const auto hid = CreateHidTransport();
  FrmMain window(settings, *devices, *hid);
  window.SetConfDialogOpener(OpenFrmConf);
  window.FormLoad();
  window.show();
  return app.exec();
}

}  // namespace
}  // namespace lumora

int main(int argc, char** argv) {
  std::string error;
  const auto grab = lumora::ParseGrabOptions(argc, argv, error);
  if (!error.empty()) {
    std::fprintf(stderr, "lumora: %s\nusage: lumora [session] | lumora --grab FILE.png [--after MS]\n",
                 error.c_str());
    return 2;
  }
  return grab ? lumora::Grab(argc, argv, *grab) : lumora::Run(argc, argv);
}
