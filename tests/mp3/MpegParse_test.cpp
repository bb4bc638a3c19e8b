#include <gtest/gtest.h>

#include <random>

#include "common/TempDir.h"
#include "formats/Mpeg.h"
#include "mp3/Mp3TestData.h"

namespace lumora {
namespace {

using test::Bytes;
using test::Cat;
using test::Frame128;

class Mpeg : public ::testing::Test {
 protected:
  int32_t Parse(const Bytes& bytes, const std::string& name = "take.mp3", int32_t streamStart = 0) {
    path_ = dir_.file(name);
    test::WriteFileBytes(path_, bytes);
    return ParseMpegFile(path_, streamStart, info_);
  }
  int64_t Sync(int64_t position) { return FindFrameSync(path_, position, info_); }

  test::TempDir dir_;
  std::string path_;
  MpegInfo info_;
};

TEST_F(Mpeg, HeaderFieldsAndTexts) {
  ASSERT_EQ(Parse(Frame128(1000000)), 1);  // one header, 1 000 000 data bytes
  EXPECT_EQ(info_.DurationMs, 62500);

  const struct {
    Bytes header;
    int32_t lsf, channels;
    const char* longText;
    const char* shortText;
  } cases[] = {
      {{0xFB, 0x90, 0x64}, 0, 2, "mp3(44100Hz/128kbps/JointStereo)", "mp3(44.1kHz/128kb/JS)"},
      {{0xFD, 0xE4, 0x00}, 0, 2, "mp2(48000Hz/384kbps/Stereo)", "mp2(48kHz/384kb/ST)"},
      {{0xFF, 0x18, 0x80}, 0, 2, "mp1(32000Hz/32kbps/DualChannel)", "mp1(32kHz/32kb/DC)"},
      {{0xF3, 0x50, 0xC0}, 1, 1, "mp3(22050Hz/40kbps/Mono)", "mp3(22.05kHz/40kb/Mono)"},
      {{0xF7, 0xD8, 0xC0}, 1, 1, "mp1(16000Hz/224kbps/Mono)", "mp1(16kHz/224kb/Mono)"},
      {{0xE3, 0x80, 0xC0}, 1, 1, "mp3(11025Hz/64kbps/Mono)", "mp3(11.025kHz/64kb/Mono)"},  // MPEG-2.5
  };
  for (const auto& c : cases) {
    // Not *.mp3: there 0xFF 0xFF (Layer I, MPEG-1) would not start a frame.
    ASSERT_EQ(Parse(test::MpegFrame(c.header[0], c.header[1], c.header[2], 4000), "x.bin"), 1) << c.longText;
    EXPECT_EQ(info_.LongText, c.longText);
    EXPECT_EQ(info_.ShortText, c.shortText);
    EXPECT_EQ(info_.Lsf, c.lsf);
    EXPECT_EQ(info_.Channels, c.channels);
  }
}

// Where the audio data starts and ends, or 0 for files without a usable frame.
TEST_F(Mpeg, TagsAndSyncRulesPlaceTheData) {
  // ID3v2 size bytes 00 00 02 01: the search starts at 257 + 10 = 267, past a
  // decoy header near the end of the tag.
  Bytes id3 = test::Id3v2Tag({0, 0, 2, 1}, 257);
  std::copy_n(test::MpegFrame(0xF3, 0x50, 0xC0, 4).begin(), 4, id3.begin() + 258);
  Bytes tagBlock = test::Id3v1Tag();
  tagBlock[60] = 0xFF, tagBlock[61] = 0xF3, tagBlock[62] = 0x50;
  const Bytes frames = Cat({Frame128()}, 4), tag = test::Id3v1Tag();
  std::mt19937 random(12345);
  Bytes noSync(20000);
  for (auto& b : noSync) b = static_cast<unsigned char>(random() % 0xFF);
  const struct {
    Bytes bytes;
    int64_t firstFrame;  // 0: no usable frame
    int64_t tagBytes = 0;
    const char* name = "take.mp3";
    int32_t streamStart = 0;
  } cases[] = {
      {Cat({id3, frames, tag}), 268, 128},
      {Cat({id3, frames, tag}), 268, 128, "take.mp3", 1},  // a tagged file is searched all the same
      {Cat({tagBlock, frames}), 129},
      {Cat({frames, tag}), 1, 0, "take.mp3", 1},  // the recorder's own files are taken whole
      {Cat({{0xFF}, frames}), 2, 0, "a.MP3"},     // 0xFF 0xFF starts no frame in *.mp3 files,
      {Cat({{0xFF}, frames}), 0, 0, "a.dat"},     // elsewhere a Layer I header with bit-rate index 15
      // A first header with byte 3 = 0xFF names the second byte to look for.
      {Cat({test::MpegFrame(0xFB, 0xFF, 0x64, 100), test::MpegFrame(0xF3, 0x50, 0xC0, 100), frames}), 201},
      // Headers straddling the 1000-byte search blocks.
      {Cat({Bytes(997, 0x11), frames}), 998},
      {Cat({Bytes(998, 0x11), frames}), 999},
      {Cat({Bytes(999, 0x11), frames}), 1000},
      {Cat({Bytes(1996, 0x11), frames}), 1997},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    ASSERT_EQ(Parse(c.bytes, c.name, c.streamStart), c.firstFrame > 0 ? 1 : 0) << "case " << i;
    if (c.firstFrame == 0) continue;
    EXPECT_EQ(info_.FirstFrame, c.firstFrame) << "case " << i;
    EXPECT_EQ(info_.DataEnd, static_cast<int64_t>(c.bytes.size()) - c.tagBytes) << "case " << i;
    EXPECT_EQ(info_.DataLength, info_.DataEnd - c.firstFrame + 1) << "case " << i;
  }
  for (const Bytes& bytes :
       {Bytes{}, Frame128(47), Bytes(5000, 0xFF), noSync, tag, test::Id3v2Tag({0, 0, 0x0F, 0}, 1920),
        test::Id3v2Tag({0x7F, 0x7F, 0x7F, 0x7F}, 100), test::MpegFrame(0xF9, 0x90, 0x64, 1000),
        test::MpegFrame(0xFB, 0x00, 0x64, 1000), test::MpegFrame(0xFB, 0xF0, 0x64, 1000),
        test::MpegFrame(0xFB, 0x9C, 0x64, 1000)}) {
    EXPECT_EQ(Parse(bytes), 0) << bytes.size() << " bytes";  // the last four: layer, bit rate, sample rate
  }
  EXPECT_EQ(ParseMpegFile(dir_.file("missing.mp3"), 0, info_), 0);
}

TEST_F(Mpeg, XingFrameCountGivesDurationAndAverageBitRate) {
  ASSERT_EQ(Parse(Cat({test::XingFrame(0xFB, 0x90, 0x64, 1000), Cat({Frame128()}, 20)})), 1);
  EXPECT_EQ(info_.IsVbr, 1);
  EXPECT_EQ(info_.VbrFrames, 1000);
  EXPECT_EQ(info_.DurationMs, 26122);  // 1000 frames of 1152 samples
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/3kbps[VBR]/JointStereo)");

