#pragma once
// Sessions find each other through one local socket per session caption and
// user, in the abstract namespace: nothing is left on disk, so a run that was
// killed never blocks the next start. A new run probes the captions in slot
// order and hands its command line to a running session over that socket.

#include <QLocalServer>
#include <QObject>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "settings/Session.h"

namespace lumora {

// The socket name of a caption for the current user.
QString SessionSocketName(const std::string& caption);

// True when a session with this caption answers.
bool SessionRunning(const std::string& caption);
std::array<bool, kSessionCount> RunningSessions();

// Hands text to the session with this caption: 1 when delivered, 0 when no such
// session answers.
int32_t SendCommandLine(const std::string& caption, const std::string& text);

// A running session's end of the link: it claims the caption's name and keeps
// the last command line handed to it (the session does not act on it).
class SessionServer : public QObject {
  Q_OBJECT
 public:
  SessionServer() = default;
  // False when another process already holds the name (a start at the same
  // moment won the slot).
  bool Listen(const std::string& caption);
  const std::string& ReceivedCommandLine() const { return received_; }

 signals:
  void CommandLineReceived();

 private:
  void Accept();
  QLocalServer server_;
  std::string received_;
};

}  // namespace lumora
