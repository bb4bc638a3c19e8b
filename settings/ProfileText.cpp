#include "settings/ProfileText.h"

#include <vector>

#include "settings/TextRules.h"

namespace lumora {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

enum class LineKind { kSection, kKey, kBlank, kOther };

// One line of the file, [begin, end) with its line break.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  LineKind kind = LineKind::kOther;
  std::string_view name;
  std::string_view value;
};

Line ClassifyLine(std::string_view text, size_t begin, size_t contentEnd, size_t end) {
  Line line;
  line.begin = begin;
  line.end = end;
  const std::string_view content = TrimSpaces(text.substr(begin, contentEnd - begin));
  if (content.empty()) {
    line.kind = LineKind::kBlank;
  } else if (content.front() == '[' && content.find(']') != std::string_view::npos) {
    line.kind = LineKind::kSection;
    line.name = TrimSpaces(content.substr(1, content.find(']') - 1));
  } else if (content.front() != ';' && content.find('=') != std::string_view::npos) {
    const size_t equals = content.find('=');
    line.kind = LineKind::kKey;
    line.name = TrimSpaces(content.substr(0, equals));
    line.value = TrimSpaces(content.substr(equals + 1));
  }
  return line;
}

size_t BodyStart(std::string_view text) { return text.starts_with(kBom) ? kBom.size() : 0; }

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = BodyStart(text);
  while (begin < text.size()) {
    const size_t newline = text.find('\n', begin);
    const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
    size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
    if (contentEnd > begin && text[contentEnd - 1] == '\r') --contentEnd;
    lines.push_back(ClassifyLine(text, begin, contentEnd, end));
    begin = end;
  }
  return lines;
}

// Index of the first header of the section, or lines.size().
size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection && EqualsIgnoringCase(lines[i].name, section)) return i;
  }
  return lines.size();
}

// Index one past the last line of the section whose header is at index header.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::kSection) ++i;
  return i;
}

// Index of the key in [first, last), or last.
size_t FindKey(const std::vector<Line>& lines, size_t first, size_t last, std::string_view key) {
  for (size_t i = first; i < last; ++i) {
    if (lines[i].kind == LineKind::kKey && EqualsIgnoringCase(lines[i].name, key)) return i;
  }
  return last;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line.append("=").append(value).append(kLineEnd);
  return line;
}

std::string AppendSection(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
  std::string result(text);
  if (result.size() > BodyStart(text) && result.back() != '\n') result.append(kLineEnd);
  result.append("[").append(section).append("]").append(kLineEnd);
  return result + KeyLine(key, value);
}

std::string ReplaceLine(std::string_view text, const Line& line, std::string_view value) {
  std::string result(text.substr(0, line.begin));
  result += KeyLine(line.name, value);
  result += text.substr(line.end);
  return result;
}

std::string InsertAfter(std::string_view text, const Line& line, std::string_view key,
                        std::string_view value) {
  std::string result(text.substr(0, line.end));
  if (!result.ends_with('\n'))
    result.append(kLineEnd);  // a last line without a break, or ending in a lone CR
  result += KeyLine(key, value);
  result += text.substr(line.end);
  return result;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  const std::vector<Line> lines = SplitLines(text);
  const size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::nullopt;
  const size_t end = SectionEnd(lines, header);
  const size_t found = FindKey(lines, header + 1, end, key);
  if (found == end) return std::nullopt;
  return std::string(lines[found].value);
}

bool IsValidProfileName(std::string_view name) {
  return !name.empty() && name.find_first_of(std::string_view("=]\r\n\0", 5)) == std::string_view::npos &&
         TrimSpaces(name) == name && name.front() != ';' && name.front() != '[';
}

bool IsValidProfileValue(std::string_view value) {
  return value.find_first_of("\r\n") == std::string_view::npos;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const std::vector<Line> lines = SplitLines(text);
  const size_t header = FindSection(lines, section);
  if (header == lines.size()) return AppendSection(text, section, key, value);
  const size_t end = SectionEnd(lines, header);
  const size_t found = FindKey(lines, header + 1, end, key);
  if (found != end) return ReplaceLine(text, lines[found], value);
  size_t last = end - 1;
  while (lines[last].kind == LineKind::kBlank) --last;  // stops at the header at the latest
  return InsertAfter(text, lines[last], key, value);
}

}  // namespace lumora
