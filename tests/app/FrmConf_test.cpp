// The configuration dialog end to end: it opens over a settings file, the
// user edits its pages with the mouse and keyboard, and OK or Cancel leaves
// the file as a person expects.

#include "app/conf/FrmConf.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <map>
#include <memory>
#include <sstream>

#include "common/TempDir.h"
#include "controls/FileDialogs.h"
#include "controls/Twips.h"
#include "settings/SettingsTestKit.h"

namespace lumora {
namespace {

class FakeProgram final : public ConfTarget {
 public:
  ControlMaps& Maps() override { return maps; }
  std::string RecordingFolder() const override { return folder; }
  void SetRecordingFolder(const std::string& f) override { folder = f; }
  void SetWaveRate(float rate) override { waveRate = rate; }
  void TakeFieldSettings() override { ++fieldReads; }
  void InitHID() override { ++restarts; }

  ControlMaps maps;
  std::string folder;
  float waveRate = 1.0f;
  int restarts = 0;
  int fieldReads = 0;
};

class FrmConfTest : public ::testing::Test {
 protected:
  // The ini file holds these lines before the dialog opens.
  void Open(const std::string& iniLines, float sizeRate = 1.0f) {
    test::WriteText(ini_, "[conf]\n" + iniLines);
    settings_.UseIniFile(ini_);
    settings_.FixSession(0);
    program_.maps = LoadControlMaps(settings_);
    program_.folder = dir_.folder();
    dialog_ = std::make_unique<FrmConf>(settings_, program_, sizeRate);
    dialog_->show();
    ASSERT_TRUE(dialog_->Busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog_->Busy(); }, 2000));
  }
  std::string Ini() const { return test::ReadText(ini_); }
  // The file's key=value lines.
  std::map<std::string, std::string> Values() const {
    std::map<std::string, std::string> values;
    std::istringstream lines(Ini());
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t equals = line.find('=');
      if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
  }
  void ExpectStored(const std::vector<std::string>& lines) const {
    auto values = Values();
    for (const std::string& line : lines) {
      const size_t equals = line.find('=');
      EXPECT_EQ(values[line.substr(0, equals)], line.substr(equals + 1)) << line;
    }
  }

  void ClickTab(int32_t tab) {
    UC_Tab* strip = dialog_->TabConf;
    for (int x = 1; x < strip->width(); ++x) {
      if (strip->TabAt(x * Tpp()) == tab) return QTest::mouseClick(strip, Qt::LeftButton, {}, {x + 4, 5});
    }
    FAIL() << "no tab " << tab;
  }
  void ClickButton(int32_t index) {
    UC_Buttons* pair = dialog_->OKCancelButtons;
    const QPoint at(pair->ButtonLeft(index) + pair->ButtonWidth() / 2, pair->height() / 2);
    QTest::mouseClick(pair, Qt::LeftButton, {}, at);
  }
  // Clicks a cell of the list, which opens its editor.
  void ClickCell(int32_t row, int32_t column) {
    UC_ListView* list = dialog_->LVSC;
    int x = 0;
    for (int32_t data = 0; data < column; ++data) x += list->TabWidth(data) / Tpp();
    int y = 0;
    while (y < list->height() && list->YsItem(static_cast<float>(y * Tpp())) != row) ++y;
    QTest::mouseClick(list, Qt::LeftButton, {}, {x + 8, y + 2});
  }
  void ChooseFunction(int32_t row, const char* label) {
    ClickCell(row, 1);
    auto* combo = dialog_->LVSC->findChild<QComboBox*>("ComboLV");
    ASSERT_TRUE(combo && combo->isVisible());
    const int index = combo->findText(QString::fromUtf8(label));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  void TypeDelay(int32_t row, const char* text) {
    ClickCell(row, 2);
    auto* box = dialog_->LVSC->findChild<QLineEdit*>("TextLV");
    ASSERT_TRUE(box && box->isVisible());
    QTest::keyClicks(box, text);
  }
  static void Retype(QLineEdit* box, const char* text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }

  test::TempDir dir_;
  std::string ini_ = dir_.file("lumora.ini");
  test::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.folder() + "config"};
  test::ScopedEnv data_{"XDG_DATA_HOME", dir_.folder() + "data"};
  Settings settings_{dir_.folder()};
  FakeProgram program_;
  std::unique_ptr<FrmConf> dialog_;
};

