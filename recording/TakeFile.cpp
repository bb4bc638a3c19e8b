#include "recording/TakeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/Log.h"

namespace lumora {
namespace {

// Whether `name` leads to the open file fd, and the file's size.
bool NameLeadsTo(int fd, const std::string& name, int64_t& size) {
  struct stat mine {};
  struct stat named {};
  if (fd < 0 || fstat(fd, &mine) != 0 || stat(name.c_str(), &named) != 0) return false;
  size = mine.st_size;
  return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

}  // namespace

TakeClaim TakeFile::Open(const std::string& name, bool exclusive) {
  Close(false);
  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : 0);
  const int fd = open(name.c_str(), flags, 0644);
  if (fd < 0) return exclusive && errno == EEXIST ? TakeClaim::kTaken : TakeClaim::kFailed;
  struct stat st {};
  // A file just created is empty; truncating it anyway would make ext4 push
  // its data to disk at the close and stall the cut back behind that write.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0 ||
      (!exclusive && ftruncate(fd, 0) != 0)) {
    if (errno == EWOULDBLOCK) Log("録音ファイルは他の録音が使用中です " + name, 1);
    close(fd);
    return TakeClaim::kFailed;
  }
  fd_ = fd;
  name_ = name;
  return TakeClaim::kClaimed;
}

FileHandle TakeFile::Handle() const {
  if (fd_ < 0) return 0;
  const int copy = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  return copy < 0 ? 0 : copy + 1;
}

bool TakeFile::Intact(int64_t size) const {
  int64_t actual = -1;
  return NameLeadsTo(fd_, name_, actual) && actual == size;
}

bool TakeFile::Sync() const { return fd_ >= 0 && fdatasync(fd_) == 0; }

void TakeFile::StartWriteback(int64_t offset, int64_t length) const {
  if (fd_ >= 0) sync_file_range(fd_, offset, length, SYNC_FILE_RANGE_WRITE);
}

bool TakeFile::Close(bool remove) {
  if (fd_ < 0) return true;
  int64_t size = 0;
  bool synced = true;
  if (remove && NameLeadsTo(fd_, name_, size)) {
    unlink(name_.c_str());
  } else {
    synced = Sync();
  }
  close(fd_);
  fd_ = -1;
  return synced;
}

}  // namespace lumora
