#include <gtest/gtest.h>

#include <random>

#include "common/TempDir.h"
#include "formats/Mpeg.h"
#include "mp3/Mp3TestData.h"

namespace lumora {
namespace {

using test::Append;
using test::Bytes;
using test::Frame128;

class MpegParse : public ::testing::Test {
 protected:
  // Writes the bytes to a file of that name and parses it.
  int32_t Parse(const Bytes& bytes, const std::string& name = "take.mp3", int32_t streamStart = 0) {
    path_ = dir_.file(name);
    test::WriteFileBytes(path_, bytes);
    return ParseMpegFile(path_, streamStart, info_);
  }

  // n frames of 128 kbit/s, 44100 Hz.
  static Bytes Frames(int n) {
    Bytes bytes;
    for (int i = 0; i < n; ++i) Append(bytes, Frame128());
    return bytes;
  }

  test::TempDir dir_;
  std::string path_;
  MpegInfo info_;
};

TEST_F(MpegParse, BareStreamGivesTheHeaderFieldsAndTexts) {
  Bytes bytes = Frame128(1000000);  // one header, then 1 000 000 data bytes in all
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FirstFrame, 1);
  EXPECT_EQ(info_.FileSize, 1000000);
  EXPECT_EQ(info_.DataLength, 1000000);
  EXPECT_EQ(info_.DataEnd, 1000000);
  EXPECT_EQ(info_.Layer, 3);
  EXPECT_EQ(info_.Lsf, 0);
  EXPECT_EQ(info_.SampleRate, 44100);
  EXPECT_EQ(info_.Bitrate, 128);
  EXPECT_EQ(info_.ChannelMode, 1);
  EXPECT_EQ(info_.Channels, 2);
  EXPECT_EQ(info_.IsVbr, 0);
  EXPECT_EQ(info_.DurationMs, 62500);
  EXPECT_EQ(info_.ChunkBytes, 1254);  // round(3456 / 44100 * 128 * 125)
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_EQ(info_.ShortText, "mp3(44.1kHz/128kb/JS)");
  EXPECT_EQ(info_.HeaderRef, (std::array<uint8_t, 3>{0xFB, 0x90, 0x64}));
}

TEST_F(MpegParse, VersionsLayersRatesAndModes) {
  struct Case {
    uint8_t b1, b2, b3;
    int32_t layer, lsf, rate, kbps, mode, channels;
    const char* longText;
    const char* shortText;
  };
  const Case cases[] = {
      {0xFD, 0xE4, 0x00, 2, 0, 48000, 384, 0, 2, "mp2(48000Hz/384kbps/Stereo)", "mp2(48kHz/384kb/ST)"},
      {0xFF, 0x18, 0x80, 1, 0, 32000, 32, 2, 2, "mp1(32000Hz/32kbps/DualChannel)", "mp1(32kHz/32kb/DC)"},
      {0xF3, 0x50, 0xC0, 3, 1, 22050, 40, 3, 1, "mp3(22050Hz/40kbps/Mono)", "mp3(22.05kHz/40kb/Mono)"},
      {0xF7, 0xD8, 0xC0, 1, 1, 16000, 224, 3, 1, "mp1(16000Hz/224kbps/Mono)", "mp1(16kHz/224kb/Mono)"},
      {0xE3, 0x80, 0xC0, 3, 1, 11025, 64, 3, 1, "mp3(11025Hz/64kbps/Mono)", "mp3(11.025kHz/64kb/Mono)"},
      {0xE3, 0x24, 0x40, 3, 1, 12000, 16, 1, 2, "mp3(12000Hz/16kbps/JointStereo)", "mp3(12kHz/16kb/JS)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.longText);
    // A .bin name: the Layer I header 0xFF 0xFF would not count in a *.mp3 file.
    ASSERT_EQ(Parse(test::MpegFrame(c.b1, c.b2, c.b3, 4000), "x.bin"), 1);
    EXPECT_EQ(info_.Layer, c.layer);
    EXPECT_EQ(info_.Lsf, c.lsf);
    EXPECT_EQ(info_.SampleRate, c.rate);
    EXPECT_EQ(info_.Bitrate, c.kbps);
    EXPECT_EQ(info_.ChannelMode, c.mode);
    EXPECT_EQ(info_.Channels, c.channels);
    EXPECT_EQ(info_.LongText, c.longText);
    EXPECT_EQ(info_.ShortText, c.shortText);
  }
}

TEST_F(MpegParse, InvalidHeaderFieldsFail) {
  EXPECT_EQ(Parse(test::MpegFrame(0xF9, 0x90, 0x64, 1000)), 0);  // layer bits 00
  EXPECT_EQ(Parse(test::MpegFrame(0xFB, 0x00, 0x64, 1000)), 0);  // free-format bit rate
  EXPECT_EQ(Parse(test::MpegFrame(0xFB, 0xF0, 0x64, 1000)), 0);  // bit-rate index 15
  EXPECT_EQ(Parse(test::MpegFrame(0xFB, 0x9C, 0x64, 1000)), 0);  // sample-rate index 3
}

TEST_F(MpegParse, Id3v2TagIsSkippedByItsSyncsafeSize) {
  // Size bytes 00 00 02 01 = 257: the search starts at 267, past a decoy
  // header inside the tag.
  Bytes bytes = test::Id3v2Tag({0, 0, 2, 1}, 257);
  const Bytes decoy = test::MpegFrame(0xF3, 0x50, 0xC0, 4);
  std::copy(decoy.begin(), decoy.end(), bytes.begin() + 100);
  Append(bytes, Frames(3));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FirstFrame, 268);
  EXPECT_EQ(info_.DataLength, 3 * 417);
  EXPECT_EQ(info_.DataEnd, 267 + 3 * 417);
  EXPECT_EQ(info_.SampleRate, 44100);
}

TEST_F(MpegParse, LeadingTagBlockIsSkipped) {
  Bytes bytes = test::Id3v1Tag();
  bytes[60] = 0xFF;  // a decoy header inside the block
  bytes[61] = 0xF3;
  bytes[62] = 0x50;
  Append(bytes, Frames(2));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FirstFrame, 129);
  EXPECT_EQ(info_.Bitrate, 128);
}

