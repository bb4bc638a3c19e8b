#include "formats/FileHandle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "common/TempDir.h"

namespace lumora {
namespace {

using Bytes = std::vector<unsigned char>;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

bool IsOpen(FileHandle handle) { return handle > 0 && fcntl(handle - 1, F_GETFD) != -1; }

int64_t PointerOf(FileHandle handle) { return lseek(handle - 1, 0, SEEK_CUR); }

// A sparse file of the given length: no disk space, but real 64-bit offsets.
void MakeSparse(const std::string& path, int64_t length) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, length), 0);
  close(fd);
}

TEST(GetFH, ModesOpenCreateOrRefuseWithoutTruncating) {
  TempDir dir;
  const std::string missing = dir.file("missing");
  EXPECT_EQ(GetFH(missing, 0), 0);
  EXPECT_EQ(access(missing.c_str(), F_OK), -1) << "mode 0 must not create";

  const std::string existing = dir.file("existing");
  WriteFileBytes(existing, {1, 2, 3});
  for (int32_t unknown : {3, -1, 99}) {
    EXPECT_EQ(GetFH(existing, unknown), 0);
    EXPECT_EQ(GetFH(dir.file("never"), unknown), 0);
  }
  EXPECT_EQ(access(dir.file("never").c_str(), F_OK), -1);

  for (int32_t mode : {0, 1, 2}) {
    FileHandle h = GetFH(existing, mode);
    ASSERT_NE(h, 0) << mode;
    EXPECT_TRUE(fcntl(h - 1, F_GETFD) & FD_CLOEXEC);
    CloseFH(h);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(ReadFileBytes(existing), (Bytes{1, 2, 3})) << "mode " << mode << " truncated";
  }

  const mode_t mask = umask(0);
  umask(mask);
  for (int32_t mode : {1, 2}) {
    const std::string created = dir.file("created" + std::to_string(mode));
    FileHandle h = GetFH(created, mode);
    ASSERT_NE(h, 0);
    CloseFH(h);
    struct stat st {};
    ASSERT_EQ(stat(created.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mode & 0777, 0644 & ~mask);
  }
}

TEST(GetFH, AFolderIsNotAFile) {
  TempDir dir;
  for (int32_t mode : {0, 1, 2}) EXPECT_EQ(GetFH(dir.path().string(), mode), 0);
  EXPECT_EQ(FileSizeByName(dir.path().string()), 0);
  FileHandle none = 0;
  CloseFH(none);  // closing "no handle" is harmless
  EXPECT_EQ(none, 0);
}

TEST(ReadAt, ThreadsOneHandleThroughASeriesOfReads) {
  TempDir dir;
  const std::string path = dir.file("f");
  WriteFileBytes(path, {10, 11, 12, 13, 14, 15});

  // Count 0, no handle, close 0: only opens.
  FileHandle h = ReadAt(nullptr, 0, 0, 0, path, 0);
  ASSERT_TRUE(IsOpen(h));
  unsigned char two[2] = {};
  h = ReadAt(two, 2, 4, h, "", 0);
  ASSERT_TRUE(IsOpen(h));
  EXPECT_EQ(two[0], 14);
  EXPECT_EQ(two[1], 15);
  h = ReadAt(two, 2, 1, h, "", 0);
  EXPECT_EQ(two[0], 11);
  // A passed handle with close 1: success is 1 and the handle is gone.
  const FileHandle passed = h;
  EXPECT_EQ(ReadAt(two, 1, 0, passed, "", 1), 1);
  EXPECT_FALSE(IsOpen(passed));
  EXPECT_EQ(two[0], 10);

  // Count 0 with close 1 is a successful empty read.
  EXPECT_EQ(ReadAt(nullptr, 0, 0, 0, path, 1), 1);
  EXPECT_EQ(ReadAt(two, 2, 0, 0, dir.file("missing"), 1), 0);
}

TEST(ReadAt, ShortReadAtTheEndSucceedsAndLeavesTheRestAlone) {
  TempDir dir;
  const std::string path = dir.file("f");
  WriteFileBytes(path, {1, 2, 3});
  unsigned char buffer[6] = {9, 9, 9, 9, 9, 9};
  EXPECT_EQ(ReadAt(buffer, 6, 1, 0, path, 1), 1);
  EXPECT_EQ(Bytes(buffer, buffer + 6), (Bytes{2, 3, 9, 9, 9, 9}));
  EXPECT_EQ(ReadAt(buffer, 6, 100, 0, path, 1), 1);  // entirely past the end
  EXPECT_EQ(buffer[0], 2);
}

TEST(ReadAt, AFailureClosesEvenTheCallersHandle) {
  TempDir dir;
  const std::string path = dir.file("f");
  WriteFileBytes(path, {1, 2, 3});
  unsigned char byte = 0;

  FileHandle h = GetFH(path, 0);
  EXPECT_EQ(ReadAt(&byte, 1, -5, h, "", 0), 0);  // the seek fails
  EXPECT_FALSE(IsOpen(h));

  h = GetFH(path, 1);  // write-only: the read itself fails
  ASSERT_NE(h, 0);
  EXPECT_EQ(ReadAt(&byte, 1, 0, h, "", 0), 0);
  EXPECT_FALSE(IsOpen(h));
}

TEST(WriteMemToFileEX, AppendsOverwritesAndExtends) {
  TempDir dir;
  const std::string path = dir.file("created");
  const unsigned char abc[3] = {'a', 'b', 'c'};
  // -1 on a missing file: created, bytes at offset 0.
  FileHandle h = WriteMemToFileEX(abc, 3, -1, 0, path, 0);
  ASSERT_TRUE(IsOpen(h));
  h = WriteMemToFileEX(abc, 2, -1, h, "", 0);
  h = WriteMemToFileEX("Z", 1, 1, h, "", 0);
  EXPECT_EQ(WriteMemToFileEX("Q", 1, 7, h, "", 1), 1);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'Z', 'c', 'a', 'b', 0, 0, 'Q'}));

  // An empty write opens and returns the handle like any other.
  h = WriteMemToFileEX(abc, 0, -1, 0, path, 0);
  EXPECT_TRUE(IsOpen(h));
  CloseFH(h);
  EXPECT_EQ(WriteMemToFileEX(abc, 3, 0, 0, dir.file("no/such/folder"), 1), 0);
}

