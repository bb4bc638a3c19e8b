#include "support/Log.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "support/Clock.h"
#include "support/FileSystem.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

constexpr const char* kProgramTitle = "lumora";

LogConfig& Config() {
  static LogConfig config;
  return config;
}

// Opens for appending (creating the file), writes everything, closes.
void AppendToFile(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<size_t>(written);
  }
  close(fd);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* user = getpwuid(getuid());
  return user && user->pw_dir ? user->pw_dir : "";
}

// Creates every missing folder of an absolute path, private to the user as
// per-user state folders should be.
void CreatePrivateFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
  mkdir(path.c_str(), 0700);
}

void WriteLogLine(const std::string& message, int32_t isError) {
  const LogConfig& config = Config();
  if (!config.enabled) return;
  const std::string folder = config.folder.empty() ? DefaultLogFolder() : config.folder;
  // One level only: a log folder whose parent is missing is a setting to fix, not to build.
  if (!FolderExists(folder) && !FolderCreate(folder)) return;
  // One reading of the clock names the file and stamps the line, so a line
  // written at midnight lands in the file of its own date.
  const LocalDateTime now = ActiveClock().LocalNow();
  const std::string session = config.session.empty() ? kProgramTitle : config.session;
  const std::string file = FolderSlash(folder, 0) + DateTimeTextAt(now, 0, 0, 1, 1, 0, 0, 0) + " - " +
                           config.machine + " - " + session + (isError ? ".err" : ".log");
  AppendToFile(file, DateTimeTextAt(now, 0, 0, 0, 0, 0, 0, 0) + " " + message + "\r\n");
}

}  // namespace

void ConfigureLog(const LogConfig& config) {
  Config() = config;
  Config().folder = FolderSlash(config.folder, 0);
}

const LogConfig& CurrentLogConfig() { return Config(); }

void Log(const std::string& message, int32_t isError) {
  try {
    WriteLogLine(message, isError);
  } catch (...) {
    // Logging must never take down the caller (out of memory while building a line).
  }
}

std::string DefaultLogFolder() {
  const std::string app = AppFolder();
  if (!app.empty() && access(app.c_str(), W_OK) == 0) return app + "log/";
  return UserLogFolder();
}

std::string UserLogFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::string base;
  if (state && state[0] == '/') {
    base = state;  // relative values are to be ignored
  } else {
    const std::string home = HomeFolder();
    if (home.empty()) return "";
    base = FolderSlash(home, 0) + ".local/state";
  }
  const std::string parent = FolderSlash(base, 0) + "lumora";
  CreatePrivateFolders(parent);
  return parent + "/log/";
}

std::string MachineName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

}  // namespace lumora
