#include "recording/DiskWriter.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "recording/TakeFormat.h"

namespace lumora {
namespace {

TEST(DiskWriter, StagingBoundaries) {
  test::TempDir dir;
  const std::string path = dir.file("take.wav");
  TakeCounters counters;
  DiskWriter writer{counters};
  writer.Setup(StageCapacityFor({8000, 8, 1}, false, 0), true);  // 24000 bytes
  ASSERT_EQ(writer.OpenFile(path, false, {8000, 8, 1}), TakeClaim::kClaimed);
  std::vector<uint8_t> bytes(24001, 128);
  EXPECT_EQ(writer.WriteDiskBuffer(bytes.data(), 24001, path, 0), 0) << "over the capacity";
  EXPECT_EQ(writer.WriteDiskBuffer(bytes.data(), 0, path, 0), 0) << "a source with no bytes";
  EXPECT_EQ(writer.WriteDiskBuffer(nullptr, 0, path, 1), 1) << "flush with nothing staged";
  ASSERT_EQ(writer.WriteDiskBuffer(bytes.data(), 1000, path, 0), 1);
  ASSERT_EQ(writer.WriteDiskBuffer(bytes.data(), 23000, path, 0), 1) << "exactly the rest flushes first";
  EXPECT_EQ(FileSizeByName(path), 44 + 1000);
  EXPECT_EQ(writer.StagedBytes(), 23000);
}

}  // namespace
}  // namespace lumora
