// WAV files written (fresh headers, the sizes repaired after each block, the
// cut back, the chunk walk, the 4 GiB limit) and read (ReadWaveFileInfo).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <tuple>

#include "common/Pcm.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Wav.h"
#include "support/SampleFormat.h"

namespace lumora {
namespace {

// Hand-built RIFF files: chunks with any size field, so that broken and unusual
// layouts can be fed on purpose.
using Bytes = std::vector<unsigned char>;

void AppendLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

uint32_t U32At(const Bytes& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | bytes.at(offset + static_cast<size_t>(i));
  return v;
}

// "52 49 46 46" -> {0x52, 0x49, 0x46, 0x46}
Bytes Hex(const std::string& text) {
  Bytes out;
  unsigned value = 0;
  int consumed = 0;
  for (const char* p = text.c_str(); std::sscanf(p, "%2x%n", &value, &consumed) == 1; p += consumed)
    out.push_back(static_cast<unsigned char>(value));
  return out;
}

// A chunk: id, size field (the body's length unless given), body, pad byte when odd.
Bytes Chunk(const std::string& id, const Bytes& body, int64_t sizeField = -1) {
  Bytes out(id.begin(), id.end());
  AppendLe(out, static_cast<uint32_t>(sizeField < 0 ? static_cast<int64_t>(body.size()) : sizeField), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) out.push_back(0);
  return out;
}

// A 16-byte PCM "fmt " body with the file's own block align and byte rate.
Bytes FmtBody(uint32_t channels, uint32_t rate, uint32_t bits, uint32_t tag = 1) {
  Bytes out;
  AppendLe(out, tag, 2);
  AppendLe(out, channels, 2);
  AppendLe(out, rate, 4);
  AppendLe(out, rate * channels * bits / 8, 4);
  AppendLe(out, channels * bits / 8, 2);
  AppendLe(out, bits, 2);
  return out;
}

// "RIFF", a size field (correct unless given), "WAVE" and the chunks.
Bytes Riff(const std::vector<Bytes>& chunks, int64_t sizeField = -1) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body, sizeField);
}

using test::ReadFileBytes;
using test::TempDir;

Bytes FreshHeader(TempDir& dir, int32_t rate, int32_t bits, int32_t channels, int64_t dataSize = 0) {
  const std::string path = dir.file("h.wav");
  EXPECT_EQ(WriteWavHeader(path, rate, bits, channels, dataSize), 1);
  return ReadFileBytes(path);
}

