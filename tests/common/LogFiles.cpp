#include "common/LogFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumora::test {

std::string ReadLogFiles(const std::string& folder, const std::string& extension) {
  std::string text;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() != extension) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return text;
}

}  // namespace lumora::test
