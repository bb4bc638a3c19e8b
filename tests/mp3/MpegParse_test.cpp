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

TEST_F(Mpeg, BareStreamGivesTheHeaderFieldsAndTexts) {
  ASSERT_EQ(Parse(Frame128(1000000)), 1);  // one header, 1 000 000 data bytes
  EXPECT_EQ(info_.FirstFrame, 1);
  EXPECT_EQ(info_.DataLength, 1000000);
  EXPECT_EQ(info_.DataEnd, 1000000);
  EXPECT_EQ(info_.DurationMs, 62500);
  EXPECT_EQ(info_.ChunkBytes, 1254);
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_EQ(info_.ShortText, "mp3(44.1kHz/128kb/JS)");
  EXPECT_EQ(info_.Channels, 2);
  EXPECT_EQ(info_.HeaderRef, (std::array<uint8_t, 3>{0xFB, 0x90, 0x64}));

  const struct {
    Bytes header;
    int32_t lsf;
    const char* longText;
    const char* shortText;
  } cases[] = {
      {{0xFD, 0xE4, 0x00}, 0, "mp2(48000Hz/384kbps/Stereo)", "mp2(48kHz/384kb/ST)"},
      {{0xFF, 0x18, 0x80}, 0, "mp1(32000Hz/32kbps/DualChannel)", "mp1(32kHz/32kb/DC)"},
      {{0xF3, 0x50, 0xC0}, 1, "mp3(22050Hz/40kbps/Mono)", "mp3(22.05kHz/40kb/Mono)"},
      {{0xF7, 0xD8, 0xC0}, 1, "mp1(16000Hz/224kbps/Mono)", "mp1(16kHz/224kb/Mono)"},
      {{0xE3, 0x80, 0xC0}, 1, "mp3(11025Hz/64kbps/Mono)", "mp3(11.025kHz/64kb/Mono)"},  // MPEG-2.5
  };
  for (const auto& c : cases) {
    // Not *.mp3: there 0xFF 0xFF (Layer I, MPEG-1) would not start a frame.
    ASSERT_EQ(Parse(test::MpegFrame(c.header[0], c.header[1], c.header[2], 4000), "x.bin"), 1) << c.longText;
    EXPECT_EQ(info_.LongText, c.longText);
    EXPECT_EQ(info_.ShortText, c.shortText);
    EXPECT_EQ(info_.Lsf, c.lsf);
  }
  for (const Bytes& bad : {Bytes{0xF9, 0x90}, Bytes{0xFB, 0x00}, Bytes{0xFB, 0xF0}, Bytes{0xFB, 0x9C}}) {
    EXPECT_EQ(Parse(test::MpegFrame(bad[0], bad[1], 0x64, 1000)), 0);  // layer, bit rate, sample rate
  }
}

