#pragma once
// Runs one of our programs through the shell, as a user would, for the
// end-to-end tests of the headless front ends.

#include <string>

namespace lumora::test {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs `command` (a shell command line) with its stderr caught in errFile:
// what it printed on stdout and stderr, and its exit code (-1 when killed).
RunResult RunProgram(const std::string& command, const std::string& errFile);

}  // namespace lumora::test
