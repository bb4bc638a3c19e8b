#include "formats/FileHandle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "common/TempDir.h"

namespace lumora {
namespace {

using Bytes = std::vector<unsigned char>;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

bool IsOpen(FileHandle handle) { return handle > 0 && fcntl(handle - 1, F_GETFD) != -1; }

TEST(GetFH, ModesOpenOrCreateButNeverTruncate) {
  TempDir dir;
  const std::string existing = dir.file("existing");
  WriteFileBytes(existing, {1, 2, 3});
  for (int32_t mode : {0, 1, 2}) {
    FileHandle h = GetFH(existing, mode);
    ASSERT_TRUE(IsOpen(h)) << mode;
    EXPECT_TRUE(fcntl(h - 1, F_GETFD) & FD_CLOEXEC);
    CloseFH(h);
    EXPECT_EQ(ReadFileBytes(existing), (Bytes{1, 2, 3})) << "mode " << mode;
    EXPECT_EQ(GetFH(dir.path().string(), mode), 0) << "a folder is no file";
  }
  EXPECT_EQ(GetFH(dir.file("missing"), 0) + GetFH(dir.file("missing"), 3), 0);
  EXPECT_EQ(access(dir.file("missing").c_str(), F_OK), -1) << "nothing was created";
}

TEST(ReadAt, ThreadsOneHandleAndStopsShortAtTheEnd) {
  TempDir dir;
  const std::string path = dir.file("f");
  WriteFileBytes(path, {10, 11, 12, 13, 14, 15});
  FileHandle h = ReadAt(nullptr, 0, 0, 0, path, 0);  // count 0, no handle, close 0: only opens
  unsigned char buffer[4] = {9, 9, 9, 9};
  h = ReadAt(buffer, 4, 4, h, "", 0);
  ASSERT_TRUE(IsOpen(h));
  EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{14, 15, 9, 9})) << "the rest is left as it was";

  // A failure closes even the caller's handle: a bad position, a write-only handle.
  h = GetFH(path, 0);
  EXPECT_EQ(ReadAt(buffer, 1, -5, h, "", 0), 0);
  EXPECT_FALSE(IsOpen(h));
  h = GetFH(path, 1);
  EXPECT_EQ(ReadAt(buffer, 1, 0, h, "", 0), 0);
  EXPECT_FALSE(IsOpen(h));
}

TEST(WriteMemToFileEX, AppendsOverwritesExtendsAndFailsOnAFullDisk) {
  TempDir dir;
  const std::string path = dir.file("created");
  const unsigned char abc[3] = {'a', 'b', 'c'};
  FileHandle h = WriteMemToFileEX(abc, 3, -1, 0, path, 0);  // a missing file is created
  h = WriteMemToFileEX(abc, 2, -1, h, "", 0);
  h = WriteMemToFileEX("Z", 1, 1, h, "", 0);
  EXPECT_EQ(WriteMemToFileEX("Q", 1, 7, h, "", 1), 1);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'Z', 'c', 'a', 'b', 0, 0, 'Q'}));
  EXPECT_EQ(WriteMemToFileEX(abc, 3, 0, 0, dir.file("no/folder"), 1), 0);

  FileHandle full = GetFH("/dev/full", 2);
  ASSERT_NE(full, 0);
  const Bytes block(4096, 7);
  EXPECT_EQ(WriteMemToFileEX(block.data(), 4096, -1, full, "", 0), 0);
  EXPECT_FALSE(IsOpen(full));
}

}  // namespace
}  // namespace lumora
