// Path texts: separators, splitting, extensions and free-numbered names.
#include "support/FileSystem.h"
#include "support/PlainText.h"
#include "support/TimeText.h"

namespace lumora {

namespace {
constexpr char kSeparator = '/';
}  // namespace

std::string FolderSlash(const std::string& path, int32_t remove) {
  if (IsBlank(path)) return "";
  const bool endsInSeparator = path.back() == kSeparator;
  if (remove) return endsInSeparator ? path.substr(0, path.size() - 1) : path;
  return endsInSeparator ? path : path + kSeparator;
}

std::string SplitPath(const std::string& path, int32_t folder, int32_t slash, int32_t base, int32_t dot,
                      int32_t extension, int32_t letterCase) {
  if (path.empty()) return "";
  const size_t cut = path.rfind(kSeparator);
  const std::string folderPart = cut == std::string::npos ? "" : path.substr(0, cut);
  const std::string fileName = cut == std::string::npos ? path : path.substr(cut + 1);
  const size_t dotAt = fileName.rfind('.');
  const bool hasDot = dotAt != std::string::npos;
  std::string result;
  if (folder) result += folderPart;
  if (slash) result += kSeparator;
  if (base) result += hasDot ? fileName.substr(0, dotAt) : fileName;
  if (dot && hasDot) result += '.';
  if (extension && hasDot) result += fileName.substr(dotAt + 1);
  if (letterCase == 1) return AsciiLower(result);
  if (letterCase == 2) return AsciiUpper(result);
  return result;
}

std::string AddExtension(const std::string& name, const std::string& extension) {
  std::string ext = TrimBlanks(extension);
  if (name.empty()) return "";
  if (ext.empty()) return name;
  if (ext.front() != '.') ext.insert(0, 1, '.');
  if (EndsWithNoCase(name, ext)) return name;
  return name + AsciiLower(ext);
}

std::string UniqueFileName(const std::string& path, int32_t withFolder, int32_t withExtension, int32_t digits,
                           int32_t always) {
  // The folder is everything up to the last separator: a bare name stays in the
  // current folder instead of gaining a leading "/" (which would mean the root).
  const size_t cut = path.rfind(kSeparator);
  const std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
  const std::string base = SplitPath(path, 0, 0, 1, 0, 0, 0);
  const std::string dotExtension = SplitPath(path, 0, 0, 0, 1, 1, 0);
  const auto name = [&](const std::string& number) {
    return (withFolder ? folder : "") + base + number + (withExtension ? dotExtension : "");
  };
  if (!always && !FileExists(path)) return name("");
  int64_t n = 1;
  while (FileExists(folder + base + ZeroPad(n, digits) + dotExtension)) ++n;
  return name(ZeroPad(n, digits));
}

int32_t IsReservedName(const std::string& path) {
  static const char* const kReserved[] = {"CON",  "PRN",  "AUX",  "NUL",  "CLOCK$", "COM0", "COM1",
                                          "COM2", "COM3", "COM4", "COM5", "COM6",   "COM7", "COM8",
                                          "COM9", "LPT0", "LPT1", "LPT2", "LPT3",   "LPT4", "LPT5",
                                          "LPT6", "LPT7", "LPT8", "LPT9"};
  const std::string base = AsciiUpper(SplitPath(path, 0, 0, 1, 0, 0, 0));
  for (const char* name : kReserved) {
    if (base == name) return 1;
  }
  return 0;
}

}  // namespace lumora
