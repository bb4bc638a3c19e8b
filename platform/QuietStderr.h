#pragma once
// Keeps a sound library's chatter out of the user's terminal: while an instance
// lives, file descriptor 2 points at /dev/null. ALSA's configuration code
// prints its complaints straight to stderr, so only a redirect silences it.

namespace lumora {

class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace lumora
