#include "common/ProgramRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "common/TempDir.h"

namespace lumora::test {

RunResult RunProgram(const std::string& command, const std::string& errFile) {
  RunResult result;
  FILE* pipe = popen((command + " 2>" + errFile).c_str(), "r");
  std::array<char, 4096> chunk;
  while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe)) result.out.append(chunk.data(), n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto bytes = ReadFileBytes(errFile);
  result.err.assign(bytes.begin(), bytes.end());
  return result;
}

}  // namespace lumora::test
