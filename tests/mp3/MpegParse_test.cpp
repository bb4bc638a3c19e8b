#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>

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
      {{0xF3, 0x50, 0xC0}, 1, 1, "mp3(22050Hz/40kbps/Mono)", "mp3(22.05kHz/40kb/Mono)"},
      {{0xE3, 0x80, 0xC0}, 1, 1, "mp3(11025Hz/64kbps/Mono)", "mp3(11.025kHz/64kb/Mono)"},  // MPEG-2.5
  };
  for (const auto& c : cases) {
    // Not *.mp3: there 0xFF 0xFF (Layer I, MPEG-1) would not start a frame.
    ASSERT_EQ(Parse(test::MpegFrame(c.header[0], c.header[1], c.header[2], 4000), "x.bin"), 1) << c.longText;
    EXPECT_EQ(std::tuple(info_.LongText, info_.ShortText, info_.Lsf, info_.Channels),
              std::tuple(c.longText, c.shortText, c.lsf, c.channels));
  }
}

// Where the audio data starts and ends, or 0 for files without a usable frame.
TEST_F(Mpeg, TagsAndSyncRulesPlaceTheData) {
  // ID3v2 size bytes 00 00 02 01: the search starts at 257 + 10 = 267, past a
  // decoy header near the end of the tag.
  Bytes id3 = test::Id3v2Tag({0, 0, 2, 1}, 257);
  std::copy_n(test::MpegFrame(0xF3, 0x50, 0xC0, 4).begin(), 4, id3.begin() + 258);
  // A second tag whose UTF-16 text starts with a byte-order mark that reads as
  // a Layer I header at 48000 Hz; a version 4 tag with a footer.
  Bytes bom = test::Id3v2Tag({0, 0, 0, 20}, 20), footed = test::Id3v2Tag({0, 0, 0, 10}, 20);
  std::copy_n(Bytes{0xFF, 0xFE, 0x54, 0x00}.begin(), 4, bom.begin() + 12);
  footed[5] = 0x10;
  Bytes tagBlock = test::Id3v1Tag();
  tagBlock[60] = 0xFF, tagBlock[61] = 0xF3, tagBlock[62] = 0x50;
  const Bytes frames = Cat({Frame128()}, 4), tag = test::Id3v1Tag(), ape = test::ApeTag(2000);
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
      {Cat({id3, bom, footed, frames, ape}), 268 + 30 + 30, 2064},
      {Cat({Bytes{0xFF, 0xFE, 0x54, 0x00}, Bytes(400, 0x11), frames, ape, tag}), 405, 2064 + 128},
      {Cat({frames, test::ApeTag(10)}), 1, 74},
      {Cat({tagBlock, frames}), 129},
      {Cat({frames, tag}), 1, 0, "take.mp3", 1},  // the recorder's own files are taken whole
      {Cat({{0xFF}, frames}), 2, 0, "a.MP3"},     // 0xFF 0xFF starts no frame in *.mp3 files,
      {Cat({{0xFF}, frames}), 2, 0, "a.dat"},     // elsewhere it is no valid header here
      // A first header with byte 3 = 0xFF names the second byte to look for.
      {Cat({test::MpegFrame(0xFB, 0xFF, 0x64, 100), test::MpegFrame(0xF3, 0x50, 0xC0, 100), frames}), 201},
      {Cat({Bytes(1994, 0x11), frames}), 1995},  // a header straddling the 1000-byte search blocks
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
       {Bytes{}, Frame128(47), Bytes(5000, 0xFF), noSync, tag, test::Id3v2Tag({0x7F, 0x7F, 0x7F, 0x7F}, 100),
        test::MpegFrame(0xF9, 0x90, 0x64, 1000), test::MpegFrame(0xFB, 0xF0, 0x64, 1000)}) {
    EXPECT_EQ(Parse(bytes), 0) << bytes.size() << " bytes";  // the last two: layer, bit rate
  }
  EXPECT_EQ(ParseMpegFile(dir_.file("missing.mp3"), 0, info_), 0);
}

// The VBR header sits behind the side information, whose size depends on the
// version and the channel mode. Frames of 208 bytes: 64 kbit/s at 44100 and
// 22050 Hz, 32 kbit/s at 11025 Hz.
TEST_F(Mpeg, VbrHeadersOfEveryVersionAndChannelMode) {
  const struct {
    uint8_t b1, b2, b3;
    size_t at;
    int32_t durationMs, kbps;  // of 21 frames
  } layouts[] = {{0xFB, 0x50, 0x00, 36, 549, 64},
                 {0xFB, 0x50, 0xC0, 21, 549, 64},
                 {0xF3, 0x80, 0x40, 21, 549, 64},
                 {0xF3, 0x80, 0xC0, 13, 549, 64},
                 {0xE3, 0x40, 0xC0, 13, 1097, 32}};
  for (const auto& l : layouts) {
    SCOPED_TRACE(testing::Message() << std::hex << int{l.b1} << " " << int{l.b3});
    const Bytes audio = Cat({test::MpegFrame(l.b1, l.b2, l.b3, 208)}, 20);
    ASSERT_EQ(Parse(Cat({test::VbrFrame("Xing", l.b1, l.b2, l.b3, 21, l.at, 208), audio})), 1);
    EXPECT_EQ(info_.IsVbr, 1);
    EXPECT_EQ(info_.DurationMs, l.durationMs);
    EXPECT_EQ(info_.Bitrate, l.kbps);
    EXPECT_NE(info_.LongText.find("[VBR]"), std::string::npos);
  }
  // An "Info" frame marks a constant bit rate, which its own header need not
  // show (56 kbit/s in front of 64 kbit/s audio): the audio frames' rate counts.
  const Bytes audio = Cat({test::MpegFrame(0xFB, 0x50, 0xC0, 208)}, 20);
  ASSERT_EQ(Parse(Cat({test::VbrFrame("Info", 0xFB, 0x40, 0xC0, 20, 21, 182), audio})), 1);
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/64kbps/Mono)");
  EXPECT_EQ(info_.FirstFrame, 1);

  // A count that gives no usable bit rate is ignored.
  for (uint32_t frames : {0u, 0xFFFFFFFFu}) {
    ASSERT_EQ(Parse(Cat({test::VbrFrame("Xing", 0xFB, 0x90, 0x64, frames, 36, 417), Frame128()})), 1);
    EXPECT_EQ(std::tuple(info_.IsVbr, info_.Bitrate, info_.DurationMs), std::tuple(0, 128, 52));
  }
}

// Files the lame encoder writes, with its VBR or "Info" header frame first.
TEST_F(Mpeg, DurationOfEncodedFilesOfEveryVersion) {
  const struct {
    int32_t rate, channels;
    const char* mode;
  } cases[] = {{44100, 2, "-V 5"}, {22050, 1, "-V 5"}, {11025, 1, "-V 7"}, {24000, 2, "--cbr -b 64"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.channels << " ch " << c.mode);
    const std::string wav = dir_.file("in.wav"), mp3 = dir_.file("lame.mp3");
    const std::string command = "sox -n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) +
                                " -b 16 '" + wav + "' synth 6 sine 200:4000 && lame --quiet " + c.mode +
                                " '" + wav + "' '" + mp3 + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "no sox or lame program";
    ASSERT_EQ(ParseMpegFile(mp3, 0, info_), 1);
    EXPECT_NEAR(info_.DurationMs, 6000, 120);
    EXPECT_EQ(info_.IsVbr, c.mode[1] == 'V' ? 1 : 0);
  }
  EXPECT_EQ(info_.Bitrate, 64);
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
  EXPECT_EQ(Sync(2937), end - 999);
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
