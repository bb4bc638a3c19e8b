// Check boxes and option buttons, path boxes, tab strips and lists, as the
// configuration dialog uses them; one list with a cell being edited.

#include "GalleryPage.h"
#include "Sections.h"
#include "controls/Twips.h"
#include "controls/UC_Check.h"
#include "controls/UC_ListView.h"
#include "controls/UC_PathText.h"
#include "controls/UC_Tab.h"

namespace lumora {
namespace {

float FontSize(const GalleryPage& page) { return static_cast<float>(9 * page.SizeRate()); }

void AddChecks(GalleryPage& page) {
  const struct {
    const char* caption;
    int32_t isOption, value;
    bool enabled;
    const char* label;
  } checks[] = {{"ラッチ", 0, 0, true, "off"},          {"ラッチ", 0, 1, true, "on"},
                {"出力反転", 1, 0, true, "option off"}, {"出力反転", 1, 1, true, "option on"},
                {"ラッチ", 0, 1, false, "disabled on"}, {"出力反転", 1, 1, false, "disabled option"}};
  for (const auto& c : checks) {
    auto* check = new UC_Check(&page);
    check->SetFontSize(FontSize(page));
    check->SetSizeRate(static_cast<float>(page.SizeRate()));
    check->SetCaption(QString::fromUtf8(c.caption));
    check->SetIsOption(c.isOption);
    check->SetValue(c.value);
    check->SetEnabled(c.enabled);
    page.Add(check, QString::fromUtf8(c.label));
  }
}

void AddTabs(GalleryPage& page) {
  for (int32_t selected : {0, 2}) {
    auto* tabs = new UC_Tab(&page);
    tabs->resize(page.Px(5400), page.Px(360));
    tabs->SetFontSize(FontSize(page));
    tabs->SetUseIndpWidth(1);
    tabs->SetNumTab(3);
    const char* texts[] = {"一般", "キーボード", "リモート"};
    for (int32_t tab = 0; tab < 3; ++tab) tabs->SetTabStr(tab, QString::fromUtf8(texts[tab]));
    tabs->SetSelectedTab(selected);
    tabs->SetTabHidden(1, selected == 2);
    page.Add(tabs, selected == 0 ? QStringLiteral("tab 0 selected")
                                 : QStringLiteral("tab 2 selected, tab 1 hidden"));
  }
}

void AddPathBoxes(GalleryPage& page) {
  const struct {
    const char* text;
    int32_t buttonDisabled;
    bool enabled;
    const char* label;
  } boxes[] = {{"/home/user/録音フォルダ", 0, true, "録音フォルダ"},
               {"/usr/bin/pavucontrol", 1, true, "ミキサー, button disabled"},
               {"/home/user/録音フォルダ", 0, false, "disabled"}};
  for (const auto& b : boxes) {
    auto* box = new UC_PathText(&page);
    box->resize(page.Px(4200), page.Px(330));
    box->SetFontSize(FontSize(page));
    box->SetText(QString::fromUtf8(b.text));
    box->SetButtonDisabled(b.buttonDisabled);
    box->SetEnabled(b.enabled);
    page.Add(box, QString::fromUtf8(b.label));
  }
}

UC_ListView* AssignmentList(GalleryPage& page, int rows, bool remote) {
  auto* list = new UC_ListView(&page);
  list->resize(page.Px(5400), page.Px(2700));
  list->SetStyle(FontSize(page));
  list->SetNumData(remote ? 3 : 2);
  const char* names[] = {remote ? "入力" : "キー", "機能", "遅延"};
  const int widths[] = {1200, 2700, 1200};
  for (int32_t data = 0; data < list->NumData(); ++data) {
    list->SetTabName(data, QString::fromUtf8(names[data]));
    list->SetTabWidth(data, page.Px(widths[data]) * Tpp());
  }
  list->SetUseTextCombo(1, 1);
  for (const char* label : {"N/A", "録音", "録音停止", "再生", "再生停止", "一時停止"}) {
    list->AddComboItem(1, QString::fromUtf8(label));
  }
  list->SetDataNumeric(2, 1);
  list->SetUseTextCombo(2, 1);
  const char* functions[] = {"録音", "録音停止", "再生", "再生停止", "一時停止", "N/A"};
  for (int32_t row = 0; row < rows; ++row) {
    list->AddItem();
    const QString label = remote ? QStringLiteral("ピン%1").arg(row + 1) : QStringLiteral("F%1").arg(row + 1);
    list->SetValue(row, 0, label);
    list->SetValue(row, 1, QString::fromUtf8(functions[row % 6]));
    if (remote) list->SetValue(row, 2, row * 50);
  }
  list->Init();
  return list;
}

}  // namespace

void AddChoicesSection(GalleryPage& page) {
  page.Section(QStringLiteral("UC_Check"));
  AddChecks(page);
  page.Section(QStringLiteral("UC_Tab, UC_PathText"));
  AddTabs(page);
  page.Row();
  AddPathBoxes(page);

  page.Section(QStringLiteral("UC_ListView"));
  UC_ListView* keys = AssignmentList(page, 12, false);
  keys->SetSelectedItem(2);
  keys->SetOrderData(1);
  page.Add(keys, QStringLiteral("sorted by 機能, one selected, scroll bar"));
  UC_ListView* remote = AssignmentList(page, 8, true);
  remote->SetUseMadara(1);
  remote->SetHLine(3, 1);
  remote->SetSelectedItem(4);
  remote->EditCell(4, 2);
  page.Add(remote, QStringLiteral("遅延 being edited, UseMadara, HLine"));
}

}  // namespace lumora
