#pragma once
// The disk writer of a take: captured (or encoded) bytes are collected in a
// staging buffer of about three seconds and appended to the file in large
// blocks. After every append of a WAV take the header sizes are repaired, so
// the file on disk is a complete WAV file at all times; the audio is synced
// before the header that counts it, and the header after it, so a power cut
// keeps what the last synced flush wrote.

#include <cstdint>
#include <string>
#include <vector>

#include "recording/TakeFile.h"
#include "support/SampleFormat.h"

namespace lumora {

// Frame counters of the take that the writer reads and moves on.
struct TakeCounters {
  int64_t FramesWritten = 0;  // frames handed to the writer in this take
  int64_t FramesFlushed = 0;  // FramesWritten at the last completed flush
};

class DiskWriter {
 public:
  explicit DiskWriter(TakeCounters& counters) : counters_(counters) {}

  // (Re)allocates the staging for a capacity in bytes, empty and detached from
  // any file. wavMode: repair the WAV header after each flush. Throws
  // std::bad_alloc when the machine cannot hold the staging.
  void Setup(int64_t stageCapacity, bool wavMode);

  // Claims the take's file (TakeFile::Open) and in WAV mode writes its header
  // for `format` with data size 0. A header that cannot be written is kFailed,
  // and the file is removed again. Flushes go to this file only.
  TakeClaim OpenFile(const std::string& name, bool exclusive, const SampleFormat& format);
  // Whether the take's file is still there, its own, as long as the flushes left it.
  bool FileIntact() const { return file_.Intact(fileSize_); }
  // Syncs and closes the take's file; remove: deletes it. False when the sync
  // failed.
  bool CloseFile(bool remove) { return file_.Close(remove); }

  // Stages length bytes for fileName (empty: the current file), flushing the
  // staged bytes first when the file changes, flush is 1, or the staging would
  // reach its capacity. Returns 1 when accepted; 0 when refused (length larger
  // than the staging, a non-null source with length < 1) or when a flush could
  // not append: the file is then put back as it was before that flush, still a
  // valid file of everything written before, and the staged bytes are gone. A
  // flush also fails, without touching any file, when the take's file was
  // deleted, replaced or cut from outside. Syncs at most once a second of real
  // time (a fast run flushes hundreds of times a second), never on flush 1: the
  // stop syncs at the close, once, after its cut back, so the silence it cuts
  // away never reaches the disk.
  int32_t WriteDiskBuffer(const uint8_t* source, int64_t length, const std::string& fileName, int32_t flush);

  const std::string& StageFile() const { return stageFile_; }
  int64_t StagedBytes() const { return stagedBytes_; }

 private:
  bool FlushStaged(bool final);
  bool SyncDue();

  TakeCounters& counters_;
  std::vector<uint8_t> stageBuffer_;
  std::string stageFile_;
  int64_t stagedBytes_ = 0;
  int64_t stageCapacity_ = 0;
  bool wavMode_ = true;
  TakeFile file_;
  int64_t fileSize_ = 0;        // the take's file as the last flush left it
  double lastSync_ = -1.0e9;  // steady-clock seconds
};

// Cuts (or extends) a file to size bytes, creating it when missing. 1 on
// success; 0 when size is over 2^32 - 2 or the file cannot be opened or cut.
int32_t SetFileSize(const std::string& name, int64_t size);

}  // namespace lumora
