#include "app/rec/CommandInput.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "remote/Functions.h"

namespace lumora::rec {

void CommandInput::Queue(std::string line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return;
  line.erase(line.find_last_not_of(" \t\r") + 1);
  lines_.push_back(line.substr(first));
}

void CommandInput::Poll() {
  while (!ended_) {
    pollfd ready{STDIN_FILENO, POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0 || !(ready.revents & (POLLIN | POLLHUP | POLLERR))) return;
    char chunk[4096];
    const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) return;
    if (n <= 0) {
      ended_ = true;
      Queue(std::move(partial_));
      partial_.clear();
      return;
    }
    partial_.append(chunk, static_cast<size_t>(n));
    for (size_t end; (end = partial_.find('\n')) != std::string::npos; partial_.erase(0, end + 1)) {
      Queue(partial_.substr(0, end));
    }
  }
}

bool CommandInput::Next(int32_t& index) {
  while (!lines_.empty()) {
    const std::string name = lines_.front();
    lines_.pop_front();
    index = FunctionIndexOf(name, 1);
    if (index >= 0) return true;
    std::fprintf(stderr, "lumora-rec: not a command: \"%s\" (ignored)\n", name.c_str());
  }
  return false;
}

}  // namespace lumora::rec
