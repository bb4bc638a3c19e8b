#include "recording/DiskWriter.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "recording/TakeFormat.h"

namespace lumora {
namespace {

class DiskWriterTest : public ::testing::Test {
 protected:
  void StartWav(const SampleFormat& format) {
    format_ = format;
    path_ = dir_.file("take.wav");
    writer_.Setup(StageCapacityFor(format, false, 0), true);
    ASSERT_EQ(writer_.OpenFile(path_, false, format), TakeClaim::kClaimed);
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

TEST_F(DiskWriterTest, StagingBoundaries) {
  StartWav({8000, 8, 1});  // capacity 24000 bytes
  std::vector<uint8_t> bytes(24001, 128);
  EXPECT_EQ(writer_.WriteDiskBuffer(bytes.data(), 24001, path_, 0), 0) << "over the capacity";
  EXPECT_EQ(writer_.WriteDiskBuffer(bytes.data(), 0, path_, 0), 0) << "a source with no bytes";
  EXPECT_EQ(writer_.WriteDiskBuffer(nullptr, 0, path_, 1), 1) << "flush with nothing staged";
  ASSERT_EQ(writer_.WriteDiskBuffer(bytes.data(), 1000, path_, 0), 1);
  ASSERT_EQ(writer_.WriteDiskBuffer(bytes.data(), 23000, path_, 0), 1) << "exactly the rest flushes first";
  EXPECT_EQ(FileSizeByName(path_), 44 + 1000);
  EXPECT_EQ(writer_.StagedBytes(), 23000);
}

// Recorders sharing a folder: a numbered name is created exclusively, and a
// file a take holds is neither emptied nor written by another.
TEST_F(DiskWriterTest, ATakesFileIsItsOwn) {
  StartWav({8000, 16, 1});
  ASSERT_EQ(Hand(), 1);
  ASSERT_EQ(writer_.WriteDiskBuffer(nullptr, 0, "", 1), 1);
  const auto before = test::ReadFileBytes(path_);
  TakeFile other;
  EXPECT_EQ(other.Open(path_, true), TakeClaim::kTaken);
  EXPECT_EQ(other.Open(path_, false), TakeClaim::kFailed) << "held by the running take";
  EXPECT_EQ(test::ReadFileBytes(path_), before);
  writer_.CloseFile(false);
  EXPECT_EQ(other.Open(path_, false), TakeClaim::kClaimed) << "free once the take ended";
  EXPECT_EQ(FileSizeByName(path_), 0);
}

}  // namespace
}  // namespace lumora
