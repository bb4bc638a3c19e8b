#pragma once
// Runs programs through the shell, as a user would, for the end-to-end tests of
// our front ends, and waits on what they do.

#include <chrono>
#include <string>
#include <thread>

namespace lumora::test {

class TempDir;

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs `command` (a shell command line) with its stderr caught in errFile:
// what it printed on stdout and stderr, and its exit code (-1 when killed).
RunResult RunProgram(const std::string& command, const std::string& errFile);

// Runs our program (lumora-rec, lumora-play) from the build folder after the
// shell text `before`, with its settings file and per-user folders inside dir.
RunResult RunOurProgram(const TempDir& dir, const std::string& program, const std::string& args,
                        const std::string& before = "");

// lumora-rec recording into dir.
RunResult RunRec(const TempDir& dir, const std::string& args, const std::string& before = "");

// The first line a shell command prints, without its line break.
std::string CommandOutput(const std::string& command);

// Polls `until` every 10 ms; false when it is still false after `limit`.
template <class Until>
bool WaitFor(std::chrono::milliseconds limit, Until&& until) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!until()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace lumora::test
