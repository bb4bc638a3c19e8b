#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/TempDir.h"
#include "formats/Wav.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Chunk;
using test::Riff;

const Bytes kFmt = Chunk("fmt ", test::FmtBody(1, 44100, 16));
const Bytes kList = Chunk("LIST", {'I', 'N', 'F', 'O', 'x'});  // odd: padded

Bytes Counting(size_t n) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(i + 1);
  return out;
}

// A 16-bit mono file, sizes right unless given.
Bytes Plain(const Bytes& samples, int64_t dataSize = -1, int64_t riffSize = -1) {
  return Riff({kFmt, Chunk("data", samples, dataSize)}, riffSize);
}

class WavChunks : public ::testing::Test {
 protected:
  // Writes the bytes, runs TrimRiff (or, with n >= 0, SetWavDataLength) and
  // returns the file as it is afterwards.
  Bytes After(const Bytes& bytes, int32_t expected, int64_t n = -1) {
    test::WriteFileBytes(path_, bytes);
    EXPECT_EQ(n < 0 ? TrimRiff(path_) : SetWavDataLength(path_, n), expected);
    return test::ReadFileBytes(path_);
  }
  // The RIFF and data size fields of a file too big to read whole.
  std::pair<uint32_t, uint32_t> Sizes() {
    Bytes head(44);
    EXPECT_EQ(ReadAt(head.data(), 44, 0, 0, path_, 1), 1);
    return {test::U32At(head, 4), test::U32At(head, 40)};
  }

  test::TempDir dir_;
  std::string path_ = dir_.file("w.wav");
};

TEST_F(WavChunks, TrimRiffMakesBothSizesAgreeWithTheFileLengthOrChangesNothing) {
  EXPECT_EQ(After(Plain({}, 1000, 5), 1), Plain({}));  // 44 bytes: RIFF 36, data 0
  EXPECT_EQ(After(Plain(Counting(100), 7, 3), 1), Plain(Counting(100)));
  // Behind a LIST chunk the data size counts from the real data offset.
  EXPECT_EQ(After(Riff({kFmt, kList, Chunk("data", Counting(100), 0)}, 0), 1),
            Riff({kFmt, kList, Chunk("data", Counting(100))}));

  Bytes short43 = Plain({}, 99, 99);
  short43.pop_back();
  EXPECT_EQ(After(short43, 0), short43);
  // An empty chunk before the data, a size running past the end, no data chunk,
  // one inside the first 36 bytes, one cut inside its size field: only the RIFF
  // size is written.
  const Bytes broken[] = {Riff({kFmt, Chunk("JUNK", {}), Chunk("data", Bytes(8), 0)}, 0),
                          Riff({kFmt, Chunk("JUNK", Bytes(4), 0xFFFFFFFF), Chunk("data", Bytes(8), 0)}, 0),
                          Riff({kFmt, Chunk("JUNK", Bytes(20))}, 0), Riff({Chunk("data", Bytes(40), 0)}, 0),
                          Riff({kFmt, Chunk("JUNK", Bytes(2)), Bytes{'d', 'a', 't', 'a', 0}}, 0)};
  for (const Bytes& bytes : broken) {
    Bytes expected = bytes;
    for (int i = 0; i < 4; ++i) expected[4 + i] = static_cast<unsigned char>((bytes.size() - 8) >> (8 * i));
    EXPECT_EQ(After(bytes, 0), expected);
  }
}

TEST_F(WavChunks, SetWavDataLengthCutsOrExtendsThePaddedDataChunk) {
  // n = 3: RIFF 40, data 3, 48 bytes; the pad keeps the byte that was there.
  EXPECT_EQ(After(Plain(Counting(20), 0, 0), 1, 3), Plain(Counting(4), 3, 40));
  Bytes longer = Plain(Counting(10), 16, 52);
  longer.insert(longer.end(), 6, 0);
  EXPECT_EQ(After(Plain(Counting(10)), 1, 16), longer);

  EXPECT_EQ(After(Plain(Counting(20)), 0, 4294967251), Plain(Counting(20)));
  const Bytes noData = Riff({kFmt, Chunk("JUNK", Bytes(20))});
  EXPECT_EQ(After(noData, 0, 4), noData);
  EXPECT_EQ(SetWavDataLength(path_, -2) + SetWavDataLength(dir_.file("missing.wav"), 4), 0);
}

// Sparse files at the largest sizes the 32-bit fields can describe, and past them.
TEST_F(WavChunks, FourGiBIsTheLimit) {
  test::WriteFileBytes(path_, Plain({}));
  ASSERT_EQ(truncate(path_.c_str(), 4294967296), 0);
  EXPECT_EQ(TrimRiff(path_), 0);
  EXPECT_EQ(Sizes(), std::pair(36u, 0u));
  ASSERT_EQ(truncate(path_.c_str(), 4294967295), 0);
  EXPECT_EQ(TrimRiff(path_), 1);
  EXPECT_EQ(Sizes(), std::pair(4294967287u, 4294967251u));

  test::WriteFileBytes(path_, Plain(Counting(20)));
  EXPECT_EQ(SetWavDataLength(path_, 4294967250), 1);
  EXPECT_EQ(FileSizeByName(path_), 44 + 4294967250);
  EXPECT_EQ(Sizes(), std::pair(4294967286u, 4294967250u));
}

// The chunk walk; a handle passed in is used and left open, and a failed read
// or write closes it and zeroes the caller's variable.
TEST_F(WavChunks, FindRifffccAndGivenHandles) {
  test::WriteFileBytes(path_, Riff({kFmt, kList, Chunk("data", Bytes(8)), Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindRifffcc(path_, "fmt "), 12);
  EXPECT_EQ(FindRifffcc(path_, "dat") + FindRifffcc(path_, "cue "), -2);
  FileHandle h = GetFH(path_, 2);
  EXPECT_EQ(FindRifffcc("", h, "data"), 50) << "behind the padded LIST chunk; the first one wins";
  EXPECT_EQ(ReadWaveFileInfo("", h).frames, 4);
  ASSERT_EQ(WriteWavHeader("", h, 44100, 16, 2, 0), 1);  // appended
  EXPECT_EQ(FileSizeOf(h), 78 + 44);
  CloseFH(h);

  FileHandle full = GetFH("/dev/full", 2);
  const int fullFd = full - 1;
  EXPECT_EQ(WriteWavHeader("/dev/full", full, 44100, 16, 2, 0), 0);
  EXPECT_EQ(full, 0);
  EXPECT_EQ(fcntl(fullFd, F_GETFD), -1) << "the caller's handle was closed";
}

}  // namespace
}  // namespace lumora
