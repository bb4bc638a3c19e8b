#include "app/window/SessionLink.h"

#include <unistd.h>

#include <QLocalSocket>

#include "app/window/SessionChoice.h"

namespace lumora {

namespace {

constexpr int kConnectMs = 500;
constexpr int kTransferMs = 2000;
// A command line longer than this is not a command line.
constexpr qint64 kMaxCommandLine = 64 * 1024;

void UseAbstractName(QLocalSocket& socket) { socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption); }

}  // namespace

QString SessionSocketName(const std::string& caption) {
  return QStringLiteral("lumora-session-%1-%2").arg(getuid()).arg(QString::fromStdString(caption));
}

bool SessionRunning(const std::string& caption) {
  QLocalSocket socket;
  UseAbstractName(socket);
  socket.connectToServer(SessionSocketName(caption));
  const bool found = socket.waitForConnected(kConnectMs);
  socket.abort();
  return found;
}

std::array<bool, kSessionCount> RunningSessions() {
  std::array<bool, kSessionCount> running{};
  for (int32_t slot = 0; slot < kSessionCount; ++slot) {
    running[static_cast<size_t>(slot)] = SessionRunning(SessionCaption(slot));
  }
  return running;
}

int32_t SendCommandLine(const std::string& caption, const std::string& text) {
  QLocalSocket socket;
  UseAbstractName(socket);
  socket.connectToServer(SessionSocketName(caption));
  if (!socket.waitForConnected(kConnectMs)) return 0;
  socket.write(text.data(), static_cast<qint64>(text.size()));
  if (!socket.waitForBytesWritten(kTransferMs)) return 0;
  // The receiver reads until the sender closes: the end of the text needs no marker.
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState && !socket.waitForDisconnected(kTransferMs)) return 0;
  return 1;
}

bool SessionServer::Listen(const std::string& caption) {
  server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
  connect(&server_, &QLocalServer::newConnection, this, &SessionServer::Accept);
  return server_.listen(SessionSocketName(caption));
}

void SessionServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto text = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [socket, text] {
      text->append(socket->readAll());
      if (text->size() > kMaxCommandLine) socket->abort();
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, text] {
      text->append(socket->readAll());
      // A probe connects and leaves without a word: not a hand-over.
      if (!text->isEmpty() && text->size() <= kMaxCommandLine) {
        received_ = text->toStdString();
        emit CommandLineReceived();
      }
      socket->deleteLater();
    });
  }
}

}  // namespace lumora