TEST_F(FrmConfTest, OkAtOnceStoresTheGeneralPageOnlyAndRestartsTheRemote) {
  // Damaged numbers show, and are stored as, their defaults.
  Open(
      "SizeRate=2.5\nWaveRate=abc\nVULevelTrim=x\nAltFont=7\nfkeyfct-03=SAVE\nUSBHIDID=3\nHIDwaitms-01=-5\n");
  EXPECT_EQ(dialog_->TextSizeRate->text(), "2.5");
  EXPECT_EQ(dialog_->TextWaveRate->text(), "1.0");
  EXPECT_EQ(dialog_->TextVULevelTrim->text(), "-20.0");
  EXPECT_EQ(dialog_->ComboAltFont->currentIndex(), 0);
  EXPECT_EQ(dialog_->TextSoundPath->Text().toStdString(), dir_.folder());
  const auto before = Values();  // as the start-up left them
  ClickButton(1);

  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  ExpectStored({"SizeRate=2.5", "WaveRate=1.0", "VULevelTrim=-20.0", "AltFont=0", "MixerApp=***",
                "DataPath=" + dir_.folder(), "fkeyfct-03=SAVE", "USBHIDID=3", "HIDwaitms-01=-5"});
  for (const auto& [key, value] : before) {
    if (key.find("fct-") != std::string::npos || key.find("HID") != std::string::npos ||
        key.find("Tally") != std::string::npos) {
      EXPECT_EQ(Values()[key], value) << key;
    }
  }
  EXPECT_EQ(program_.restarts, 1);
}

TEST_F(FrmConfTest, NumbersAreStoredWithOneDecimalAndOtherTextsKeepTheSetting) {
  const std::string folder = dir_.folder() + "takes/";
  std::filesystem::create_directories(folder);
  Open("SizeRate=1.5\nWaveRate=2.0\nVULevelTrim=-20.0\nAltFont=1\n");
  Retype(dialog_->TextSizeRate, "abc");
  Retype(dialog_->TextWaveRate, "1.234");
  Retype(dialog_->TextVULevelTrim, " -6 ");
  SetDialogPresenter(
      [&](const DialogRequest& request) { return request.kind == DialogRequest::kFolder ? folder : ""; });
  dialog_->TextSoundPath->SelectButtonClick();  // the "..." button's folder picker
  SetDialogPresenter({});
  dialog_->ComboAltFont->setCurrentIndex(0);
  ClickButton(1);

  ExpectStored({"SizeRate=1.5", "WaveRate=1.2", "VULevelTrim=-6.0", "AltFont=0", "DataPath=" + folder});
  EXPECT_FLOAT_EQ(program_.waveRate, 1.234f);  // the history takes the value as typed, at once
  EXPECT_EQ(program_.folder, folder);
}

// Pre-record shows in seconds and is stored in tenths; values beyond a
// setting's range are brought into it; the takes get them at once.
TEST_F(FrmConfTest, RecordingOptionsAreStoredInTheirRanges) {
  Open("PreRecTime=25\nSplitMinutes=5000\nContinueAtLimit=1\n");
  EXPECT_EQ(dialog_->TextPreRecTime->text(), "2.5");
  EXPECT_EQ(dialog_->TextSplitMinutes->text(), "1440");
  EXPECT_EQ(dialog_->CheckContinueAtLimit->Value(), 1);
  Retype(dialog_->TextPreRecTime, "12.34");
  Retype(dialog_->TextSplitMinutes, "60");
  QTest::mouseClick(dialog_->CheckContinueAtLimit, Qt::LeftButton, {}, {4, 4});
  ClickButton(1);

  ExpectStored({"PreRecTime=100", "SplitMinutes=60", "ContinueAtLimit=0"});
  EXPECT_EQ(program_.fieldReads, 1);
}

