#pragma once
// The daily diagnostic log: "yyyymmdd - machine - session.log" for normal lines
// and ".err" for error lines in LogFolder; each line is "yyyy/mm/dd hh:mm:ss
// message" + CR LF. Every call opens, appends and closes, so a crash loses
// nothing already logged. A failure never reaches the caller.

#include <cstdint>
#include <string>

namespace lumora {

struct LogConfig {
  int32_t enabled = 1;  // LogEnabled (setting "LogError")
  std::string folder;   // LogFolder, ending in "/"; empty: the default log folder
  std::string machine;  // computer name; empty when unknown
  std::string session;  // SessionName; empty: the program title
};

// Takes effect for the next line; the folder is made to end in "/".
void ConfigureLog(const LogConfig& config);
const LogConfig& CurrentLogConfig();

void Log(const std::string& message, int32_t isError = 0);

// AppFolder + "log/" when the program folder is writable, else UserLogFolder().
std::string DefaultLogFolder();
// $XDG_STATE_HOME/lumora/log/ (default ~/.local/state/lumora/log/), creating the
// folders above "log" as needed; "" when there is no home folder.
std::string UserLogFolder();
// The machine name as gethostname gives it ("" on failure).
std::string MachineName();

// The start-up purge: deletes the program's own log files of this machine
// ("yyyymmdd - machine - lumora.log" / ".err", sessions lumora and lumoraB ...
// lumoraD) last written more than olderThanDays ago (0: all of them), directly in
// the folder. Everything else stays, subfolders and the folder itself included.
// 0 when the folder is missing or a file could not be deleted.
int32_t CleanLogFolder(const std::string& folder, int32_t olderThanDays, const std::string& machine);

}  // namespace lumora
