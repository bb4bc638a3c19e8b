// The general page and the list page of FrmConf, built on first use, and the
// moves between the list page's widgets and the working rows.

#include "app/conf/FrmConf.h"
#include "controls/Layout.h"
#include "controls/Twips.h"

namespace lumora {

namespace {

// The general page's rows and the list page's parts, twips at "SizeRate" 1.
constexpr int kFieldLeft = 1680;
constexpr int kFieldTop = 240;
constexpr int kRowStep = 420;
constexpr int kFieldHeight = 330;
constexpr int kPathWidth = 4680;
constexpr int kNumberWidth = 900;
constexpr int kComboWidth = 2400;
constexpr int kListInset = 120;
constexpr int kListWidth = 6360;
constexpr int kListHeight = 3240;
constexpr int kDeviceTop = kListInset + kListHeight + 120;
constexpr int kLabelWidth = 1200;
constexpr int kFunctionWidth = 3000;
constexpr int kDelayWidth = 1200;

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

void FrmConf::BuildGeneralPage() {
  const GeneralPage page = ReadGeneralPage(settings_, target_.RecordingFolder());
  FacePanel* face = PictureTab[0];
  const auto place = [&](QWidget* field, int row, int width) {
    field->setGeometry(Px(kFieldLeft), Px(kFieldTop + row * kRowStep), Px(width), Px(kFieldHeight));
    field->setFont(font_);
  };
  const auto path = [&](int row, const std::string& text, int32_t usage) {
    auto* box = new UC_PathText(face);
    place(box, row, kPathWidth);
    box->SetFontSize(FontSize());
    box->SetUsage(usage);
    box->Init();
    box->SetText(Text(text));
    return box;
  };
  const auto number = [&](int row, const std::string& text) {
    auto* box = new QLineEdit(Text(text), face);
    place(box, row, kNumberWidth);
    return box;
  };
  TextSoundPath = path(0, page.SoundPath, UC_PathText::kFolderPicker);
  // Any program can be the mixer: no extension is added or required.
  TextMixerApp = path(1, page.MixerApp, UC_PathText::kOpenDialog);
  TextMixerApp->SetFilter(QStringLiteral("実行ファイル|*"));
  TextSizeRate = number(2, page.SizeRate);
  TextWaveRate = number(3, page.WaveRate);
  TextVULevelTrim = number(4, page.VULevelTrim);
  ComboAltFont = new QComboBox(face);
  place(ComboAltFont, 5, kComboWidth);
  ComboAltFont->addItems({kFaceGothic, kFaceMeiryo});
  ComboAltFont->setCurrentIndex(page.AltFont);
  TextPreRecTime = number(6, page.PreRecTime);
  TextSplitMinutes = number(7, page.SplitMinutes);
  CheckContinueAtLimit = NewCheck(*face, "ファイル上限(4GB)で次のファイルに続ける", page.ContinueAtLimit,
                                  kFieldLeft, kFieldTop + 8 * kRowStep);

  const std::pair<QWidget*, const char*> labels[] = {
      {TextSoundPath, "録音フォルダ"},  {TextMixerApp, "ミキサー"},          {TextSizeRate, "表示サイズ"},
      {TextWaveRate, "波形倍率"},       {TextVULevelTrim, "メーターレベル"}, {ComboAltFont, "表示フォント"},
      {TextPreRecTime, "プリレコード"}, {TextSplitMinutes, "ファイル分割"}};
  for (const auto& [field, label] : labels) face->Caption(*field, QString::fromUtf8(label), 6, -60);
  const std::pair<QWidget*, const char*> units[] = {{TextVULevelTrim, "dbfs"},
                                                    {TextPreRecTime, "秒 (0～10、入力検知録音の開始前)"},
                                                    {TextSplitMinutes, "分ごと (0: 分割しない)"}};
  for (const auto& [field, unit] : units) face->Caption(*field, QString::fromUtf8(unit), 7, 60);
  edits_.general = page;
}

void FrmConf::BuildListPage() {
  edits_.list = ReadListPage(settings_, target_.Maps());
  FacePanel* face = PictureTab[1];
  LVSC = new UC_ListView(face);
  LVSC->setGeometry(Px(kListInset), Px(kListInset), Px(kListWidth), Px(kListHeight));
  LVSC->SetStyle(FontSize());
  // Rows stand for fixed keys and inputs: their order must not change.
  LVSC->SetSortDisabled(1);
  LVSC->SetNoMultiSelect(1);

  ComboHID = new QComboBox(face);
  ComboHID->setGeometry(Px(kListInset + 480), Px(kDeviceTop), Px(kNumberWidth), Px(kFieldHeight));
  ComboHID->setFont(font_);
  ComboHID->addItem(QStringLiteral("NA"));
  for (int n = 1; n <= 8; ++n) ComboHID->addItem(QString::number(n));
  ComboHID->setCurrentIndex(edits_.list->device.USBHIDID);
  CheckLatch = NewCheck(*face, "ラッチ", edits_.list->device.Latch, kListInset + 1680, kDeviceTop);
  CheckUSBTallyInvert =
      NewCheck(*face, "出力反転", edits_.list->device.TallyInvert, kListInset + 3240, kDeviceTop);
}

UC_Check* FrmConf::NewCheck(FacePanel& face, const char* caption, int32_t value, int left, int top) {
  auto* box = new UC_Check(&face);
  box->move(Px(left), Px(top));
  SetupSkinnedControl(*box, QString::fromUtf8(caption), value, &face.Face(), FontSize(), nullptr, sizeRate_);
  MoveSkinnedControl(*box, {box->x(), Px(top) + (Px(kFieldHeight) - box->height()) / 2}, &face.Face());
  return box;
}

void FrmConf::FillAssignmentList(ConfTab tab) {
  const bool remote = tab == kTabRemote;
  LVSC->DeleteAll();
  LVSC->SetNumData(remote ? 3 : 2);
  LVSC->SetTabName(0, remote ? QStringLiteral("入力") : QStringLiteral("キー"));
  LVSC->SetTabName(1, QStringLiteral("機能"));
  LVSC->SetTabWidth(0, Px(kLabelWidth) * Tpp());
  LVSC->SetTabWidth(1, Px(kFunctionWidth) * Tpp());
  LVSC->SetUseTextCombo(1, 1);
  LVSC->ClearComboItem(1);
  for (int32_t i = 0; i < kFunctionCount; ++i) LVSC->AddComboItem(1, Text(FunctionText(i, 0)));
  if (remote) {
    LVSC->SetTabName(2, QStringLiteral("遅延"));
    LVSC->SetTabWidth(2, Px(kDelayWidth) * Tpp());
    LVSC->SetTabAlign(2, 1);
    LVSC->SetDataNumeric(2, 1);
    LVSC->SetUseTextCombo(2, 1);
  }
  const std::vector<AssignmentRow>& rows = edits_.list->Rows(tab);
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto item = static_cast<int32_t>(i);
    LVSC->AddItem();
    LVSC->SetValue(item, 0, Text(rows[i].label));
    LVSC->SetValue(item, 1, Text(rows[i].function));
    if (remote) LVSC->SetValue(item, 2, rows[i].delay);
  }
  LVSC->Init();
  for (QWidget* device : {static_cast<QWidget*>(ComboHID), static_cast<QWidget*>(CheckLatch),
                          static_cast<QWidget*>(CheckUSBTallyInvert)}) {
    device->setVisible(remote);
  }
  PictureTab[1]->Paint(font_);
  if (remote) PictureTab[1]->Caption(*ComboHID, QStringLiteral("ID"), 6, -60);
}

void FrmConf::CommitAssignmentList(ConfTab tab) {
  LVSC->HideTextCombo();  // a delay still being typed counts
  std::vector<AssignmentRow>& rows = edits_.list->Rows(tab);
  rows.resize(static_cast<size_t>(LVSC->ItemCount()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto item = static_cast<int32_t>(i);
    rows[i].label = Text(LVSC->Value(item, 0).toString());
    rows[i].function = Text(LVSC->Value(item, 1).toString());
    if (tab != kTabRemote) continue;
    if (const auto delay = DelayOf(Text(LVSC->Value(item, 2).toString()))) rows[i].delay = *delay;
  }
}

void FrmConf::CollectGeneralPage() {
  if (!edits_.general) return;
  GeneralPage& page = *edits_.general;
  page.SoundPath = Text(TextSoundPath->Text());
  page.MixerApp = Text(TextMixerApp->Text());
  page.SizeRate = Text(TextSizeRate->text());
  page.WaveRate = Text(TextWaveRate->text());
  page.VULevelTrim = Text(TextVULevelTrim->text());
  page.AltFont = ComboAltFont->currentIndex();
  page.PreRecTime = Text(TextPreRecTime->text());
  page.SplitMinutes = Text(TextSplitMinutes->text());
  page.ContinueAtLimit = CheckContinueAtLimit->Value() == 1 ? 1 : 0;
}

void FrmConf::CollectRemoteDevice() {
  if (!edits_.list) return;
  RemoteDevice& device = edits_.list->device;
  device.USBHIDID = ComboHID->currentIndex();
  device.Latch = CheckLatch->Value() == 1 ? 1 : 0;
  device.TallyInvert = CheckUSBTallyInvert->Value() == 1 ? 1 : 0;
}

}  // namespace lumora
