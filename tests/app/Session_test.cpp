// Which session a run becomes, and the hand-over of a command line to a running
// session over a real local socket.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/window/SessionChoice.h"
#include "app/window/SessionLink.h"

namespace lumora {
namespace {

using Kind = SessionDecision::Kind;

struct ChoiceCase {
  int32_t useMultiSession;
  std::array<bool, 4> running;
  const char* commandLine;
  Kind kind;
  int32_t slot;
};

TEST(SessionChoice, SlotByRunningSessionsAndRequests) {
  const ChoiceCase cases[] = {
      {1, {false, false, false, false}, "", Kind::kStart, 0},
      {1, {true, false, false, false}, "", Kind::kStart, 1},
      {1, {true, true, false, true}, "", Kind::kStart, 2},
      {1, {true, true, true, true}, "", Kind::kEnd, -1},
      {1, {true, true, false, false}, "2", Kind::kHandOver, 1},
      {1, {true, true, false, false}, "/2", Kind::kHandOver, 1},
      {1, {true, true, false, false}, "B", Kind::kHandOver, 1},
      {1, {false, false, false, false}, "B", Kind::kStart, 1},
      {1, {false, false, false, false}, "C:\\rec\\a.wav", Kind::kStart, 2},
      {1, {false, false, false, false}, "C:\\rec\\a.wav /2", Kind::kStart, 1},
      {1, {true, true, true, true}, "4", Kind::kHandOver, 3},
      {0, {false, false, false, false}, "B", Kind::kStart, 0},
      {0, {false, true, false, false}, "", Kind::kEnd, -1},
  };
  for (const ChoiceCase& c : cases) {
    const SessionDecision decision = ChooseSessionSlot(c.useMultiSession, c.running, c.commandLine);
    EXPECT_EQ(decision.kind, c.kind) << c.commandLine;
    EXPECT_EQ(decision.slot, c.slot) << c.commandLine;
  }
  EXPECT_EQ(SessionCaption(0), "lumora - tessaron");
  EXPECT_EQ(SessionCaption(2), "lumoraC - tessaron");
}

TEST(SessionLink, ACommandLineReachesTheRunningSession) {
  const std::string caption = "lumora test " + std::to_string(getpid());
  EXPECT_FALSE(SessionRunning(caption));
  EXPECT_EQ(SendCommandLine(caption, "B"), 0);
  {
    SessionServer server;
    ASSERT_TRUE(server.Listen(caption));
    SessionServer rival;
    EXPECT_FALSE(rival.Listen(caption)) << "a caption belongs to one session";
    EXPECT_TRUE(SessionRunning(caption));
    const std::string line = "/2 \"/home/me/a take.wav\"";
    ASSERT_EQ(SendCommandLine(caption, line), 1);
    QElapsedTimer waited;
    waited.start();
    while (server.ReceivedCommandLine().empty() && waited.elapsed() < 5000) QCoreApplication::processEvents();
    EXPECT_EQ(server.ReceivedCommandLine(), line);
  }
  EXPECT_FALSE(SessionRunning(caption)) << "nothing is left behind";
}

}  // namespace
}  // namespace lumora
