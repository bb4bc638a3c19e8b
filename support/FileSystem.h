#pragma once
// Stateless utilities over paths, files and folders. Paths are UTF-8 texts with
// "/" as the separator (a path beginning with "http" also uses "/"). Results are
// 1 / 0 for yes / no and empty text for failure; nothing here logs or shows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumora {

int32_t FileExists(const std::string& path);  // a folder never counts as a file
// Deletes a file (clearing a missing owner write permission first): 1 when it is
// gone, also when it never existed; 0 when it stays (a folder, no permission).
int32_t FileDelete(const std::string& path);
int32_t IsReservedName(const std::string& path);  // Windows device names (CON, COM1, ...), as text only
// One rename attempt; 0 when it fails, also when newPath already exists.
int32_t NameFile(const std::string& oldPath, const std::string& newPath);
// Rename with up to 10 attempts 10, 20, ... 90 ms apart, letting window events
// run meanwhile; overwrite deletes an existing target first. 1 on success.
int32_t FileRename(const std::string& oldPath, const std::string& newPath, int32_t overwrite);

int32_t FolderExists(const std::string& path);
int32_t FolderCreate(const std::string& path);  // one level only
int32_t FolderRemove(const std::string& path);  // only an empty folder; missing counts as removed
// Deletes the files (of one extension, or all for "") last written more than
// olderThanDays ago (0: every file), recursing unless noRecurse and removing the
// subfolders it empties; links are deleted, never followed. 0 when the folder
// is missing; else 1 with keepFolder, or whether the folder itself was removed.
int32_t FolderClean(const std::string& folder, int32_t keepFolder, int32_t olderThanDays,
                    const std::string& extension, int32_t noRecurse);
// mode 0: 1 when any entry matches "*.extension" ("" matches all); mode 1: when
// a matching entry is a folder. 0 otherwise and for a missing folder.
int32_t FolderHasEntries(const std::string& folder, const std::string& extension, int32_t mode);

// "yyyy/mm/dd hh:mm:ss" of a file time (seconds since the epoch), in local time.
std::string FileTimeText(int64_t unixSeconds);
// whichTime 0 creation (birth time where the file system keeps one, else the
// last status change), 1 last access, 2 last write; parts 1 date, 2 time;
// style 0 compact, 1 "/" and ":", 2 年月日 時分秒. handle: an open FileHandle
// (descriptor + 1) to ask instead of path, or 0. Empty text on any failure.
std::string FileDateText(const std::string& path, int32_t whichTime, int32_t parts, int32_t style,
                         int32_t handle);

std::string AppFolder();     // folder of the program file, ending in "/"
std::string SystemFolder();  // a fixed system program folder, ending in "/"

std::string FolderSlash(const std::string& path, int32_t remove);
std::string AddExtension(const std::string& name, const std::string& extension);
// path itself when free (unless always), else the first free base + number
// (digits wide, or wider) + extension; folders never block a number.
std::string UniqueFileName(const std::string& path, int32_t withFolder, int32_t withExtension, int32_t digits,
                           int32_t always);
std::string SplitPath(const std::string& path, int32_t folder, int32_t slash, int32_t base, int32_t dot,
                      int32_t extension, int32_t letterCase);
// Fills results (index 0 upward) with the values found and returns their count
// (results = {""} for none). option "": tokens that look like paths ("/...",
// "C:...", "\\host..."); else the rest of tokens that begin with option or
// "/" + option. An empty line parses the program's arguments.
int32_t ParseCommandLine(std::vector<std::string>& results, const std::string& option,
                         const std::string& line);
std::string CutAtNull(const std::string& text);

// Lets window events run (DoEvents) until more than milliseconds have passed on
// the monotonic clock; sleeps sleepMilliseconds between rounds when positive.
void WaitEvents(int32_t milliseconds, int32_t sleepMilliseconds);
// The same wait, ended early when done() (asked before each round) is true;
// returns whether it was.
bool WaitEventsUntil(int32_t milliseconds, const std::function<bool()>& done, int32_t sleepMilliseconds);
std::string ByteToBitText(uint8_t value);

// The program's arguments after its name, for ParseCommandLine with an empty line.
void SetProgramArguments(int argc, char** argv);

}  // namespace lumora
