#pragma once
// The file a take writes, held open and locked (flock) from the start of the
// take to its end. Up to four recorders may share one data folder: the lock
// keeps a second one from emptying, cutting or writing into a file a running
// take is writing, and a numbered name is claimed by an exclusive create, so
// two takes never pick the same one.

#include <cstdint>
#include <string>

#include "formats/FileHandle.h"

namespace lumora {

enum class TakeClaim {
  kClaimed,  // the file is the take's, empty and locked
  kTaken,    // exclusive: a file of the name exists already
  kFailed,   // cannot be created, or another take holds it
};

class TakeFile {
 public:
  TakeFile() = default;
  ~TakeFile() { Close(false); }
  TakeFile(const TakeFile&) = delete;
  TakeFile& operator=(const TakeFile&) = delete;

  // Opens `name` for a new take and locks it. exclusive: only a file that does
  // not exist yet. Otherwise an existing file is emptied, unless another take
  // holds it. An open file is closed first.
  TakeClaim Open(const std::string& name, bool exclusive);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Name() const { return name_; }

  // A handle of its own on the file, for calls that close a handle when they
  // fail: closing it leaves the take's lock in place. 0 when not open.
  FileHandle Handle() const;
  // Whether the name still leads to the file opened, `size` bytes long: a file
  // deleted, replaced or cut from outside must not be written on as if whole.
  bool Intact(int64_t size) const;
  bool Sync() const;
  // Starts writing the range to disk without waiting, so that a later Sync
  // finds little left to do.
  void StartWriteback(int64_t offset, int64_t length) const;
  // Syncs and closes the file, which ends the lock. remove: deletes it first,
  // as long as the name still leads to it. False when the sync failed.
  bool Close(bool remove);

 private:
  int fd_ = -1;
  std::string name_;
};

}  // namespace lumora
