#pragma once
// The menu item 設定(&C) of the main window: FrmConf, modal over the window,
// editing the window's settings, assignments, recording folder and remote.

namespace lumora {

class FrmMain;

void OpenFrmConf(FrmMain& window);

}  // namespace lumora
