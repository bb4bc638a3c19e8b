#pragma once
// Block reads and writes at 64-bit positions over POSIX file descriptors.
//
// The threaded-handle rule: a read or write takes an optional open handle and a
// file name. Without a handle it opens the file itself. It can leave the handle
// open and return it (close = 0), so the caller passes it to the next call, or
// close it and return 1. On any failure it closes the handle, even one the
// caller passed in, and returns 0, so a caller that stores the result back into
// its handle variable never holds a dead handle.

#include <cstdint>
#include <string>

namespace lumora {

// A file handle; 0 means no handle. (Descriptor + 1, so that descriptor 0 is
// never mistaken for "no handle".)
using FileHandle = int32_t;

// Open modes: 0 read (the file must exist), 1 write, 2 read and write (created
// when missing; new files get 0644). Opening never truncates. Unknown mode, a
// folder or any failure: 0, and an unknown mode touches nothing.
FileHandle GetFH(const std::string& name, int32_t mode);

// Closes a non-zero handle and sets the variable to 0.
void CloseFH(FileHandle& handle);

// Reads count bytes at position into destination. See the rule above; with
// count 0, no handle and close 0 it only opens the file and returns the handle.
// A short read at the end of the file counts as success.
int32_t ReadAt(void* destination, int64_t count, int64_t position, FileHandle handle, const std::string& name,
               int32_t close);

// Writes count bytes at position (-1: at the end of the file). Without a handle
// the file is opened with mode 2. Result as for ReadAt.
int32_t WriteMemToFileEX(const void* source, int64_t count, int64_t position, FileHandle handle,
                         const std::string& name, int32_t close);

// Moves the file pointer to position from the start: 0 on success, -1 on failure.
int32_t SeekAt(FileHandle handle, int64_t position);

// Cuts or extends the file at the current file pointer: 1 on success, else 0.
int32_t SetEndOfFile(FileHandle handle);

// Size of an open file, or -1.
int64_t FileSizeOf(FileHandle handle);

// Size of a named file; 0 when it cannot be opened.
int64_t FileSizeByName(const std::string& name);

// Unsigned 32-bit file fields travel as signed 32-bit patterns.
int64_t U32ToCur(int32_t pattern);  // 0 ... 4294967295
int32_t CurToU32(double value);     // floor, clamped to 0 ... 2^32 - 1, as a pattern

// 1 when the whole part of n is odd (RIFF chunks of odd length get a pad byte).
int32_t IsOddCount(double n);

}  // namespace lumora
