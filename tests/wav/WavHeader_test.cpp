#include <gtest/gtest.h>
#include <sndfile.h>

#include <tuple>

#include "common/Pcm.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Wav.h"
#include "support/SampleFormat.h"
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
  test::WriteFileBytes(dir.file("h.wav"), Bytes(500, 0xAB));  // an old file is replaced
  EXPECT_EQ(FreshHeader(dir, 44100, 16, 2),
            Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6D 74 20 10 00 00 00 01 00 02 00 44 AC 00 00"
                "10 B1 02 00 04 00 10 00 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(FreshHeader(dir, 48000, 24, 6),
            Hex("52 49 46 46 3C 00 00 00 57 41 56 45 66 6D 74 20 28 00 00 00 FE FF 06 00 80 BB 00 00"
                "00 2F 0D 00 12 00 18 00 16 00 18 00 3F 00 00 00"
                "01 00 00 00 00 00 10 00 80 00 00 AA 00 38 9B 71 64 61 74 61 00 00 00 00"));
  EXPECT_EQ(test::U32At(FreshHeader(dir, 44100, 16, 2, 4294967290), 4), 0xFFFFFFFFu)
      << "clamped, not wrapped";
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

}  // namespace
}  // namespace lumora
