#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <random>

#include "common/TempDir.h"
#include "formats/Wav.h"
#include "support/SampleFormat.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Chunk;
using test::FmtBody;
using test::Riff;
using test::TempDir;

// Reads the bytes from an in-memory file through a handle: thousands of cases
// without touching the disk.
WaveFileInfo InfoOf(const Bytes& bytes) {
  const int fd = memfd_create("wav", MFD_CLOEXEC);
  EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  FileHandle h = fd + 1;
  const WaveFileInfo info = ReadWaveFileInfo("", h);
  CloseFH(h);
  return info;
}

TEST(ReadWaveFileInfo, DescribesAFileFieldByField) {
  Bytes fmt = FmtBody(2, 48000, 16, 3);
  fmt[12] = 99;  // the file's own block align is not trusted
  const Bytes file = Riff({Chunk("fmt ", fmt), Chunk("LIST", Bytes(5)), Chunk("data", Bytes(400))});
  const int64_t size = static_cast<int64_t>(file.size());
  // 100 frames, 48000 Hz, 16 bit, 2 channels, block align 4, data at 12 + 24 + (8 + 5 + 1) + 8,
  // 400 data bytes, the file's size, index 3, 2.083 ms, the tag as found.
  EXPECT_EQ(InfoOf(file), (WaveFileInfo{1, 100, 48000, 16, 2, 4, 58, 400, size, 3, 2, 3}));

  // Data before fmt, and an empty chunk between them that is simply stepped over.
  const WaveFileInfo early =
      InfoOf(Riff({Chunk("data", Bytes(6)), Chunk("JUNK", {}), Chunk("fmt ", FmtBody(1, 8000, 8))}));
  EXPECT_EQ(early.valid, 1);
  EXPECT_EQ(early.dataOffset, 20);
  EXPECT_EQ(early.frames, 6);
}

TEST(ReadWaveFileInfo, OnlyTheProgramsLayoutsAreUsable) {
  struct Layout {
    uint32_t channels, bits;
    int32_t index;  // -1: unusable
  };
  const Layout layouts[] = {{1, 8, 0},   {2, 8, 1},   {1, 16, 2},     {2, 16, 3}, {1, 24, 4},  {2, 24, 5},
                            {6, 16, 6},  {8, 16, 7},  {6, 24, 8},     {8, 24, 9}, {4, 16, -1}, {3, 24, -1},
                            {5, 16, -1}, {7, 16, -1}, {6, 8, -1},     {8, 8, -1}, {2, 32, -1}, {0, 16, -1},
                            {9, 16, -1}, {1, 12, -1}, {65535, 16, -1}};
  for (const Layout& l : layouts) {
    SCOPED_TRACE(testing::Message() << l.channels << " ch " << l.bits << " bit");
    const WaveFileInfo info =
        InfoOf(Riff({Chunk("fmt ", FmtBody(l.channels, 44100, l.bits)), Chunk("data", Bytes(48))}));
    EXPECT_EQ(info.valid ? info.formatIndex : -1, l.index);
    EXPECT_EQ(info.frames, info.valid ? 48 / static_cast<int32_t>(l.channels * l.bits / 8) : info.frames);
  }
}

TEST(ReadWaveFileInfo, SizesComeFromTheHeaderAndDurationsRoundHalfToEven) {
  auto claimed = [&](uint32_t rate, uint32_t bits, int64_t dataSize, size_t onDisk) {
    return InfoOf(Riff({Chunk("fmt ", FmtBody(1, rate, bits)), Chunk("data", Bytes(onDisk), dataSize)}));
  };
  EXPECT_EQ(claimed(44100, 16, 1000, 10).frames, 500) << "a claim beyond the file is reported";
  EXPECT_EQ(claimed(44100, 16, 10, 1000).frames, 5) << "an unrepaired file reports its header";
  const WaveFileInfo capped = claimed(8000, 8, 0xFFFFFFFF, 4);
  EXPECT_EQ(capped.dataSize, 4294967295);
  EXPECT_EQ(capped.frames, 2147483647);
  EXPECT_EQ(capped.durationMs, 268435456);

  struct Case {
    uint32_t rate;
    int64_t frames;
    int32_t ms;
  };
  const Case cases[] = {
      {44100, 44100, 1000}, {2000, 1, 0}, {2000, 3, 2}, {2000, 5, 2}, {1, 2147483647, 2147483647}};
  for (const Case& c : cases) {
    EXPECT_EQ(claimed(c.rate, 8, c.frames, 0).durationMs, c.ms) << c.frames << " frames at " << c.rate;
  }
  EXPECT_EQ(claimed(0, 16, 100, 100).valid, 0) << "no duration without a rate";
  EXPECT_EQ(claimed(0x80000000, 16, 100, 100).valid, 0);
}