TEST_F(MpegParse, TrailingTagShortensTheData) {
  Bytes bytes = Frames(10);
  Append(bytes, test::Id3v1Tag());
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FileSize, 10 * 417 + 128);
  EXPECT_EQ(info_.DataLength, 10 * 417);
  EXPECT_EQ(info_.DataEnd, 10 * 417);

  // Behind an ID3v2 tag as well, and a stream-start parse of a tagged file
  // falls back to the full search.
  Bytes tagged = test::Id3v2Tag(300);
  Append(tagged, bytes);
  ASSERT_EQ(Parse(tagged, "tagged.mp3", 1), 1);
  EXPECT_EQ(info_.FirstFrame, 311);
  EXPECT_EQ(info_.DataLength, 10 * 417);
  EXPECT_EQ(info_.DataEnd, 310 + 10 * 417);
}

TEST_F(MpegParse, StreamStartTakesTheFileFromPositionOne) {
  Bytes bytes = Frames(5);
  Append(bytes, test::Id3v1Tag());
  ASSERT_EQ(Parse(bytes, "take.mp3", 1), 1);
  EXPECT_EQ(info_.FirstFrame, 1);
  EXPECT_EQ(info_.DataLength, static_cast<int64_t>(bytes.size()));  // no tag check on own recordings
  ASSERT_EQ(Parse(bytes, "take.mp3", 0), 1);
  EXPECT_EQ(info_.DataLength, 5 * 417);
}

TEST_F(MpegParse, XingHeaderGivesFrameCountDurationAndAverageBitRate) {
  Bytes bytes = test::XingFrame(0xFB, 0x90, 0x64, 1000);
  Append(bytes, Frames(20));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.IsVbr, 1);
  EXPECT_EQ(info_.VbrFrames, 1000);
  EXPECT_EQ(info_.DurationMs, 26122);  // round(1000 * 1152 / 44.1)
  EXPECT_EQ(info_.Bitrate, 3);         // round(21 * 417 * 8 / 26122)
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/3kbps[VBR]/JointStereo)");
  EXPECT_EQ(info_.ShortText, "mp3(44.1kHz/3kb/JS)");
}

TEST_F(MpegParse, XingHeaderBehindATagAndInLowerRates) {
  // MPEG-2 Layer III frames hold 576 samples, so 500 frames at 22050 Hz last 13061 ms.
  Bytes bytes = test::Id3v2Tag(1000);
  Append(bytes, test::XingFrame(0xF3, 0x80, 0x64, 500, 209));
  for (int i = 0; i < 500; ++i) Append(bytes, test::MpegFrame(0xF3, 0x80, 0x64, 209));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FirstFrame, 1011);
  EXPECT_EQ(info_.IsVbr, 1);
  EXPECT_EQ(info_.DurationMs, 13061);
  EXPECT_EQ(info_.Bitrate, 64);  // round(501 * 209 * 8 / 13061)
}

TEST_F(MpegParse, XingHeaderWithoutFramesCountsAsConstantBitRate) {
  Bytes bytes = test::XingFrame(0xFB, 0x90, 0x64, 0);
  Append(bytes, Frames(3));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.IsVbr, 0);
  EXPECT_EQ(info_.Bitrate, 128);
  EXPECT_EQ(info_.DurationMs, 104);  // round(4 * 417 / 16)

  // A frame count far too large for the data gives no usable bit rate either.
  bytes = test::XingFrame(0xFB, 0x90, 0x64, 0xFFFFFFFF);
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.IsVbr, 0);
  EXPECT_EQ(info_.Bitrate, 128);
}