TEST(WavHeader, FreshHeadersByteForByte) {
  TempDir dir;
  test::WriteFileBytes(dir.file("h.wav"), Bytes(500, 0xAB));  // an old file is replaced
  EXPECT_EQ(FreshHeader(dir, 44100, 16, 2),
            Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6D 74 20 10 00 00 00 01 00 02 00 44 AC 00 00"
                "10 B1 02 00 04 00 10 00 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(FreshHeader(dir, 48000, 24, 6),
            Hex("52 49 46 46 3C 00 00 00 57 41 56 45 66 6D 74 20 28 00 00 00 FE FF 06 00 80 BB 00 00"
                "00 2F 0D 00 12 00 18 00 16 00 18 00 3F 00 00 00"
                "01 00 00 00 00 00 10 00 80 00 00 AA 00 38 9B 71 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(U32At(FreshHeader(dir, 44100, 16, 2, 4294967290), 4), 0xFFFFFFFFu) << "clamped, not wrapped";
  EXPECT_EQ(WriteWavHeader(dir.file("no/folder/take.wav"), 44100, 16, 2, 0), 0);
}

// A player must accept the file as it stands. libsndfile notes every data
// chunk of odd length, padded or not (RIFF allows them); apart from that note
// its log must hold no complaint.
test::SndfileView ExpectPlayable(const std::string& path, int64_t frames) {
  const test::SndfileView view = test::ReadWithSndfile(path, true);
  const std::string note = "'data' chunk should be an even number of bytes in length.";
  std::string log = view.log;
  if (const size_t at = log.find(note); at != std::string::npos) log.erase(at, note.size());
  EXPECT_TRUE(view.opened && log.find("should be") == std::string::npos) << view.log;
  EXPECT_EQ(view.frames, frames);
  return view;
}

// What the recorder does: header, blocks appended with the sizes repaired after
// each one, then the cut back to the last loud frame. A growing 8-bit mono chunk
// of odd length has no room for its pad byte; the cut adds it.
TEST(WavHeader, EveryFormatSurvivesATakeAndReadsBackExactly) {
  struct Format {
    int32_t rate, bits, channels, sndfileSubtype;
  };
  const Format formats[] = {{8000, 8, 1, SF_FORMAT_PCM_U8},   {44100, 16, 2, SF_FORMAT_PCM_16},
                            {22050, 24, 1, SF_FORMAT_PCM_24}, {96000, 24, 2, SF_FORMAT_PCM_24},
                            {48000, 16, 6, SF_FORMAT_PCM_16}, {48000, 24, 8, SF_FORMAT_PCM_24}};
  for (const Format& fmt : formats) {
    SCOPED_TRACE(testing::Message() << fmt.rate << " Hz " << fmt.bits << " bit " << fmt.channels << " ch");
    TempDir dir;
    const std::string path = dir.file("take.wav");
    const int64_t header = fmt.channels > 2 ? 68 : 44, align = fmt.channels * fmt.bits / 8;
    ASSERT_EQ(WriteWavHeader(path, fmt.rate, fmt.bits, fmt.channels, 0), 1);
    int64_t written = 0;
    for (int64_t frames : {1000, 2, 333}) {
      const Bytes block = test::Pcm(test::Ramp(frames, fmt.channels, fmt.bits, written), fmt.bits);
      ASSERT_EQ(WriteMemToFileEX(block.data(), static_cast<int64_t>(block.size()), -1, 0, path, 1), 1);
      written += frames;
      ASSERT_EQ(TrimRiff(path), 1);
      EXPECT_EQ(FileSizeByName(path), header + written * align);
      ExpectPlayable(path, written);
    }
    const int64_t kept = written - 2;
    ASSERT_EQ(SetWavDataLength(path, kept * align), 1);
    EXPECT_EQ(FileSizeByName(path), header + kept * align + kept * align % 2);
    const test::SndfileView view = ExpectPlayable(path, kept);
    EXPECT_EQ(std::tuple(view.rate, view.channels, view.format & SF_FORMAT_SUBMASK),
              std::tuple(fmt.rate, fmt.channels, fmt.sndfileSubtype));
    ASSERT_EQ(view.samples.size(), static_cast<size_t>(kept * fmt.channels));
    for (int64_t f = 0; f < kept; ++f) {
      for (int32_t c = 0; c < fmt.channels; ++c) {
        const int64_t scaled = test::RampSample(f, c, fmt.bits) * (int64_t{1} << (32 - fmt.bits));
        ASSERT_EQ(view.samples[static_cast<size_t>(f * fmt.channels + c)], scaled) << f << "/" << c;
      }
    }
    const WaveFileInfo info = ReadWaveFileInfo(path);
    EXPECT_EQ(std::tuple(info.frames, info.dataOffset, info.formatTag, info.formatIndex),
              std::tuple(kept, header, fmt.channels > 2 ? 0xFFFE : 1, FormatIndexOf(fmt.channels, fmt.bits)));
  }
}

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
    return {U32At(head, 4), U32At(head, 40)};
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
  AppendLe(extensible, 22, 2), AppendLe(extensible, 16, 2), AppendLe(extensible, 0x3F, 4);
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
        << "tag " << U32At(t.fmt, 0) % 65536 << " " << t.fmt.size() << " bytes";
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
