#pragma once
// Stateless utilities over paths, files and folders. Paths are UTF-8 texts with
// "/" as the separator (a path beginning with "http" also uses "/"). Results are
// 1 / 0 for yes / no and empty text for failure; nothing here logs or shows.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

int32_t FileExists(const std::string& path);    // a folder never counts as a file
int32_t FileDelete(const std::string& path);    // a missing file counts as deleted
int32_t IsReservedName(const std::string& path);  // Windows device names (CON, COM1, ...), as text only
int32_t NameFile(const std::string& oldPath, const std::string& newPath);
// Rename with up to 10 attempts, letting window events run between them.
int32_t FileRename(const std::string& oldPath, const std::string& newPath, int32_t overwrite);

int32_t FolderExists(const std::string& path);
int32_t FolderCreate(const std::string& path);  // one level only
int32_t FolderRemove(const std::string& path);  // only an empty folder; missing counts as removed
int32_t FolderClean(const std::string& folder, int32_t keepFolder, int32_t olderThanDays,
                    const std::string& extension, int32_t noRecurse);
int32_t FolderHasEntries(const std::string& folder, const std::string& extension, int32_t mode);

// "yyyy/mm/dd hh:mm:ss" of a file time (seconds since the epoch), in local time.
std::string FileTimeText(int64_t unixSeconds);
// whichTime 0 creation (status change on Linux), 1 last access, 2 last write;
// parts 1 date, 2 time; style 0 compact, 1 "/" and ":", 2 年月日 時分秒.
std::string FileDateText(const std::string& path, int32_t whichTime, int32_t parts, int32_t style,
                         int32_t handle);

std::string AppFolder();     // folder of the program file, ending in "/"
std::string SystemFolder();  // a fixed system program folder, ending in "/"

std::string FolderSlash(const std::string& path, int32_t remove);
std::string AddExtension(const std::string& name, const std::string& extension);
std::string UniqueFileName(const std::string& path, int32_t withFolder, int32_t withExtension,
                           int32_t digits, int32_t always);
std::string SplitPath(const std::string& path, int32_t folder, int32_t slash, int32_t base, int32_t dot,
                      int32_t extension, int32_t letterCase);
// Fills results (index 0 upward) and returns their count; see the command-line rules.
int32_t ParseCommandLine(std::vector<std::string>& results, const std::string& option,
                         const std::string& line);
std::string CutAtNull(const std::string& text);

// Waits while letting window events run (DoEvents); optional sleep between rounds.
void WaitEvents(int32_t milliseconds, int32_t sleepMilliseconds);
std::string ByteToBitText(uint8_t value);

// The program's arguments after its name, for ParseCommandLine with an empty line.
void SetProgramArguments(int argc, char** argv);

}  // namespace lumora