TEST_F(MpegParse, DoubleFfIsNoFrameStartInMp3Files) {
  // 0xFF 0xFF 0xFB 0x90: in *.mp3 the frame starts at the second byte; in other
  // files the first byte starts a Layer I header with bit-rate index 15.
  Bytes bytes = {0xFF};
  Append(bytes, Frames(2));
  ASSERT_EQ(Parse(bytes, "a.MP3"), 1);
  EXPECT_EQ(info_.FirstFrame, 2);
  EXPECT_EQ(Parse(bytes, "a.dat"), 0);
}

TEST_F(MpegParse, HeaderWithInvalidBitRateNamesTheSecondByteToLookFor) {
  // The file starts with 0xFF 0xFB 0xFF: the frame found later must also have
  // 0xFB as its second byte, so the MPEG-2 header in between is passed over.
  Bytes bytes = test::MpegFrame(0xFB, 0xFF, 0x64, 100);
  Append(bytes, test::MpegFrame(0xF3, 0x50, 0xC0, 100));
  Append(bytes, Frames(2));
  ASSERT_EQ(Parse(bytes), 1);
  EXPECT_EQ(info_.FirstFrame, 201);
  EXPECT_EQ(info_.Lsf, 0);
}

TEST_F(MpegParse, FindsHeadersAcrossSearchBlockBoundaries) {
  for (size_t at : {997u, 998u, 999u, 1000u, 1996u, 1997u}) {
    SCOPED_TRACE(at);
    Bytes bytes(at, 0x11);
    Append(bytes, Frames(2));
    ASSERT_EQ(Parse(bytes), 1);
    EXPECT_EQ(info_.FirstFrame, static_cast<int64_t>(at) + 1);
  }
}

TEST_F(MpegParse, BadInputFailsWithoutCrashingOrLooping) {
  EXPECT_EQ(ParseMpegFile(dir_.file("missing.mp3"), 0, info_), 0);
  EXPECT_EQ(Parse({}), 0);
  const Bytes frame = Frames(1);
  EXPECT_EQ(Parse(Bytes(frame.begin(), frame.begin() + 47)), 0);  // truncated below 48 bytes
  EXPECT_EQ(Parse(Bytes(5000, 0x00)), 0);
  EXPECT_EQ(Parse(test::Id3v2Tag(2000)), 0);                           // tag only
  EXPECT_EQ(Parse(test::Id3v1Tag()), 0);                               // tag block only
  EXPECT_EQ(Parse(test::Id3v2Tag({0x7F, 0x7F, 0x7F, 0x7F}, 100)), 0);  // size beyond the file
  Bytes onlyFf(3000, 0xFF);
  EXPECT_EQ(Parse(onlyFf), 0);

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> noFf(0, 0xFE);
  Bytes noSync(20000);
  for (auto& b : noSync) b = static_cast<unsigned char>(noFf(random));
  EXPECT_EQ(Parse(noSync), 0);
}

TEST_F(MpegParse, RandomBytesNeverGiveAnInconsistentRecord) {
  std::mt19937 random(4711);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 6000);
  int parsed = 0;
  for (int round = 0; round < 300; ++round) {
    Bytes bytes(length(random));
    for (auto& b : bytes) b = static_cast<unsigned char>(byte(random));
    if (round % 3 == 0 && bytes.size() > 10) bytes[0] = 'I', bytes[1] = 'D', bytes[2] = '3';
    if (Parse(bytes, "r.mp3", round % 2) == 0) continue;
    ++parsed;
    EXPECT_GE(info_.FirstFrame, 1);
    EXPECT_LE(info_.DataEnd, info_.FileSize);
    EXPECT_GE(info_.DataLength, 1);
    EXPECT_GT(info_.SampleRate, 0);
    EXPECT_GT(info_.ChunkBytes, 0);
  }
  EXPECT_GT(parsed, 10);  // random data holds plausible headers; they must still be consistent
}

TEST_F(MpegParse, PassedHandleStaysOpen) {
  Parse(Frames(4));
  FileHandle handle = GetFH(path_, 0);
  ASSERT_NE(handle, 0);
  ASSERT_EQ(ParseMpegFile(path_, 1, handle, info_), 1);
  EXPECT_EQ(FileSizeOf(handle), 4 * 417);
  EXPECT_EQ(FindFrameSync(path_, 2, info_, handle), 418);
  EXPECT_EQ(FileSizeOf(handle), 4 * 417);
  CloseFH(handle);
}

TEST(BitTextToInt, ReadsBinaryTextFromTheRight) {
  EXPECT_EQ(BitTextToInt("101"), 5);
  EXPECT_EQ(BitTextToInt(""), 0);
  EXPECT_EQ(BitTextToInt("0000000000000000000100000001"), 257);
  EXPECT_EQ(BitTextToInt("1x1"), 5);
  EXPECT_EQ(BitTextToInt(std::string(70, '1')), INT64_MAX);
}

}  // namespace
}  // namespace lumora