TEST_F(Mpeg, LeadingTagsAreSkippedAndATrailingTagEndsTheData) {
  // ID3v2 size bytes 00 00 02 01: the search starts at 257 + 10 = 267, past a
  // decoy header near the end of the tag.
  Bytes id3 = test::Id3v2Tag({0, 0, 2, 1}, 257);
  std::copy_n(test::MpegFrame(0xF3, 0x50, 0xC0, 4).begin(), 4, id3.begin() + 258);
  const Bytes frames = Cat({Frame128()}, 10);
  ASSERT_EQ(Parse(Cat({id3, frames, test::Id3v1Tag()})), 1);
  EXPECT_EQ(info_.FirstFrame, 268);
  EXPECT_EQ(info_.DataLength, 4170);
  EXPECT_EQ(info_.DataEnd, 267 + 4170);
  // A stream-start parse of a tagged file falls back to the same search.
  ASSERT_EQ(Parse(Cat({id3, frames, test::Id3v1Tag()}), "take.mp3", 1), 1);
  EXPECT_EQ(info_.FirstFrame, 268);

  Bytes tagBlock = test::Id3v1Tag();
  tagBlock[60] = 0xFF, tagBlock[61] = 0xF3, tagBlock[62] = 0x50;
  ASSERT_EQ(Parse(Cat({tagBlock, frames})), 1);
  EXPECT_EQ(info_.FirstFrame, 129);
  EXPECT_EQ(info_.DataLength, 4170);

  // The recorder's own files are taken whole from position 1.
  ASSERT_EQ(Parse(Cat({frames, test::Id3v1Tag()}), "take.mp3", 1), 1);
  EXPECT_EQ(info_.DataLength, 4170 + 128);
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

TEST_F(Mpeg, FrameSearchRules) {
  // 0xFF 0xFF starts no frame in *.mp3 files; elsewhere it is a Layer I header
  // whose bit-rate index 15 fails.
  ASSERT_EQ(Parse(Cat({{0xFF}, Frame128(), Frame128()}), "a.MP3"), 1);
  EXPECT_EQ(info_.FirstFrame, 2);
  EXPECT_EQ(Parse(Cat({{0xFF}, Frame128(), Frame128()}), "a.dat"), 0);

  // A first header with byte 3 = 0xFF names the second byte to look for.
  ASSERT_EQ(Parse(Cat({test::MpegFrame(0xFB, 0xFF, 0x64, 100), test::MpegFrame(0xF3, 0x50, 0xC0, 100),
                       Frame128(), Frame128()})),
            1);
  EXPECT_EQ(info_.FirstFrame, 201);

  // Headers straddling the 1000-byte search blocks are found.
  for (size_t at : {997u, 998u, 999u, 1996u}) {
    ASSERT_EQ(Parse(Cat({Bytes(at, 0x11), Frame128(), Frame128()})), 1);
    EXPECT_EQ(info_.FirstFrame, static_cast<int64_t>(at) + 1);
  }
}

TEST_F(Mpeg, BadInputFailsWithoutCrashingOrLooping) {
  EXPECT_EQ(ParseMpegFile(dir_.file("missing.mp3"), 0, info_), 0);
  std::mt19937 random(12345);
  Bytes noSync(20000);
  for (auto& b : noSync) b = static_cast<unsigned char>(random() % 0xFF);
  for (const Bytes& bytes :
       {Bytes{}, Frame128(47), Bytes(5000, 0xFF), noSync, test::Id3v1Tag(),
        test::Id3v2Tag({0, 0, 0x0F, 0}, 1920), test::Id3v2Tag({0x7F, 0x7F, 0x7F, 0x7F}, 100)}) {
    EXPECT_EQ(Parse(bytes), 0) << bytes.size() << " bytes";
  }
}

TEST_F(Mpeg, FrameSyncPrefersTheBestMatchingHeader) {
  Bytes junk(600, 0x33);
  const auto put = [&](size_t at, const Bytes& header) {
    std::copy(header.begin(), header.end(), junk.begin() + at);
  };
  put(10, {0xFF, 0xF3, 0x90, 0x64});   // MPEG-2: 38 of 42 points
  put(110, {0xFF, 0xFA, 0x90, 0x64});  // CRC bit differs: 41
  put(210, {0xFF, 0xFD, 0x90, 0x64});  // another layer: 34
  put(310, {0xFF, 0xF4, 0x6D, 0x9B});  // every scored bit differs: 0
  ASSERT_EQ(Parse(Cat({Frame128(), junk, Cat({Frame128(418)}, 10)}), "take.mp3", 1), 1);
  EXPECT_EQ(Sync(418), 1018);
  EXPECT_EQ(Sync(-5), 1);  // clamped to the first frame
  EXPECT_EQ(Sync(1018), 1018);
  EXPECT_EQ(Sync(1019), 1436);
  EXPECT_EQ(Sync(600), 1018);

  // A candidate without a single equal scored bit is no frame.
  junk.assign(3000, 0x33);
  put(100, {0xFF, 0xF4, 0x6D, 0x9B});
  ASSERT_EQ(Parse(Cat({Frame128(), junk}), "take.mp3", 1), 1);
  EXPECT_EQ(Sync(418), info_.DataEnd + 1);
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

TEST_F(Mpeg, FrameSyncSearchesTwoChunksButNeverLessThanOne) {
  ASSERT_EQ(Parse(Cat({Frame128(), Bytes(2518, 0x33), Frame128(), Bytes(1000, 0x33), Frame128(1000)}),
                  "take.mp3", 1),
            1);
  EXPECT_EQ(Sync(418), info_.DataEnd + 1);  // the next frame lies beyond 2 x 1254 bytes
  EXPECT_EQ(Sync(2000), 2936);
  EXPECT_EQ(Sync(info_.DataEnd - 1253), info_.DataEnd - 999);
  EXPECT_EQ(Sync(info_.DataEnd - 1252), info_.DataEnd + 1);  // a window shorter than ChunkBytes
  EXPECT_EQ(Sync(info_.DataEnd + 500), info_.DataEnd + 1);

  FileHandle handle = GetFH(path_, 0);  // a handle passed in stays open
  EXPECT_EQ(FindFrameSync(path_, 2000, info_, handle), 2936);
  EXPECT_EQ(ParseMpegFile(path_, 1, handle, info_), 1);
  EXPECT_GT(FileSizeOf(handle), 0);
  CloseFH(handle);
  std::filesystem::remove(path_);
  EXPECT_EQ(Sync(2000), info_.DataEnd + 1);
}

TEST(BitTextToInt, ReadsBinaryTextFromTheRight) {
  EXPECT_EQ(BitTextToInt("101"), 5);
  EXPECT_EQ(BitTextToInt(""), 0);
  EXPECT_EQ(BitTextToInt(std::string(70, '1')), INT64_MAX);
}

}  // namespace
}  // namespace lumora
