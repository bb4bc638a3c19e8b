#pragma once
// The log of a run as every front end sets it up from the settings.

namespace lumora {

class Settings;

// "LogError" switches it, "DebugLogPath" (the per-user key "common") names the
// folder, else the default log folder; lines carry this machine and the
// session's name. Then the start-up purge of the program's own log files older
// than 90 days.
void ConfigureSessionLog(const Settings& settings);

}  // namespace lumora
