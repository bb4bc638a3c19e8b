#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Wav.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::AppendLe;
using test::Bytes;
using test::Chunk;
using test::FmtBody;
using test::ReadFileBytes;
using test::Riff;
using test::TempDir;
using test::U32At;
using test::WriteFileBytes;

// A 16-bit mono file: plain header (data at 36) and the given sample bytes;
// size fields are right unless given.
Bytes PlainFile(const Bytes& samples, int64_t dataSizeField = -1, int64_t riffSizeField = -1) {
  return Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("data", samples, dataSizeField)}, riffSizeField);
}

Bytes Counting(size_t n) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(i + 1);
  return out;
}

Bytes WithList(const Bytes& samples) {
  return Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}),
               Chunk("data", samples, 0)},
              0);
}

// A header at the start of a sparse file of the given length.
void MakeBigWav(const std::string& path, int64_t length) {
  WriteFileBytes(path, PlainFile({}));
  ASSERT_EQ(truncate(path.c_str(), length), 0);
}

TEST(TrimRiff, MakesBothSizesAgreeWithTheFileLength) {
  TempDir dir;
  const std::string path = dir.file("t.wav");
  WriteFileBytes(path, PlainFile({}, 1000, 5));
  EXPECT_EQ(TrimRiff(path), 1);
  EXPECT_EQ(ReadFileBytes(path), PlainFile({}));  // RIFF 36, data 0

  WriteFileBytes(path, PlainFile(Counting(100), 7, 3));
  EXPECT_EQ(TrimRiff(path), 1);
  Bytes bytes = ReadFileBytes(path);
  EXPECT_EQ(U32At(bytes, 4), 136u);
  EXPECT_EQ(U32At(bytes, 40), 100u);

  // A LIST chunk (odd, padded) before the data: the data size counts from the real data offset.
  WriteFileBytes(path, WithList(Counting(100)));
  EXPECT_EQ(TrimRiff(path), 1);
  bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 158u);
  EXPECT_EQ(U32At(bytes, 4), 150u);
  EXPECT_EQ(U32At(bytes, 54), 100u);
  const test::SndfileView view = test::ReadWithSndfile(path);
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(view.frames, 50);
}

TEST(TrimRiff, ChangesNothingItCannotRepair) {
  TempDir dir;
  const std::string path = dir.file("t.wav");
  Bytes short43 = PlainFile({}, 99, 99);
  short43.pop_back();
  WriteFileBytes(path, short43);
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(ReadFileBytes(path), short43);

  // No data chunk, or one inside a minimal header: only the RIFF size is written.
  const Bytes noData = Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("JUNK", Bytes(20))}, 0);
  WriteFileBytes(path, noData);
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(U32At(ReadFileBytes(path), 4), noData.size() - 8);
  const Bytes dataFirst = Riff({Chunk("data", Bytes(40), 0)}, 0);
  WriteFileBytes(path, dataFirst);
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(U32At(ReadFileBytes(path), 16), 0u);

  // An empty chunk before the data ends the walk.
  const Bytes empty =
      Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("JUNK", {}), Chunk("data", Bytes(8), 0)}, 0);
  WriteFileBytes(path, empty);
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(U32At(ReadFileBytes(path), 48), 0u);

  // A data chunk cut inside its size field is not grown by the repair.
  WriteFileBytes(path, Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("JUNK", Bytes(2))}));
  Bytes idOnly = ReadFileBytes(path);
  idOnly.insert(idOnly.end(), {'d', 'a', 't', 'a', 0});
  WriteFileBytes(path, idOnly);
  EXPECT_EQ(TrimRiff(path), 0);
  EXPECT_EQ(ReadFileBytes(path).size(), idOnly.size());

  // A read-only handle: the failed write closes and zeroes it.
  WriteFileBytes(path, PlainFile(Counting(10)));
  FileHandle readOnly = GetFH(path, 0);
  EXPECT_EQ(TrimRiff(path, readOnly), 0);
  EXPECT_EQ(readOnly, 0);
}

TEST(TrimRiff, FilesPastFourGiBAreLeftAlone) {
  TempDir dir;
  const std::string path = dir.file("big.wav");
  MakeBigWav(path, 4294967296);
  EXPECT_EQ(TrimRiff(path), 0);
  Bytes head(44);
  ASSERT_EQ(ReadAt(head.data(), 44, 0, 0, path, 1), 1);
  EXPECT_EQ(head, PlainFile({}));

  MakeBigWav(path, 4294967295);  // the largest file the fields can describe
  EXPECT_EQ(TrimRiff(path), 1);
  ASSERT_EQ(ReadAt(head.data(), 44, 0, 0, path, 1), 1);
  EXPECT_EQ(U32At(head, 4), 4294967287u);
  EXPECT_EQ(U32At(head, 40), 4294967251u);
}

