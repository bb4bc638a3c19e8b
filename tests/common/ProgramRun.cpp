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
  result.err = ReadText(errFile);
  return result;
}

RunResult RunOurProgram(const TempDir& dir, const std::string& program, const std::string& args,
                        const std::string& before) {
  return RunProgram(before + "env XDG_CONFIG_HOME=" + dir.folder() + "config XDG_STATE_HOME=" + dir.folder() +
                        "state " + LUMORA_BUILD_DIR "/" + program + " --ini " + dir.file(program + ".ini") + " " +
                        args,
                    dir.file("stderr.txt"));
}

RunResult RunRec(const TempDir& dir, const std::string& args, const std::string& before) {
  return RunOurProgram(dir, "lumora-rec", "--set DataPath=" + dir.folder() + " " + args, before);
}

std::string CommandOutput(const std::string& command) {
  std::string line;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 256> buffer;
    if (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) line = buffer.data();
    pclose(pipe);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace lumora::test
