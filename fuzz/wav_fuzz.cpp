// Feeds arbitrary bytes to the WAV reader, the chunk walk and the size repair
// through an in-memory file: none may crash, hang or read out of bounds, and
// what they report must be consistent with the bytes.
//   wav_fuzz -max_total_time=60 -max_len=512 CORPUS_DIR fuzz/corpus/wav

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/Wav.h"
#include "support/SampleFormat.h"

namespace {

using lumora::FileHandle;

// A handle of our own on the same in-memory file; a failed read may close it.
FileHandle HandleOn(int fd) { return dup(fd) + 1; }

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckInfo(int fd, int64_t length) {
  FileHandle h = HandleOn(fd);
  const lumora::WaveFileInfo info = lumora::ReadWaveFileInfo("", h);
  lumora::CloseFH(h);
  if (!info.valid) return;
  Check(info.formatIndex == lumora::FormatIndexOf(info.channels, info.bitsPerSample));
  Check(info.sampleRate > 0 && info.blockAlign > 0 && info.fileSize == length);
  Check(info.dataOffset >= 20 && info.dataOffset <= length + 4);
  Check(info.dataSize <= std::max<int64_t>(0, length - info.dataOffset));
}

void CheckWalk(int fd, int64_t length) {
  for (const char* id : {"fmt ", "data", "LIST"}) {
    FileHandle h = HandleOn(fd);
    const int64_t offset = lumora::FindRifffcc("", h, id);
    lumora::CloseFH(h);
    Check(offset == -1 || (offset >= 12 && offset + 4 <= length));
  }
}

void CheckRepair(int fd, int64_t length) {
  FileHandle h = HandleOn(fd);
  const int32_t repaired = lumora::TrimRiff("", h);
  Check(lumora::FileSizeOf(h) == length);  // a repair never grows or cuts the file
  lumora::CloseFH(h);
  Check(repaired == 0 || length >= 44);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("wav", MFD_CLOEXEC);
  if (fd < 0) return 0;
  const auto length = static_cast<int64_t>(size);
  if (write(fd, data, size) == static_cast<ssize_t>(size)) {
    CheckInfo(fd, length);
    CheckWalk(fd, length);
    CheckRepair(fd, length);
  }
  close(fd);
  return 0;
}