TEST(SetWavDataLength, CutsThePaddedDataChunk) {
  TempDir dir;
  const std::string path = dir.file("s.wav");
  WriteFileBytes(path, PlainFile(Counting(20), 0, 0));
  EXPECT_EQ(SetWavDataLength(path, 3), 1);
  Bytes bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(U32At(bytes, 4), 40u);
  EXPECT_EQ(U32At(bytes, 40), 3u);
  EXPECT_EQ(bytes[47], 4) << "the pad keeps the byte that was there";

  WriteFileBytes(path, PlainFile(Counting(20), 0, 0));
  EXPECT_EQ(SetWavDataLength(path, 10), 1);
  test::SndfileView view = test::ReadWithSndfile(path, true);
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(view.frames, 5);
  EXPECT_EQ(ReadFileBytes(path), PlainFile(Counting(10)));

  // Longer than the data on disk: the file grows with silence.
  EXPECT_EQ(SetWavDataLength(path, 16), 1);
  bytes = PlainFile(Counting(10), 16, 52);
  bytes.insert(bytes.end(), 6, 0);
  EXPECT_EQ(ReadFileBytes(path), bytes);

  // The chunks before the data stay; the RIFF size counts them.
  WriteFileBytes(path, WithList(Counting(30)));
  EXPECT_EQ(SetWavDataLength(path, 12), 1);
  EXPECT_EQ(ReadFileBytes(path),
            Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}),
                  Chunk("data", Counting(12))}));
  view = test::ReadWithSndfile(path);
  EXPECT_TRUE(view.strict) << view.log;
  EXPECT_EQ(view.frames, 6);
}

TEST(SetWavDataLength, RefusesWithoutTouchingTheFile) {
  TempDir dir;
  const std::string path = dir.file("s.wav");
  const Bytes original = PlainFile(Counting(20));
  WriteFileBytes(path, original);
  EXPECT_EQ(SetWavDataLength(path, 4294967251), 0);
  EXPECT_EQ(SetWavDataLength(path, -2), 0);
  EXPECT_EQ(ReadFileBytes(path), original);

  const Bytes noData = Riff({Chunk("fmt ", FmtBody(1, 44100, 16)), Chunk("JUNK", Bytes(20))});
  WriteFileBytes(path, noData);
  EXPECT_EQ(SetWavDataLength(path, 4), 0);
  EXPECT_EQ(ReadFileBytes(path), noData);
  EXPECT_EQ(SetWavDataLength(dir.file("missing.wav"), 4), 0);

  // The largest length still allowed: a sparse 4 GiB file whose sizes just fit.
  WriteFileBytes(path, original);
  EXPECT_EQ(SetWavDataLength(path, 4294967250), 1);
  EXPECT_EQ(FileSizeByName(path), 44 + 4294967250);
  Bytes head(44);
  ASSERT_EQ(ReadAt(head.data(), 44, 0, 0, path, 1), 1);
  EXPECT_EQ(U32At(head, 4), 4294967286u);
  EXPECT_EQ(U32At(head, 40), 4294967250u);
}

TEST(FindRifffcc, WalksChunksWithTheirPadBytes) {
  TempDir dir;
  const std::string path = dir.file("f.wav");
  Bytes fmt17 = FmtBody(2, 44100, 16);
  fmt17.push_back(0);
  WriteFileBytes(path, Riff({Chunk("fmt ", fmt17), Chunk("data", Bytes(8)), Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindRifffcc(path, "fmt "), 12);
  EXPECT_EQ(FindRifffcc(path, "data"), 38);  // 12 + 8 + 17 + 1
  EXPECT_EQ(FindRifffcc(path, "cue "), -1);
  EXPECT_EQ(FindRifffcc(path, "dat"), -1);
  EXPECT_EQ(FindRifffcc(path, "RIFF"), -1) << "the walk starts behind the form type";

  FileHandle h = GetFH(path, 0);
  EXPECT_EQ(FindRifffcc(path, h, "data"), 38);
  EXPECT_NE(h, 0);
  EXPECT_NE(fcntl(h - 1, F_GETFD), -1) << "a given handle stays open";
  CloseFH(h);

  // An empty chunk, a size running past the end, a cut id: not found, no hang.
  WriteFileBytes(path, Riff({Chunk("JUNK", {}), Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindRifffcc(path, "data"), -1);
  WriteFileBytes(path, Riff({Chunk("JUNK", Bytes(4), 0xFFFFFFFF), Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindRifffcc(path, "data"), -1);
  WriteFileBytes(path, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't'});
  EXPECT_EQ(FindRifffcc(path, "dat\0"), -1);
  EXPECT_EQ(FindRifffcc(path, "data"), -1);
  EXPECT_EQ(FindRifffcc(dir.file("missing"), "data"), -1);
}

}  // namespace
}  // namespace lumora