TEST_F(FrmConfTest, BothListsKeepTheirEditsAcrossTabsUntilOk) {
  Open("HIDwaitms-02=40\n");
  ClickTab(kTabKeyboard);
  ChooseFunction(2, "N/A");
  ClickTab(kTabRemote);
  EXPECT_TRUE(dialog_->ComboHID->isVisible());
  ChooseFunction(1, "保存");
  TypeDelay(3, "-250");  // still in the editor when the tab changes
  dialog_->LVSC->SetValue(1, 2, QStringLiteral("abc"));
  dialog_->ComboHID->setCurrentIndex(2);
  QTest::mouseClick(dialog_->CheckLatch, Qt::LeftButton, {}, {4, 4});
  ClickTab(kTabKeyboard);
  EXPECT_FALSE(dialog_->ComboHID->isVisible());
  EXPECT_EQ(dialog_->LVSC->Value(2, 1).toString(), "N/A");
  ClickTab(kTabRemote);
  EXPECT_EQ(dialog_->LVSC->Value(1, 1).toString(), "保存");
  ClickButton(1);

  ExpectStored({"fkeyfct-03=N/A", "fkeyfct-01=REC", "HIDfct-02=SAVE", "HIDwaitms-02=40", "HIDwaitms-04=250",
                "USBHIDID=2", "USBHID_Latch=1", "USBTallyInvert=0"});
  // F3 does nothing now, and after a restart too.
  EXPECT_EQ(program_.maps.FKeyFunctions[2], kFnNone);
  EXPECT_EQ(LoadControlMaps(settings_).FKeyFunctions[2], kFnNone);
  EXPECT_EQ(program_.maps.RemoteDelays[3], 250);
  EXPECT_EQ(program_.restarts, 1);
}

TEST_F(FrmConfTest, CancelStoresNothing) {
  Open(
      "SizeRate=1.0\nWaveRate=1.0\nVULevelTrim=-20.0\nAltFont=1\nDataPath=/x/\nMixerApp=***\nUSBHIDID=0\n"
      "USBHID_Latch=0\nUSBTallyInvert=0\n");
  const std::string before = Ini();
  Retype(dialog_->TextSizeRate, "2.0");
  ClickTab(kTabKeyboard);
  ChooseFunction(0, "N/A");
  ClickButton(0);

  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(program_.maps.FKeyFunctions[0], kFnRec);
  EXPECT_EQ(program_.restarts, 0);
}

// Every control, caption and tab lies inside the dialog at the smallest and
// the largest display size.
TEST_F(FrmConfTest, TheDialogFitsItsContentsAtEverySize) {
  for (const float rate : {0.7f, 3.0f}) {
    Open("", rate);
    ClickTab(kTabRemote);
    dialog_->PictureTab[0]->show();  // both pages at once, to check them together
    const QRect inside = dialog_->rect();
    for (QWidget* child : dialog_->findChildren<QWidget*>()) {
      if (!child->isVisibleTo(dialog_.get())) continue;
      const QRect at(child->mapTo(dialog_.get(), QPoint(0, 0)), child->size());
      EXPECT_TRUE(inside.contains(at)) << rate << " " << child->metaObject()->className();
    }
    const Surface& general = dialog_->PictureTab[0]->Face();
    for (const char* label : {"録音フォルダ", "メーターレベル", "表示フォント"}) {
      EXPECT_LT(general.TextWidth(QString::fromUtf8(label)) / Tpp() + 4, dialog_->TextSoundPath->x()) << rate;
    }
    const std::pair<QWidget*, const char*> units[] = {
        {dialog_->TextVULevelTrim, "dbfs"}, {dialog_->TextPreRecTime, "秒 (0～10、入力検知録音の開始前)"}};
    for (const auto& [field, unit] : units) {
      EXPECT_LT(field->geometry().right() + general.TextWidth(QString::fromUtf8(unit)) / Tpp() + 8,
                dialog_->PictureTab[0]->width())
          << rate << " " << unit;
    }
  }
}

}  // namespace
}  // namespace lumora