TEST(WriteMemToFileEX, AFullDiskFailsAndClosesTheCallersHandle) {
  FileHandle h = GetFH("/dev/full", 2);
  ASSERT_NE(h, 0);
  const Bytes block(4096, 7);
  EXPECT_EQ(WriteMemToFileEX(block.data(), 4096, -1, h, "", 0), 0);
  EXPECT_FALSE(IsOpen(h));

  FileHandle readOnly = GetFH("/dev/zero", 0);
  ASSERT_NE(readOnly, 0);
  EXPECT_EQ(WriteMemToFileEX(block.data(), 1, 0, readOnly, "", 1), 0);
  EXPECT_FALSE(IsOpen(readOnly));
}

TEST(FileHandle64, PositionsAndSizesBeyondFourGiB) {
  TempDir dir;
  const std::string path = dir.file("big");
  MakeSparse(path, 4294967306);  // 4 GiB + 10
  EXPECT_EQ(FileSizeByName(path), 4294967306);

  FileHandle h = GetFH(path, 2);
  ASSERT_NE(h, 0);
  EXPECT_EQ(FileSizeOf(h), 4294967306);
  // Low part 0xFFFFFFFF is an ordinary position, not a failure value.
  EXPECT_EQ(SeekAt(h, 4294967295), 0);
  EXPECT_EQ(PointerOf(h), 4294967295);
  EXPECT_EQ(SeekAt(h, 5000000000), 0);
  EXPECT_EQ(PointerOf(h), 5000000000);
  EXPECT_EQ(SeekAt(h, -1), -1);

  const unsigned char mark[4] = {1, 2, 3, 4};
  h = WriteMemToFileEX(mark, 4, 4294967294, h, "", 0);  // straddles 2^32
  unsigned char back[4] = {};
  h = ReadAt(back, 4, 4294967294, h, "", 0);
  ASSERT_TRUE(IsOpen(h));
  EXPECT_EQ(Bytes(back, back + 4), Bytes(mark, mark + 4));

  h = WriteMemToFileEX(mark, 1, -1, h, "", 0);
  EXPECT_EQ(FileSizeOf(h), 4294967307);
  ASSERT_EQ(SeekAt(h, 5000000000), 0);
  EXPECT_EQ(SetEndOfFile(h), 1);
  EXPECT_EQ(FileSizeOf(h), 5000000000);
  ASSERT_EQ(SeekAt(h, 10), 0);
  EXPECT_EQ(SetEndOfFile(h), 1);
  EXPECT_EQ(FileSizeOf(h), 10);
  CloseFH(h);
  EXPECT_EQ(FileSizeOf(h), -1);
  EXPECT_EQ(SeekAt(h, 0), -1);
  EXPECT_EQ(SetEndOfFile(h), 0);
  EXPECT_EQ(FileSizeByName(dir.file("missing")), 0);
}

TEST(FileFieldConversions, U32PatternsCountsAndOddness) {
  EXPECT_EQ(U32ToCur(0), 0);
  EXPECT_EQ(U32ToCur(2147483647), 2147483647);
  EXPECT_EQ(U32ToCur(INT32_MIN), 2147483648);
  EXPECT_EQ(U32ToCur(-1), 4294967295);

  EXPECT_EQ(CurToU32(0), 0);
  EXPECT_EQ(CurToU32(36.99), 36);
  EXPECT_EQ(CurToU32(2147483648.0), INT32_MIN);
  EXPECT_EQ(CurToU32(4294967295.0), -1);
  EXPECT_EQ(CurToU32(4294967296.0), -1);
  EXPECT_EQ(CurToU32(1e300), -1);
  EXPECT_EQ(CurToU32(-5), 0);
  EXPECT_EQ(CurToU32(-0.5), 0);
  EXPECT_EQ(CurToU32(std::nan("")), 0);
  for (int64_t v : {int64_t{0}, int64_t{44}, int64_t{2147483648}, int64_t{4294967295}})
    EXPECT_EQ(U32ToCur(CurToU32(static_cast<double>(v))), v);

  EXPECT_EQ(IsOddCount(3), 1);
  EXPECT_EQ(IsOddCount(4), 0);
  EXPECT_EQ(IsOddCount(3.9), 1);
  EXPECT_EQ(IsOddCount(4294967295.0), 1);
  EXPECT_EQ(IsOddCount(0), 0);
  EXPECT_EQ(IsOddCount(-3), 1);
}

}  // namespace
}  // namespace lumora
