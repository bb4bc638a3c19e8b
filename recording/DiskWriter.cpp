#include "recording/DiskWriter.h"

#include <chrono>
#include <cstring>

#include "formats/FileHandle.h"
#include "formats/Wav.h"
#include "support/Log.h"

namespace lumora {

void DiskWriter::Setup(int64_t stageCapacity, bool wavMode) {
  stageCapacity_ = stageCapacity;
  // 1025 spare bytes, as the staging always had: a margin for the encoder's
  // output, which is not a whole number of buffers.
  stageBuffer_.assign(static_cast<size_t>(stageCapacity + 1025), 0);
  stagedBytes_ = 0;
  stageFile_.clear();
  wavMode_ = wavMode;
}

int32_t DiskWriter::WriteDiskBuffer(const uint8_t* source, int64_t length, const std::string& fileName,
                                    int32_t flush) {
  if (length > stageCapacity_) {
    Log("WriteDiskBuffer err1a  FN=" + stageFile_ + "pLen=" + std::to_string(length), 1);
    return 0;
  }
  if (source && length < 1) {
    Log("WriteDiskBuffer err1b  FN=" + stageFile_ + "pLen=" + std::to_string(length) +
            " pSrcVar=" + std::to_string(reinterpret_cast<uintptr_t>(source)),
        1);
    return 0;
  }
  const bool due = fileName != stageFile_ || flush == 1 || stagedBytes_ + length >= stageCapacity_;
  if (!stageFile_.empty() && stagedBytes_ >= 1 && due && !FlushStaged(flush == 1)) return 0;
  if (!fileName.empty()) stageFile_ = fileName;
  if (source && length > 0) {
    std::memcpy(stageBuffer_.data() + stagedBytes_, source, static_cast<size_t>(length));
    stagedBytes_ += length;
  }
  return 1;
}

TakeClaim DiskWriter::OpenFile(const std::string& name, bool exclusive, const SampleFormat& format) {
  const TakeClaim claim = file_.Open(name, exclusive);
  if (claim != TakeClaim::kClaimed) return claim;
  FileHandle handle = file_.Handle();
  fileSize_ = 0;
  if (wavMode_ && WriteWavHeader(name, handle, format.nFreq, format.nBit, format.nCh, 0) != 1) {
    CloseFH(handle);
    file_.Close(true);  // a full disk at the start leaves nothing behind
    return TakeClaim::kFailed;
  }
  fileSize_ = handle ? FileSizeOf(handle) : 0;
  CloseFH(handle);
  return TakeClaim::kClaimed;
}

bool DiskWriter::FlushStaged(bool final) {
  const int64_t staged = stagedBytes_;
  stagedBytes_ = 0;
  if (stageFile_ != file_.Name() || !file_.Intact(fileSize_)) {
    Log("WriteDiskBuffer err3  FN=" + stageFile_ + " (not the take's file as it was left)", 1);
    return false;
  }
  FileHandle handle = file_.Handle();
  if (handle) handle = WriteMemToFileEX(stageBuffer_.data(), staged, -1, handle, stageFile_, 0);
  const bool sync = !final && SyncDue();
  if (!handle || (sync && !file_.Sync())) {
    Log("WriteDiskBuffer err2  FN=" + stageFile_ + " CurrentSize=" + std::to_string(staged), 1);
    CloseFH(handle);
    // A partial append (a full disk) would leave a torn frame behind the data:
    // put the file back to its last good length so it stays a valid file.
    SetFileSize(stageFile_, fileSize_);
    if (wavMode_) TrimRiff(stageFile_);
    return false;
  }
  if (wavMode_) TrimRiff(stageFile_, handle);
  if (sync) {
    file_.Sync();
  } else {
    file_.StartWriteback(fileSize_, staged);
  }
  CloseFH(handle);
  fileSize_ += staged;
  counters_.FramesFlushed = counters_.FramesWritten;
  return true;
}

bool DiskWriter::SyncDue() {
  const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  if (now - lastSync_ < 1.0) return false;
  lastSync_ = now;
  return true;
}

int32_t SetFileSize(const std::string& name, int64_t size) {
  if (size > 4294967294LL || size < 0) return 0;
  FileHandle handle = GetFH(name, 1);
  if (!handle) return 0;
  const int32_t result = SeekAt(handle, size) == 0 ? SetEndOfFile(handle) : 0;
  CloseFH(handle);
  return result;
}

}  // namespace lumora
