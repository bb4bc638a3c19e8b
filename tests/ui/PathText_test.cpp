#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/FileDialogs.h"
#include "controls/UC_PathText.h"

namespace lumora {
namespace {

// A path box whose dialogs are answered by the test.
class PathTextTest : public ::testing::Test {
 protected:
  PathTextTest() {
    SetDialogPresenter([this](const DialogRequest& request) {
      requests.push_back(request);
      return answer;
    });
    box.resize(300, 22);
    box.Init();
    box.show();
  }
  ~PathTextTest() override { SetDialogPresenter(nullptr); }
  void ClickButton() { QTest::mouseClick(&box, Qt::LeftButton, {}, {box.width() - 5, 11}); }

  std::vector<DialogRequest> requests;
  std::string answer;
  UC_PathText box;
  QSignalSpy chosen{&box, &UC_PathText::SelectButtonClicked};
};

TEST_F(PathTextTest, AnOpenDialogFiltersByTheExtensionStartsInTheTextsFolderAndAddsTheExtension) {
  box.SetUsage(UC_PathText::kOpenDialog);
  box.SetExt("wav");
  box.SetText("/rec/a.wav");
  answer = "/data/take";
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, DialogRequest::kOpen);
  EXPECT_EQ(requests[0].folder, "/rec");
  EXPECT_EQ(requests[0].name, "/rec/a.wav");
  ASSERT_EQ(requests[0].filters.size(), 1u);
  EXPECT_EQ(requests[0].filters[0], std::make_pair(std::string("wavファイル"), std::string("*.wav")));
  EXPECT_EQ(box.Text(), "/data/take.wav");
  EXPECT_EQ(chosen.count(), 1);
}

TEST_F(PathTextTest, TheFolderPickerStartsInInitDirAndAnswersWithATrailingSlash) {
  QSignalSpy changed(&box, &UC_PathText::TextChange);
  box.SetUsage(UC_PathText::kFolderPicker);
  box.SetInitDir("/start/");
  answer = "/data";
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].folder, "/start");
  EXPECT_EQ(requests[0].title, "フォルダを選択してください");
  EXPECT_EQ(box.Text(), "/data/");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(chosen.count(), 1);
}

// A cancelled dialog changes and raises nothing; a disabled button does
// nothing; without a dialog the click is reported at once.
TEST_F(PathTextTest, CancelDisabledButtonAndNoDialog) {
  box.SetUsage(UC_PathText::kSaveDialog);
  box.SetFilter("ミキサー|*.exe|すべて|*");
  box.SetText("/usr/bin/mixer");
  ClickButton();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, DialogRequest::kSave);
  EXPECT_EQ(requests[0].filters.size(), 2u);
  EXPECT_EQ(box.Text(), "/usr/bin/mixer");
  box.SetButtonDisabled(1);
  ClickButton();
  EXPECT_EQ(chosen.count(), 0);
  box.SetButtonDisabled(0);
  box.SetUsage(UC_PathText::kNoDialog);
  ClickButton();
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_EQ(requests.size(), 1u);
  QSignalSpy doubled(&box, &UC_PathText::TextDblClicked);
  QTest::mouseDClick(box.findChild<QLineEdit*>("TextPath"), Qt::LeftButton);
  EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
}  // namespace lumora