TEST(ReadWaveFileInfo, BrokenFilesGiveAnInvalidRecord) {
  TempDir dir;
  EXPECT_EQ(ReadWaveFileInfo(dir.file("missing.wav")).valid, 0);
  EXPECT_EQ(ReadWaveFileInfo(dir.path().string()).valid, 0);
  // Every cut of a good file: usable once the data chunk's id is there.
  const Bytes good = Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("data", Bytes(20))});
  for (size_t length = 0; length <= good.size(); ++length) {
    const WaveFileInfo info = InfoOf(Bytes(good.begin(), good.begin() + static_cast<ptrdiff_t>(length)));
    EXPECT_EQ(info.valid, length >= 40 ? 1 : 0) << length;
    EXPECT_EQ(info.frames, length >= 44 ? 10 : info.frames) << length;
  }
  // Sizes that overflow 32-bit arithmetic or point far past the end.
  const Bytes fmt = Chunk("fmt ", FmtBody(1, 8000, 8));
  EXPECT_EQ(InfoOf(Riff({Chunk("JUNK", Bytes(4), 0xFFFFFFFF), fmt, Chunk("data", Bytes(4))})).valid, 0);
  EXPECT_EQ(InfoOf(Riff({Chunk("fmt ", FmtBody(1, 8000, 8), 0xFFFFFFFE)})).valid, 0);
}

// A fmt and a data chunk in either order, maybe a third chunk, then a few
// damaged bytes and sometimes a cut; every fourth file is noise.
TEST(ReadWaveFileInfo, DamagedAndRandomFilesNeverDescribeTheImpossible) {
  std::mt19937 rng(20240611);
  const uint32_t channels[] = {1, 2, 6, 8, 3}, bits[] = {8, 16, 24, 32};
  int valid = 0;
  for (int round = 0; round < 1000; ++round) {
    std::vector<Bytes> chunks{
        Chunk("fmt ", FmtBody(channels[rng() % 5], rng() % 4 ? 44100 : rng(), bits[rng() % 4])),
        Chunk("data", Bytes(rng() % 64))};
    if (rng() % 2) std::swap(chunks[0], chunks[1]);
    if (rng() % 2)
      chunks.insert(chunks.begin() + rng() % 3, Chunk(rng() % 2 ? "LIST" : "fmt ", Bytes(rng() % 9)));
    Bytes file = Riff(chunks);
    for (unsigned flips = rng() % 4; flips > 0; --flips)
      file[rng() % file.size()] = static_cast<uint8_t>(rng());
    if (rng() % 4 == 0) file.resize(rng() % file.size());
    if (round % 4 == 0) std::generate(file.begin(), file.end(), [&] { return static_cast<uint8_t>(rng()); });
    const WaveFileInfo info = InfoOf(file);
    if (!info.valid) continue;
    ++valid;
    ASSERT_EQ(info.formatIndex, FormatIndexOf(info.channels, info.bitsPerSample));
    ASSERT_GT(info.sampleRate, 0);
    ASSERT_EQ(info.fileSize, static_cast<int64_t>(file.size()));
    ASSERT_EQ(info.frames, std::min<int64_t>(info.dataSize / info.blockAlign, 2147483647));
  }
  EXPECT_GT(valid, 100) << "the generator should also make usable files";
}

}  // namespace
}  // namespace lumora
