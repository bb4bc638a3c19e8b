#pragma once
// "Let pending window events run": the core never includes Qt, so the window
// installs one process-wide hook (QCoreApplication::processEvents) and the core
// calls DoEvents() wherever an operation waits. Without a hook it does nothing.

#include <functional>

namespace lumora {

void SetEventPump(std::function<void()> pump);
void DoEvents();

}  // namespace lumora
