#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Wav.h"
#include "wav/RiffBuilder.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Hex;
using test::ReadFileBytes;
using test::TempDir;

Bytes FreshHeader(TempDir& dir, int32_t rate, int32_t bits, int32_t channels, int64_t dataSize = 0) {
  const std::string path = dir.file("h.wav");
  EXPECT_EQ(WriteWavHeader(path, rate, bits, channels, dataSize), 1);
  return ReadFileBytes(path);
}

TEST(WavHeader, FreshHeadersByteForByte) {
  TempDir dir;
  EXPECT_EQ(FreshHeader(dir, 44100, 16, 2),
            Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6D 74 20 10 00 00 00 01 00 02 00 44 AC 00 00"
                "10 B1 02 00 04 00 10 00 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(FreshHeader(dir, 48000, 24, 6),
            Hex("52 49 46 46 3C 00 00 00 57 41 56 45 66 6D 74 20 28 00 00 00 FE FF 06 00 80 BB 00 00"
                "00 2F 0D 00 12 00 18 00 16 00 18 00 3F 00 00 00"
                "01 00 00 00 00 00 10 00 80 00 00 AA 00 38 9B 71 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(FreshHeader(dir, 8000, 8, 1),
            Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6D 74 20 10 00 00 00 01 00 01 00 40 1F 00 00"
                "40 1F 00 00 01 00 08 00 64 61 74 61 00 00 00 00"));
  // Stereo 24-bit stays on the plain PCM header.
  EXPECT_EQ(FreshHeader(dir, 96000, 24, 2),
            Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6D 74 20 10 00 00 00 01 00 02 00 00 77 01 00"
                "00 CA 08 00 06 00 18 00 64 61 74 61 00 00 00 00"));
  // Eight channels: the mask covers them all; both sizes count a given data size.
  const Bytes eight = FreshHeader(dir, 44100, 16, 8, 1000);
  EXPECT_EQ(test::U32At(eight, 4), 1060u);
  EXPECT_EQ(test::U32At(eight, 40), 0xFFu);
  EXPECT_EQ(test::U32At(eight, 64), 1000u);
  EXPECT_EQ(test::U32At(FreshHeader(dir, 44100, 16, 2, 4294967290), 4), 0xFFFFFFFFu)
      << "clamped, not wrapped";
}

TEST(WavHeader, ReplacesAnOldFileAndReportsWhatCouldNotBeWritten) {
  TempDir dir;
  const std::string path = dir.file("take.wav");
  test::WriteFileBytes(path, Bytes(500, 0xAB));
  ASSERT_EQ(WriteWavHeader(path, 44100, 16, 2, 0), 1);
  EXPECT_EQ(ReadFileBytes(path).size(), 44u);
  FileHandle h = GetFH(path, 2);  // a given handle: appended, left open
  ASSERT_EQ(WriteWavHeader(path, h, 44100, 16, 2, 0), 1);
  EXPECT_EQ(FileSizeOf(h), 88);
  CloseFH(h);

  EXPECT_EQ(WriteWavHeader(dir.file("no/folder/take.wav"), 44100, 16, 2, 0), 0);
  FileHandle full = GetFH("/dev/full", 2);
  const int fd = full - 1;
  EXPECT_EQ(WriteWavHeader("/dev/full", full, 44100, 16, 2, 0), 0);
  EXPECT_EQ(full, 0);
  EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "the caller's handle was closed";
}

// The value of sample (frame, channel), spread over the whole range of the depth.
int64_t SampleValue(int64_t frame, int32_t channel, int32_t bits) {
  const int64_t full = int64_t{1} << bits;
  return (frame * 7919 + channel * 104729) % full - full / 2;
}

Bytes SampleBytes(int64_t firstFrame, int64_t frames, int32_t bits, int32_t channels) {
  Bytes out;
  for (int64_t f = firstFrame; f < firstFrame + frames; ++f) {
    for (int32_t c = 0; c < channels; ++c) {
      const int64_t v = SampleValue(f, c, bits);
      test::AppendLe(out, static_cast<uint32_t>(bits == 8 ? v + 128 : v), bits / 8);
    }
  }
  return out;
}