  // Behind a large tag the average still counts only audio bytes, and MPEG-2
  // Layer III frames hold 576 samples.
  const Bytes lsf = test::MpegFrame(0xF3, 0x80, 0x64, 209);
  ASSERT_EQ(Parse(Cat({test::Id3v2Tag({0, 6, 0, 0}, 98304), test::XingFrame(0xF3, 0x80, 0x64, 500, 209),
                       Cat({lsf}, 500)})),
            1);
  EXPECT_EQ(info_.FirstFrame, 98315);
  EXPECT_EQ(info_.DurationMs, 13061);
  EXPECT_EQ(info_.Bitrate, 64);

  // A count that gives no usable bit rate is ignored.
  for (uint32_t frames : {0u, 0xFFFFFFFFu}) {
    ASSERT_EQ(Parse(Cat({test::XingFrame(0xFB, 0x90, 0x64, frames), Frame128()})), 1);
    EXPECT_EQ(info_.IsVbr, 0);
    EXPECT_EQ(info_.Bitrate, 128);
    EXPECT_EQ(info_.DurationMs, 52);
  }
}

TEST_F(Mpeg, FrameSyncScoresEveryHeaderBit) {
  // Each header bit flipped alone must score exactly as a candidate whose
  // bit-rate bits (1 point each) lose the same points: the earlier of two
  // equal candidates wins, whichever comes first.
  const int32_t points[3][8] = {{1, 4, 4, 4}, {1, 0, 4, 4, 1, 1, 1, 1}, {1, 1, 1, 1, 2, 2, 4, 4}};
  for (int b = 0; b < 3; ++b) {
    for (int bit = 0; bit < (b == 0 ? 4 : 8); ++bit) {
      Bytes flipped = {0xFF, 0xFB, 0x90, 0x64};
      flipped[1 + b] ^= 1 << bit;
      const uint8_t rateBits = static_cast<uint8_t>((0xF0 << (4 - points[b][bit])) & 0xF0);
      const Bytes same = {0xFF, 0xFB, static_cast<uint8_t>(0x90 ^ rateBits), 0x64};
      for (const auto& [first, second] : {std::pair(flipped, same), std::pair(same, flipped)}) {
        Bytes junk(3000, 0x33);
        std::copy(first.begin(), first.end(), junk.begin() + 10);
        std::copy(second.begin(), second.end(), junk.begin() + 110);
        ASSERT_EQ(Parse(Cat({Frame128(), junk}), "take.mp3", 1), 1);
        EXPECT_EQ(Sync(418), 428) << "byte " << b << " bit " << bit;
      }
    }
  }
}

// Junk holding a header without a single equal scored bit (no frame at all)
// and one that differs in the CRC bit only (41 of 42 points), which loses to
// the exact header further on.
TEST_F(Mpeg, FrameSyncFindsTheBestHeaderWithinTwoChunks) {
  Bytes junk1(2518, 0x33), junk2(1000, 0x33);
  const Bytes none = {0xFF, 0xF4, 0x6D, 0x9B}, crc = {0xFF, 0xFA, 0x90, 0x64};
  std::copy(none.begin(), none.end(), junk1.begin() + 100);
  std::copy(crc.begin(), crc.end(), junk2.begin() + 100);
  ASSERT_EQ(Parse(Cat({Frame128(), junk1, Frame128(), junk2, Frame128(1000)}), "take.mp3", 1), 1);
  const int64_t end = info_.DataEnd;  // the last frame starts at end - 999
  EXPECT_EQ(Sync(-5), 1);             // clamped to the first frame
  EXPECT_EQ(Sync(418), end + 1);      // the next frame lies beyond 2 x 1254 bytes
  EXPECT_EQ(Sync(2000), 2936);
  EXPECT_EQ(Sync(2936), 2936);
  EXPECT_EQ(Sync(2937), end - 999);
  EXPECT_EQ(Sync(end - 1253), end - 999);
  EXPECT_EQ(Sync(end - 1252), end + 1);  // a window shorter than ChunkBytes
  EXPECT_EQ(Sync(end + 500), end + 1);

  FileHandle handle = GetFH(path_, 0);  // a handle passed in stays open
  EXPECT_EQ(FindFrameSync(path_, 2000, info_, handle), 2936);
  EXPECT_EQ(ParseMpegFile(path_, 1, handle, info_), 1);
  EXPECT_GT(FileSizeOf(handle), 0);
  CloseFH(handle);
  std::filesystem::remove(path_);
  EXPECT_EQ(Sync(2000), end + 1);
}

}  // namespace
}  // namespace lumora
