#include <gtest/gtest.h>

#include "common/TempDir.h"
#include "formats/Mpeg.h"
#include "mp3/Mp3TestData.h"

namespace lumora {
namespace {

using test::Append;
using test::Bytes;
using test::Frame128;

// Streams of 128 kbit/s frames (ChunkBytes 1254), parsed as the recorder's own
// files are, with damage placed at known positions.
class FrameSync : public ::testing::Test {
 protected:
  void Write(const Bytes& bytes) {
    test::WriteFileBytes(path_, bytes);
    ASSERT_EQ(ParseMpegFile(path_, 1, info_), 1);
    ASSERT_EQ(info_.ChunkBytes, 1254);
  }

  static void Put(Bytes& bytes, size_t at, const Bytes& header) {
    std::copy(header.begin(), header.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }

  test::TempDir dir_;
  std::string path_ = dir_.file("take.mp3");
  MpegInfo info_;
};

TEST_F(FrameSync, CleanStreamGivesTheNextFrameStart) {
  Bytes bytes;
  for (int i = 0; i < 30; ++i) Append(bytes, Frame128(i % 3 == 2 ? 418 : 417));
  Write(bytes);
  EXPECT_EQ(FindFrameSync(path_, 1, info_), 1);
  EXPECT_EQ(FindFrameSync(path_, -50, info_), 1);  // clamped to the first frame
  EXPECT_EQ(FindFrameSync(path_, 2, info_), 418);
  EXPECT_EQ(FindFrameSync(path_, 418, info_), 418);
  EXPECT_EQ(FindFrameSync(path_, 419, info_), 835);
  EXPECT_EQ(FindFrameSync(path_, 835, info_), 835);
  EXPECT_EQ(FindFrameSync(path_, 836, info_), 1253);  // behind a padded frame of 418 bytes
}

TEST_F(FrameSync, BestMatchWinsOverEarlierLookalikes) {
  Bytes bytes = Frame128();
  Bytes junk(600, 0x33);
  Put(junk, 10, {0xFF, 0xF3, 0x90, 0x64});   // MPEG-2: 38 points
  Put(junk, 100, {0xFF, 0xFA, 0x90, 0x64});  // CRC bit differs: 41 points
  Put(junk, 200, {0xFF, 0xFB, 0x94, 0x64});  // sample rate differs: 38 points
  Put(junk, 300, {0xFF, 0xFB, 0x90, 0xE4});  // channel mode differs: 38 points
  Append(bytes, junk);
  Append(bytes, Frame128());
  for (int i = 0; i < 10; ++i) Append(bytes, Frame128());
  Write(bytes);
  EXPECT_EQ(FindFrameSync(path_, 418, info_), 417 + 600 + 1);
}

TEST_F(FrameSync, OtherBitRatesStillCountAsFrames) {
  // In a VBR stream the bit-rate bits change from frame to frame: such a frame
  // (40 points) beats a lookalike with another layer (34 points).
  Bytes bytes = Frame128();
  Bytes junk(100, 0x33);
  Put(junk, 20, {0xFF, 0xFD, 0x90, 0x64});
  Append(bytes, junk);
  Append(bytes, test::MpegFrame(0xFB, 0xA0, 0x64, 500));
  Append(bytes, Bytes(3000, 0x33));
  Write(bytes);
  EXPECT_EQ(FindFrameSync(path_, 418, info_), 518);
}

TEST_F(FrameSync, CandidatesMustScoreAtLeastOnePoint) {
  Bytes bytes = Frame128();
  Bytes junk(3000, 0x33);
  Put(junk, 500, {0xFF, 0xF4, 0x6D, 0x9B});  // every scored bit differs
  Append(bytes, junk);
  Write(bytes);
  EXPECT_EQ(FindFrameSync(path_, 418, info_), info_.DataEnd + 1);

  Put(bytes, 417 + 600, {0xFF, 0xF4, 0x6D, 0x9A});  // the last emphasis bit agrees
  Write(bytes);
  EXPECT_EQ(FindFrameSync(path_, 418, info_), 417 + 600 + 1);
}

TEST_F(FrameSync, SearchWindowIsTwoChunksAndNeverShorterThanOne) {
  Bytes bytes = Frame128();
  Append(bytes, Bytes(2 * 1254 + 10, 0x33));
  Append(bytes, Frame128());
  Bytes tail(2000, 0x33);
  Put(tail, 1000, {0xFF, 0xFB, 0x90, 0x64});
  Append(bytes, tail);
  Write(bytes);
  const int64_t hidden = 417 + 2 * 1254 + 10 + 1;
  const int64_t last = info_.DataEnd - 999;
  EXPECT_EQ(FindFrameSync(path_, 418, info_), info_.DataEnd + 1);  // beyond 2 x ChunkBytes
  EXPECT_EQ(FindFrameSync(path_, hidden - 100, info_), hidden);
  // Near the end the window shrinks; below ChunkBytes nothing is searched.
  EXPECT_EQ(FindFrameSync(path_, info_.DataEnd - 1253, info_), last);
  EXPECT_EQ(FindFrameSync(path_, info_.DataEnd - 1252, info_), info_.DataEnd + 1);
  EXPECT_EQ(FindFrameSync(path_, info_.DataEnd + 500, info_), info_.DataEnd + 1);
}

TEST_F(FrameSync, UnreadableFileFindsNothing) {
  Bytes bytes;
  for (int i = 0; i < 10; ++i) Append(bytes, Frame128());
  Write(bytes);
  std::filesystem::remove(path_);
  EXPECT_EQ(FindFrameSync(path_, 2, info_), info_.DataEnd + 1);
  EXPECT_EQ(FindFrameSync(path_, 2, MpegInfo{}), 1);  // an empty record has no data to search
}

}  // namespace
}  // namespace lumora