// What the recorder does: header, then blocks appended with the sizes repaired
// after each one; after every flush a player must accept the file as it stands.
TEST(WavHeader, EveryFormatSurvivesATakeAndReadsBackExactly) {
  struct Format {
    int32_t rate, bits, channels, sndfileSubtype;
  };
  const Format formats[] = {{8000, 8, 1, SF_FORMAT_PCM_U8},   {11025, 8, 2, SF_FORMAT_PCM_U8},
                            {44100, 16, 1, SF_FORMAT_PCM_16}, {48000, 16, 2, SF_FORMAT_PCM_16},
                            {22050, 24, 1, SF_FORMAT_PCM_24}, {96000, 24, 2, SF_FORMAT_PCM_24},
                            {48000, 16, 6, SF_FORMAT_PCM_16}, {48000, 24, 8, SF_FORMAT_PCM_24}};
  const int64_t blocks[] = {334, 2, 1000};
  for (const Format& fmt : formats) {
    SCOPED_TRACE(testing::Message() << fmt.rate << " Hz " << fmt.bits << " bit " << fmt.channels << " ch");
    TempDir dir;
    const std::string path = dir.file("take.wav");
    ASSERT_EQ(WriteWavHeader(path, fmt.rate, fmt.bits, fmt.channels, 0), 1);
    int64_t written = 0;
    for (int64_t frames : blocks) {
      const Bytes block = SampleBytes(written, frames, fmt.bits, fmt.channels);
      ASSERT_EQ(WriteMemToFileEX(block.data(), static_cast<int64_t>(block.size()), -1, 0, path, 1), 1);
      written += frames;
      ASSERT_EQ(TrimRiff(path), 1);
      const test::SndfileView view = test::ReadWithSndfile(path);
      EXPECT_TRUE(view.opened && view.strict) << view.log;
      EXPECT_EQ(view.frames, written);
    }
    const test::SndfileView view = test::ReadWithSndfile(path, true);
    EXPECT_EQ(view.rate, fmt.rate);
    EXPECT_EQ(view.channels, fmt.channels);
    EXPECT_EQ(view.format & SF_FORMAT_SUBMASK, fmt.sndfileSubtype);
    ASSERT_EQ(view.samples.size(), static_cast<size_t>(written * fmt.channels));
    for (int64_t f = 0; f < written; ++f) {
      for (int32_t c = 0; c < fmt.channels; ++c) {
        const int64_t scaled = SampleValue(f, c, fmt.bits) * (int64_t{1} << (32 - fmt.bits));
        ASSERT_EQ(view.samples[static_cast<size_t>(f * fmt.channels + c)], scaled) << f << "/" << c;
      }
    }
    EXPECT_EQ(ReadWaveFileInfo(path).frames, written);
  }
}

// libsndfile notes every data chunk of odd length, padded or not (RIFF allows
// them); apart from that note its log must hold no complaint.
bool StrictButForOddData(const test::SndfileView& view) {
  const std::string note = "'data' chunk should be an even number of bytes in length.";
  std::string log = view.log;
  const size_t at = log.find(note);
  return at != std::string::npos && log.erase(at, note.size()).find("should be") == std::string::npos;
}

// A growing data chunk of odd length has no room for its pad byte; the cut at
// the end of a take adds it.
TEST(WavHeader, AnOddTakeIsReadableWhileGrowingAndWhenCut) {
  TempDir dir;
  const std::string path = dir.file("odd.wav");
  ASSERT_EQ(WriteWavHeader(path, 11025, 8, 1, 0), 1);
  const Bytes block = SampleBytes(0, 333, 8, 1);
  ASSERT_EQ(WriteMemToFileEX(block.data(), 333, -1, 0, path, 1), 1);
  ASSERT_EQ(TrimRiff(path), 1);
  test::SndfileView view = test::ReadWithSndfile(path);
  EXPECT_TRUE(StrictButForOddData(view)) << view.log;
  EXPECT_EQ(view.frames, 333);

  ASSERT_EQ(SetWavDataLength(path, 333), 1);
  EXPECT_EQ(ReadFileBytes(path).size(), 44u + 333u + 1u);
  view = test::ReadWithSndfile(path, true);
  EXPECT_TRUE(StrictButForOddData(view)) << view.log;
  ASSERT_EQ(view.samples.size(), 333u);
  EXPECT_EQ(view.samples[332], SampleValue(332, 0, 8) << 24);
}

}  // namespace
}  // namespace lumora
