#include "recording/DiskWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "formats/Wav.h"
#include "recording/TakeFormat.h"

namespace lumora {
namespace {

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t offset) {
  uint32_t v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}

// Checks that the header sizes describe exactly the bytes on disk.
void ExpectHeaderMatchesFile(const std::string& path) {
  const auto bytes = test::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(Le32(bytes, 40), bytes.size() - 44);
}

class DiskWriterTest : public ::testing::Test {
 protected:
  void StartWav(const SampleFormat& format) {
    format_ = format;
    path_ = dir_.file("take.wav");
    ASSERT_EQ(WriteWavHeader(path_, format.nFreq, format.nBit, format.nCh, 0), 1);
    writer_.Setup(StageCapacityFor(format, false, 0), true);
    buffer_.assign(static_cast<size_t>(FramesPerBufferFor(format, false) * format.BlockAlign()), 0);
  }
  // Hands one buffer to the writer the way a take does.
  int32_t Hand() {
    for (auto& b : buffer_) b = static_cast<uint8_t>(counter_++ * 7);
    counters_.FramesWritten += FramesPerBufferFor(format_, false);
    return writer_.WriteDiskBuffer(buffer_.data(), static_cast<int64_t>(buffer_.size()), path_, 0);
  }

  test::TempDir dir_;
  SampleFormat format_;
  std::string path_;
  TakeCounters counters_;
  DiskWriter writer_{counters_};
  std::vector<uint8_t> buffer_;
  uint32_t counter_ = 0;
};

TEST_F(DiskWriterTest, At11025HzThirtyBuffersFitAndTheThirtyFirstFlushes) {
  StartWav({11025, 16, 2});
  for (int i = 1; i <= 30; ++i) ASSERT_EQ(Hand(), 1);
  EXPECT_EQ(FileSizeByName(path_), 44);
  ASSERT_EQ(Hand(), 1);
  EXPECT_EQ(FileSizeByName(path_), 44 + 30 * 1102 * 4);
  ExpectHeaderMatchesFile(path_);
}

TEST_F(DiskWriterTest, StagingBoundaries) {
  StartWav({8000, 8, 1});  // capacity 24000 bytes
  std::vector<uint8_t> bytes(24001, 128);
  EXPECT_EQ(writer_.WriteDiskBuffer(bytes.data(), 24001, path_, 0), 0) << "over the capacity";
  EXPECT_EQ(writer_.StagedBytes(), 0);
  EXPECT_EQ(writer_.WriteDiskBuffer(bytes.data(), 0, path_, 0), 0) << "a source with no bytes";
  EXPECT_EQ(writer_.WriteDiskBuffer(nullptr, 0, path_, 1), 1) << "flush with nothing staged";
  EXPECT_EQ(FileSizeByName(path_), 44);

  ASSERT_EQ(writer_.WriteDiskBuffer(bytes.data(), 1000, path_, 0), 1);
  ASSERT_EQ(writer_.WriteDiskBuffer(bytes.data(), 23000, path_, 0), 1) << "exactly the rest flushes first";
  EXPECT_EQ(FileSizeByName(path_), 44 + 1000);
  EXPECT_EQ(writer_.StagedBytes(), 23000);
  ASSERT_EQ(writer_.WriteDiskBuffer(bytes.data(), 10, dir_.file("other.wav"), 0), 1)
      << "a new file flushes the old one";
  EXPECT_EQ(FileSizeByName(path_), 44 + 24000);
  EXPECT_EQ(writer_.StageFile(), dir_.file("other.wav"));
}

TEST(SetFileSize, CutsExtendsAndRefusesSizesAbove4GiB) {
  test::TempDir dir;
  const std::string path = dir.file("f.mp3");
  EXPECT_EQ(SetFileSize(path, 100), 1);
  EXPECT_EQ(FileSizeByName(path), 100);
  EXPECT_EQ(SetFileSize(path, 7), 1);
  EXPECT_EQ(FileSizeByName(path), 7);
  EXPECT_EQ(SetFileSize(path, 4294967295LL), 0);
  EXPECT_EQ(FileSizeByName(path), 7);
}

}  // namespace
}  // namespace lumora
