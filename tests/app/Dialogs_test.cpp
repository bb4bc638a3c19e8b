// Where centred boxes go, the dialog filters, the window finder, the --grab
// options, and which session a run becomes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include "app/window/CenteredBox.h"
#include "app/window/FileDialogs.h"
#include "app/window/GrabOptions.h"
#include "app/window/SessionChoice.h"
#include "app/window/SessionLink.h"

namespace lumora {
namespace {

TEST(CenteredBox, CentredOnTheOwnerAndPulledInsideTheScreen) {
  // 15 twips per pixel; a 1920 x 1080 screen; a 300 x 100 box.
  const QSize screen(1920 * 15, 1080 * 15), box(300, 100);
  struct Case {
    QPoint ownerAt;  // pixels
    QSize ownerSize;
    QPoint expected;
  };
  const Case cases[] = {
      {{100, 100}, {700, 400}, {300, 250}},    // centred
      {{1700, 200}, {700, 400}, {1620, 350}},  // pulled back from the right edge
      {{100, 900}, {700, 400}, {300, 940}},    // bottom kept 600 twips (40 px) above the edge
      {{-600, -300}, {700, 400}, {0, 0}},      // partly off the left and top edges
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CenteredBoxTopLeft(c.ownerAt * 15, c.ownerSize * 15, box, screen, 15), c.expected)
        << c.ownerAt.x() << "," << c.ownerAt.y();
  }
}

TEST(FileDialogs, FiltersAndTheTopWindowFinder) {
  EXPECT_EQ(QtFilterText("wavファイル|*.wav"), "wavファイル (*.wav)");
  EXPECT_EQ(QtFilterText("wav|*.wav|mp3|*.mp3"), "wav (*.wav);;mp3 (*.mp3)");
  QWidget top;
  top.setWindowTitle(QStringLiteral("lumoraB - tessaron"));
  QWidget child(&top, Qt::Window);
  child.setWindowTitle(QStringLiteral("lumoraC - tessaron"));
  EXPECT_EQ(FindTopWindow("lumoraB"), &top);
  EXPECT_EQ(FindTopWindow("lumoraC"), nullptr) << "windows with a parent do not count";
  EXPECT_EQ(FindTopWindow("LumoraB"), nullptr) << "case counts";
}

TEST(GrabOptions, FileAndWaitOrAReason) {
  const auto parse = [](std::vector<const char*> words, std::string& error) {
    words.insert(words.begin(), "lumora");
    return ParseGrabOptions(static_cast<int>(words.size()), const_cast<char**>(words.data()), error);
  };
  std::string error;
  EXPECT_FALSE(parse({"B"}, error));
  EXPECT_EQ(error, "");
  const auto grab = parse({"--grab", "w.png", "--after", "300"}, error);
  ASSERT_TRUE(grab);
  EXPECT_EQ(grab->file, "w.png");
  EXPECT_EQ(grab->afterMs, 300);
  EXPECT_EQ(parse({"--grab", "w.png"}, error)->afterMs, 1500);
  for (const std::vector<const char*>& bad :
       {std::vector<const char*>{"--grab"}, {"--grab", "w.png", "--after", "x"}, {"--after", "5"}}) {
    error.clear();
    EXPECT_FALSE(parse(bad, error));
    EXPECT_FALSE(error.empty());
  }
}

// Which session a run becomes, and the hand-over of a command line to a running
// session over a real local socket.
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
