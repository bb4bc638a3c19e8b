#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "settings/ProfileText.h"
#include "settings/TextRules.h"
#include "support/Log.h"

namespace lumora {
namespace {

// Owns a descriptor; closes it on every path out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result (a delayed write error can show up here).
  bool Close() {
    const int result = close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// A temporary file that removes itself unless it was renamed into place.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Creates an unused name beside target; -1 when the folder refuses.
  int Create(const std::string& target) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
      const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) path_ = name;
      if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
  }
  bool RenameTo(const std::string& target) {
    if (rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool ReadAll(int fd, int64_t size, std::string& text) {
  text.resize(static_cast<size_t>(size));
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t got = read(fd, text.data() + done, text.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;  // the file shrank meanwhile
    done += static_cast<size_t>(got);
  }
  text.resize(done);
  return true;
}

// Serialises the read, change and replace of settings files in one folder
// across processes (sessions sharing an ini file would otherwise lose each
// other's keys), with an advisory lock on the folder itself, so no lock file is
// left beside the settings. A folder that cannot be opened goes unlocked.
class FolderLock {
 public:
  explicit FolderLock(const std::string& file)
      : fd_(open(FolderOfPath(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    while (fd_.get() >= 0 && flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
  }

 private:
  Descriptor fd_;  // closing it releases the lock
};

// errno of a failed step; never 0, which would read as success.
int LastError() { return errno != 0 ? errno : EIO; }

// The file a write must replace: the target of a symbolic link, so the link stays.
std::string WriteTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

void LogWriteFailure(const std::string& path, std::string_view key, const std::string& reason) {
  static std::string lastFailedPath;  // one line per file, not one per key of a start-up
  if (path == lastFailedPath) return;
  lastFailedPath = path;
  Log("settings: cannot write " + std::string(key) + " to " + path + ": " + reason, 1);
}

}  // namespace

SettingsFileText ReadSettingsFile(const std::string& path) {
  // O_NONBLOCK: opening a named pipe must not hang the program.
  Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR;
    return {missing ? SettingsFileStatus::kMissing : SettingsFileStatus::kUnusable, {}};
  }
  struct stat info {};
  SettingsFileText result{SettingsFileStatus::kUnusable, {}};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxSettingsFileBytes) {
    return result;
  }
  if (ReadAll(fd.get(), info.st_size, result.text)) result.status = SettingsFileStatus::kOk;
  return result;
}

int ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = WriteTarget(path);
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  TempFile temp;
  Descriptor fd(temp.Create(target));
  if (fd.get() < 0) return LastError();
  if (!WriteAll(fd.get(), bytes) || (exists && fchmod(fd.get(), old.st_mode & 07777) != 0) ||
      fsync(fd.get()) != 0) {
    return LastError();
  }
  if (!fd.Close() || !temp.RenameTo(target)) return LastError();
  return 0;
}

std::optional<std::string> ReadProfileString(std::string_view section, std::string_view key,
                                             const std::string& path) {
  const SettingsFileText file = ReadSettingsFile(path);
  if (file.status != SettingsFileStatus::kOk) return std::nullopt;
  return FindProfileValue(file.text, section, key);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
  if (!IsValidProfileName(section) || !IsValidProfileName(key) || !IsValidProfileValue(value)) {
    LogWriteFailure(path, key, "the name or value holds a line break or a reserved character");
    return false;
  }
  const FolderLock lock(path);
  const SettingsFileText file = ReadSettingsFile(path);
  if (file.status == SettingsFileStatus::kUnusable) {
    LogWriteFailure(path, key, "the file cannot be read as a settings file");
    return false;
  }
  const std::string changed = SetProfileValue(file.text, section, key, value);
  // An unchanged file is not rewritten, so reading defaults again costs nothing.
  if (file.status == SettingsFileStatus::kOk && changed == file.text) return true;
  const int error = ReplaceFileAtomically(path, changed);
  if (error == 0) return true;
  LogWriteFailure(path, key, std::strerror(error));
  return false;
}

}  // namespace lumora
