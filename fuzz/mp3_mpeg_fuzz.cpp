// Feeds arbitrary bytes to the MPEG header parser and the frame-sync search
// through an in-memory file: neither may crash, hang or read out of bounds, and
// a record they accept must describe data that lies inside the file.
//   mp3_mpeg_fuzz -max_total_time=60 -max_len=4096 CORPUS_DIR

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/Mpeg.h"

namespace {

using lumora::FileHandle;
using lumora::MpegInfo;

void Check(bool condition) {
  if (!condition) std::abort();
}

// A handle of our own on the in-memory file; a failed read may close it.
FileHandle HandleOn(int fd) { return dup(fd) + 1; }

uint8_t ByteAt(int fd, int64_t position) {
  uint8_t byte = 0;
  Check(pread(fd, &byte, 1, position - 1) == 1);
  return byte;
}

void CheckRecord(const MpegInfo& info, int64_t length) {
  Check(info.FileSize == length);
  Check(info.FirstFrame >= 1 && info.FirstFrame <= length);
  Check(info.DataLength >= 1 && info.DataEnd == info.FirstFrame + info.DataLength - 1 &&
        info.DataEnd <= length);
  Check(info.Layer >= 1 && info.Layer <= 3 && info.Bitrate > 0 && info.SampleRate >= 8000);
  Check(info.Channels == (info.ChannelMode == 3 ? 1 : 2));
  Check(info.ChunkBytes > 0 && info.DurationMs >= 0 && !info.LongText.empty() && !info.ShortText.empty());
}

void CheckFrameSync(int fd, const MpegInfo& info) {
  for (const int64_t position : {int64_t{0}, info.FirstFrame + 1, info.DataEnd / 2, info.DataEnd}) {
    FileHandle h = HandleOn(fd);
    const int64_t found = lumora::FindFrameSync("", position, info, h);
    lumora::CloseFH(h);
    Check(found >= info.FirstFrame && found <= info.DataEnd + 1);
    if (found <= info.DataEnd) Check(ByteAt(fd, found) == 0xFF);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("mpeg", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (write(fd, data, size) == static_cast<ssize_t>(size)) {
    // The name decides whether 0xFF 0xFF may start a frame.
    for (const char* name : {"take.mp3", "take.bin"}) {
      for (int32_t streamStart : {0, 1}) {
        MpegInfo info;
        FileHandle h = HandleOn(fd);
        const int32_t parsed = lumora::ParseMpegFile(name, streamStart, h, info);
        lumora::CloseFH(h);
        if (parsed == 0) continue;
        CheckRecord(info, static_cast<int64_t>(size));
        CheckFrameSync(fd, info);
      }
    }
  }
  close(fd);
  return 0;
}
