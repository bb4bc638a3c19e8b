// Button strips: the four designs, icon presets, captions in every state.

#include "GalleryPage.h"
#include "Sections.h"
#include "controls/UC_Buttons.h"

namespace lumora {
namespace {

UC_Buttons* Strip(GalleryPage& page, int widthTwips, int heightTwips) {
  auto* strip = new UC_Buttons(&page);
  strip->resize(page.Px(widthTwips), page.Px(heightTwips));
  strip->SetFontSize(static_cast<float>(9 * page.SizeRate()));
  return strip;
}

}  // namespace

void AddButtonsSection(GalleryPage& page) {
  page.Section(QStringLiteral("UC_Buttons"));
  for (int design = 0; design < 4; ++design) {
    UC_Buttons* s = Strip(page, 2220, 465);
    s->SetButtonsEditorPlay();
    s->SetDesignType(design);
    s->Layout();
    s->SetButtonState(1, 2);
    s->SetButtonState(2, 1);
    page.Add(s, QStringLiteral("design %1: lit, pressed").arg(design));
  }
  page.Row();
  UC_Buttons* transport = Strip(page, 3300, 465);
  transport->SetButtonsPCXplay();
  transport->Layout();
  page.Add(transport, "PCXplay");
  UC_Buttons* editor = Strip(page, 2220, 465);
  editor->SetButtonsEditorCtrl();
  editor->Layout();
  page.Add(editor, "EditorCtrl");
  UC_Buttons* rec = Strip(page, 2220, 465);
  rec->SetNumButtons(3);
  rec->SetPicIndexn(0, 12);
  rec->SetPicIndexa(0, 13);
  rec->SetPicIndexn(1, 0);
  rec->SetPicIndexa(1, 8);
  rec->SetPicIndexn(2, 3);
  rec->SetPicIndexa(2, 11);
  rec->Layout();
  rec->SetButtonState(1, 2);
  page.Add(rec, QStringLiteral("recording (lit)"));

  page.Row();
  UC_Buttons* captions = Strip(page, 4000, 390);
  captions->SetNumButtons(5);
  const char* texts[] = {"通常", "オン", "押下", "無効", "選択"};
  for (int i = 0; i < 5; ++i) captions->SetButtonChar(i, QString::fromUtf8(texts[i]));
  captions->Layout();
  captions->SetButtonOn(1, 2, 1);
  captions->SetButtonState(2, 1);
  captions->SetButtonDisable(3, 1, 1);
  captions->SetSelectedButton(4);
  page.Add(captions, QStringLiteral("normal, on, pressed, disabled, selected"));
  UC_Buttons* shadowed = Strip(page, 2400, 390);
  shadowed->SetNumButtons(3);
  shadowed->SetButtonCharNum();
  shadowed->SetDisable3D(0);
  shadowed->Layout();
  shadowed->SetButtonOn(1, 1, 1);
  shadowed->SetButtonDisable(2, 1, 1);
  page.Add(shadowed, "Disable3D 0");
  for (int type : {0, 1}) {
    UC_Buttons* ok = Strip(page, 2400, 330);
    ok->SetOKCancel(1, 1, type);  // sized by the page's factor, not the fixed 2400 × 330
    page.Add(ok, QStringLiteral("SetOKCancel type %1").arg(type));
  }
}

}  // namespace lumora
