// Where centred boxes go, the dialog filters, the window finder and the --grab
// options.

#include <gtest/gtest.h>

#include <QWidget>

#include "app/window/CenteredBox.h"
#include "app/window/FileDialogs.h"
#include "app/window/GrabOptions.h"

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
      {{100, 100}, {700, 400}, {300, 250}},      // centred
      {{1700, 200}, {700, 400}, {1620, 350}},    // pulled back from the right edge
      {{100, 900}, {700, 400}, {300, 940}},      // bottom kept 600 twips (40 px) above the edge
      {{-600, -300}, {700, 400}, {0, 0}},        // partly off the left and top edges
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

}  // namespace
}  // namespace lumora
