#include "formats/MpegFileReader.h"

namespace lumora {

MpegFileReader::MpegFileReader(const std::string& path, FileHandle& handle)
    : path_(path), handle_(handle != 0 ? handle : own_.value) {
  if (handle_ == 0) handle_ = GetFH(path_, 0);
}

int64_t MpegFileReader::Size() const { return handle_ == 0 ? -1 : FileSizeOf(handle_); }

bool MpegFileReader::Read(int64_t offset, int64_t count, std::vector<uint8_t>& bytes) {
  bytes.assign(static_cast<size_t>(count), 0);
  if (handle_ == 0) return false;
  // The file layer closes the handle when the read fails; forget it then.
  handle_ = ReadAt(bytes.data(), count, offset, handle_, path_, 0);
  return handle_ != 0;
}

}  // namespace lumora
