// The program's own command line: session choices ("/2", "B") and paths.
#include <vector>

#include "support/FileSystem.h"
#include "support/PlainText.h"

namespace lumora {

namespace {

std::vector<std::string>& ProgramArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

// Spaces split tokens (two in a row make an empty one); double quotes group
// spaces into a token and are never part of it; a closing quote ends the token.
std::vector<std::string> Tokenise(const std::string& text) {
  std::vector<std::string> tokens(1);
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      if (quoted) tokens.emplace_back();
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      tokens.emplace_back();
    } else {
      tokens.back() += c;
    }
  }
  return tokens;
}

// A drive letter ("C:..."), a network path ("\\host\...") or an absolute path here.
bool LooksLikePath(const std::string& token) {
  return (token.size() >= 2 && token[1] == ':') || token.starts_with("\\\\") || token.starts_with("/");
}

}  // namespace

void SetProgramArguments(int argc, char** argv) {
  ProgramArguments().assign(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

int32_t ParseCommandLine(std::vector<std::string>& results, const std::string& option,
                         const std::string& line) {
  const std::string text = TrimBlanks(line);
  // The shell has already split the program's own arguments; they are taken as tokens.
  const std::vector<std::string> tokens = text.empty() ? ProgramArguments() : Tokenise(text);
  std::vector<std::string> found;
  for (const std::string& token : tokens) {
    if (option.empty()) {
      if (LooksLikePath(token)) found.push_back(token);
    } else if (token.starts_with(option)) {
      found.push_back(token.substr(option.size()));
    } else if (token.starts_with("/" + option)) {
      found.push_back(token.substr(option.size() + 1));
    }
  }
  results = found.empty() ? std::vector<std::string>{""} : found;
  return static_cast<int32_t>(found.size());
}

}  // namespace lumora
