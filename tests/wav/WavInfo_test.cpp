#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <tuple>

#include "common/TempDir.h"
#include "formats/Wav.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Chunk;
using test::FmtBody;
using test::Riff;

// Reads the bytes (and a sparse tail up to `length`) from an in-memory file.
WaveFileInfo InfoOf(const Bytes& bytes, int64_t length = 0) {
  const int fd = memfd_create("wav", MFD_CLOEXEC);
  EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  if (length > 0) {
    EXPECT_EQ(ftruncate(fd, length), 0);
  }
  FileHandle h = fd + 1;
  const WaveFileInfo info = ReadWaveFileInfo("", h);
  CloseFH(h);
  return info;
}

TEST(ReadWaveFileInfo, DescribesAFileFieldByField) {
  Bytes fmt = FmtBody(2, 48000, 16);
  fmt[12] = 99;  // the file's own block align is not trusted
  const Bytes file = Riff({Chunk("fmt ", fmt), Chunk("LIST", Bytes(5)), Chunk("data", Bytes(400))});
  const int64_t size = static_cast<int64_t>(file.size());
  // 100 frames, 48000 Hz, 16 bit, 2 channels, block align 4, data at 12 + 24 + (8 + 5 + 1) + 8,
  // 400 data bytes, the file's size, index 3, 2.083 ms, PCM.
  EXPECT_EQ(InfoOf(file), (WaveFileInfo{1, 100, 48000, 16, 2, 4, 58, 400, size, 3, 2, 1}));

  // Data before fmt, and an empty chunk between them that is simply stepped over.
  const WaveFileInfo early =
      InfoOf(Riff({Chunk("data", Bytes(6)), Chunk("JUNK", {}), Chunk("fmt ", FmtBody(1, 8000, 8))}));
  EXPECT_EQ(std::tuple(early.valid, early.dataOffset, early.frames), std::tuple(1, 20, 6));
}

// Only PCM in the program's channel and bit layouts: other encodings would play as noise.
TEST(ReadWaveFileInfo, OnlyPcmInTheProgramsLayoutsIsUsable) {
  const struct {
    uint32_t channels, bits;
    int32_t index;  // -1: unusable
  } layouts[] = {{2, 8, 1}, {8, 16, 7}, {4, 16, -1}, {2, 32, -1}, {0, 16, -1}, {9, 16, -1}};
  for (const auto& l : layouts) {
    const WaveFileInfo info =
        InfoOf(Riff({Chunk("fmt ", FmtBody(l.channels, 44100, l.bits)), Chunk("data", Bytes(48))}));
    EXPECT_EQ(info.valid ? info.formatIndex : -1, l.index) << l.channels << " ch " << l.bits << " bit";
  }

  Bytes extensible = FmtBody(6, 48000, 16, 0xFFFE);
  test::AppendLe(extensible, 22, 2), test::AppendLe(extensible, 16, 2), test::AppendLe(extensible, 0x3F, 4);
  extensible.insert(extensible.end(), {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  Bytes floats = extensible;
  floats[24] = 3;
  const struct {
    Bytes fmt;
    int32_t valid;
  } tags[] = {{extensible, 1},
              {floats, 0},
              {FmtBody(6, 48000, 16, 0xFFFE), 0},  // no room for a sub-format
              {FmtBody(1, 8000, 16, 3), 0},        // float
              {FmtBody(1, 8000, 8, 6), 0}};        // a-law
  for (const auto& t : tags) {
    EXPECT_EQ(InfoOf(Riff({Chunk("fmt ", t.fmt), Chunk("data", Bytes(48))})).valid, t.valid)
        << "tag " << test::U32At(t.fmt, 0) % 65536 << " " << t.fmt.size() << " bytes";
  }
}

// A cut file, or one written to a pipe with sizes of 0xFFFFFFFF, holds less
// than its header claims; a file whose repair was interrupted holds more.
TEST(ReadWaveFileInfo, TheFileBoundsTheDataAndDurationsRoundHalfToEven) {
  auto claimed = [&](uint32_t rate, int64_t dataSize, size_t onDisk, int64_t sparseLength = 0) {
    return InfoOf(Riff({Chunk("fmt ", FmtBody(1, rate, 8)), Chunk("data", Bytes(onDisk), dataSize)}),
                  sparseLength);
  };
  EXPECT_EQ(claimed(44100, 1000, 10).frames, 10);
  EXPECT_EQ(claimed(44100, 0xFFFFFFFF, 10).dataSize, 10);
  EXPECT_EQ(claimed(44100, 10, 1000).frames, 10);  // an interrupted repair
  const WaveFileInfo capped = claimed(8000, 0xFFFFFFFF, 0, 44 + 0xFFFFFFFFll);
  EXPECT_EQ(capped.dataSize, 4294967295);
  EXPECT_EQ(capped.frames, 2147483647);
  EXPECT_EQ(capped.durationMs, 268435456);

  const struct {
    uint32_t rate;
    size_t frames;
    int32_t ms;
  } durations[] = {{2000, 1, 0}, {2000, 3, 2}, {2000, 5, 2}};
  for (const auto& d : durations) {
    EXPECT_EQ(claimed(d.rate, -1, d.frames).durationMs, d.ms) << d.frames << " frames at " << d.rate;
  }
  EXPECT_EQ(claimed(0, -1, 100).valid, 0) << "no duration without a rate";
  EXPECT_EQ(claimed(0x80000000, -1, 100).valid, 0);
}

TEST(ReadWaveFileInfo, BrokenFilesGiveAnInvalidRecord) {
  test::TempDir dir;
  EXPECT_EQ(ReadWaveFileInfo(dir.file("missing.wav")).valid, 0);
  EXPECT_EQ(ReadWaveFileInfo(dir.path().string()).valid, 0);
  // Every cut of a good file: usable once the data chunk's id is there.
  const Bytes good = Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("data", Bytes(20))});
  for (size_t length = 0; length <= good.size(); ++length) {
    const WaveFileInfo info = InfoOf(Bytes(good.begin(), good.begin() + static_cast<ptrdiff_t>(length)));
    EXPECT_EQ(info.valid, length >= 40 ? 1 : 0) << length;
    EXPECT_EQ(info.frames, length >= 44 ? static_cast<int32_t>(length - 44) / 2 : info.frames) << length;
  }
  Bytes notRiff = good, notWave = good;
  notRiff[3] = 'X';
  notWave[8] = 'A';
  const Bytes fmt = Chunk("fmt ", FmtBody(1, 8000, 8));
  for (const Bytes& bytes : {notRiff, notWave, Riff({fmt, Chunk("LIST", Bytes(40))}),
                             // sizes that overflow 32-bit arithmetic or point far past the end
                             Riff({Chunk("JUNK", Bytes(4), 0xFFFFFFFF), fmt, Chunk("data", Bytes(4))}),
                             Riff({Chunk("fmt ", FmtBody(1, 8000, 8), 0xFFFFFFFE)})}) {
    EXPECT_EQ(InfoOf(bytes).valid, 0) << bytes.size() << " bytes";
  }
}

}  // namespace
}  // namespace lumora
