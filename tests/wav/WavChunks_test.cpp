#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Wav.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Chunk;
using test::FmtBody;
using test::ReadFileBytes;
using test::Riff;
using test::TempDir;
using test::U32At;
using test::WriteFileBytes;

const Bytes kFmt = Chunk("fmt ", FmtBody(1, 44100, 16));
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

// Writes the bytes, runs TrimRiff (or, with n >= 0 given, SetWavDataLength) and
// returns the file as it is afterwards.
Bytes After(TempDir& dir, const Bytes& bytes, int32_t expected, int64_t n = -1) {
  const std::string path = dir.file("w.wav");
  WriteFileBytes(path, bytes);
  EXPECT_EQ(n < 0 ? TrimRiff(path) : SetWavDataLength(path, n), expected);
  return ReadFileBytes(path);
}

// The first 44 bytes of a file too big to read whole.
Bytes Head(const std::string& path) {
  Bytes head(44);
  EXPECT_EQ(ReadAt(head.data(), 44, 0, 0, path, 1), 1);
  return head;
}

TEST(TrimRiff, MakesBothSizesAgreeWithTheFileLength) {
  TempDir dir;
  EXPECT_EQ(After(dir, Plain({}, 1000, 5), 1), Plain({}));  // 44 bytes: RIFF 36, data 0
  EXPECT_EQ(After(dir, Plain(Counting(100), 7, 3), 1), Plain(Counting(100)));
  // Behind a LIST chunk the data size counts from the real data offset.
  EXPECT_EQ(After(dir, Riff({kFmt, kList, Chunk("data", Counting(100), 0)}, 0), 1),
            Riff({kFmt, kList, Chunk("data", Counting(100))}));
  const test::SndfileView view = test::ReadWithSndfile(dir.file("w.wav"));
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(view.frames, 50);
}

TEST(TrimRiff, ChangesNothingItCannotRepair) {
  TempDir dir;
  Bytes short43 = Plain({}, 99, 99);
  short43.pop_back();
  EXPECT_EQ(After(dir, short43, 0), short43);
  // An empty chunk before the data, no data chunk, one inside the first 36
  // bytes, one cut inside its size field: only the RIFF size is written.
  const Bytes broken[] = {Riff({kFmt, Chunk("JUNK", {}), Chunk("data", Bytes(8), 0)}, 0),
                          Riff({kFmt, Chunk("JUNK", Bytes(20))}, 0), Riff({Chunk("data", Bytes(40), 0)}, 0),
                          Riff({kFmt, Chunk("JUNK", Bytes(2)), Bytes{'d', 'a', 't', 'a', 0}}, 0)};
  for (const Bytes& bytes : broken) {
    Bytes expected = bytes;
    for (int i = 0; i < 4; ++i) expected[4 + i] = static_cast<unsigned char>((bytes.size() - 8) >> (8 * i));
    EXPECT_EQ(After(dir, bytes, 0), expected);
  }
  // A read-only handle: the failed write closes and zeroes it.
  FileHandle readOnly = GetFH(dir.file("w.wav"), 0);
  EXPECT_EQ(TrimRiff("", readOnly), 0);
  EXPECT_EQ(readOnly, 0);
}

TEST(TrimRiff, FilesPastFourGiBAreLeftAlone) {
  TempDir dir;
  const std::string path = dir.file("big.wav");
  WriteFileBytes(path, Plain({}));
  ASSERT_EQ(truncate(path.c_str(), 4294967296), 0);  // sparse
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(Head(path), Plain({}));
  ASSERT_EQ(truncate(path.c_str(), 4294967295), 0);  // the largest the fields can describe
  EXPECT_EQ(TrimRiff(path), 1);
  EXPECT_EQ(U32At(Head(path), 4), 4294967287u);
  EXPECT_EQ(U32At(Head(path), 40), 4294967251u);
}

TEST(SetWavDataLength, CutsOrExtendsThePaddedDataChunk) {
  TempDir dir;
  // n = 3: RIFF 40, data 3, 48 bytes; the pad keeps the byte that was there.
  EXPECT_EQ(After(dir, Plain(Counting(20), 0, 0), 1, 3), Plain(Counting(4), 3, 40));
  EXPECT_EQ(After(dir, Plain(Counting(20), 0, 0), 1, 10), Plain(Counting(10)));
  Bytes longer = Plain(Counting(10), 16, 52);
  longer.insert(longer.end(), 6, 0);
  EXPECT_EQ(After(dir, Plain(Counting(10)), 1, 16), longer);
  EXPECT_EQ(After(dir, Riff({kFmt, kList, Chunk("data", Counting(30), 0)}, 0), 1, 12),
            Riff({kFmt, kList, Chunk("data", Counting(12))}));
  const test::SndfileView view = test::ReadWithSndfile(dir.file("w.wav"));
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(view.frames, 6);
}

TEST(SetWavDataLength, RefusesWithoutTouchingTheFile) {
  TempDir dir;
  EXPECT_EQ(After(dir, Plain(Counting(20)), 0, 4294967251), Plain(Counting(20)));
  const Bytes noData = Riff({kFmt, Chunk("JUNK", Bytes(20))});
  EXPECT_EQ(After(dir, noData, 0, 4), noData);
  EXPECT_EQ(SetWavDataLength(dir.file("w.wav"), -2), 0);
  EXPECT_EQ(SetWavDataLength(dir.file("missing.wav"), 4), 0);
  // The largest length allowed: a sparse 4 GiB file whose sizes just fit.
  const std::string path = dir.file("big.wav");
  WriteFileBytes(path, Plain(Counting(20)));
  EXPECT_EQ(SetWavDataLength(path, 4294967250), 1);
  EXPECT_EQ(FileSizeByName(path), 44 + 4294967250);
  EXPECT_EQ(U32At(Head(path), 4), 4294967286u);
  EXPECT_EQ(U32At(Head(path), 40), 4294967250u);
}

TEST(FindRifffcc, WalksChunksWithTheirPadBytes) {
  TempDir dir;
  const std::string path = dir.file("f.wav");
  Bytes fmt17 = FmtBody(2, 44100, 16);
  fmt17.push_back(0);
  WriteFileBytes(path, Riff({Chunk("fmt ", fmt17), Chunk("data", Bytes(8)), Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindRifffcc(path, "fmt "), 12);
  EXPECT_EQ(FindRifffcc(path, "data"), 38);  // 12 + 8 + 17 + 1; the first one wins
  EXPECT_EQ(FindRifffcc(path, "cue "), -1);
  EXPECT_EQ(FindRifffcc(path, "dat"), -1);
  FileHandle h = GetFH(path, 0);
  EXPECT_EQ(FindRifffcc("", h, "data"), 38);
  EXPECT_NE(fcntl(h - 1, F_GETFD), -1) << "a given handle stays open";
  CloseFH(h);

  // An empty chunk, a size running past the end, a cut id: not found, no hang.
  const Bytes broken[] = {Riff({Chunk("JUNK", {}), Chunk("data", Bytes(4))}),
                          Riff({Chunk("JUNK", Bytes(4), 0xFFFFFFFF), Chunk("data", Bytes(4))}),
                          Riff({Bytes{'d', 'a', 't'}})};
  for (const Bytes& bytes : broken) {
    WriteFileBytes(path, bytes);
    EXPECT_EQ(FindRifffcc(path, "data"), -1);
  }
  EXPECT_EQ(FindRifffcc(dir.file("missing"), "data"), -1);
}

}  // namespace
}  // namespace lumora
