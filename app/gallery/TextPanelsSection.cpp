// Text panels: flat schemes, colour sets, a lit text space, a cut text.

#include "GalleryPage.h"
#include "Sections.h"
#include "controls/UC_TextPicture.h"

namespace lumora {

void AddTextPanelsSection(GalleryPage& page) {
  page.Section(QStringLiteral("UC_TextPicture"));
  const float size = static_cast<float>(9 * page.SizeRate());
  const auto panel = [&](int widthTwips) {
    auto* p = new UC_TextPicture(&page);
    p->resize(page.Px(widthTwips), page.Px(465));
    return p;
  };
  for (int scheme : {0, 1, 3, 6}) {
    UC_TextPicture* p = panel(2100);
    p->AddTextSpace(size, false, false, {}, -1, -1);
    p->SetColor(scheme);
    p->DispMes(0, QStringLiteral("録音ファイル.wav"));
    page.Add(p, QStringLiteral("SetColor %1").arg(scheme));
  }
  UC_TextPicture* flat = panel(2100);
  flat->SetIsFlat(1);
  flat->AddTextSpace(size, true, false, {}, -1, -1);
  flat->SetColor(4);
  flat->DispMes(0, QStringLiteral("とても長いファイル名は端で切れます.wav"));
  page.Add(flat, "IsFlat, cut at its end");

  page.Row();
  for (int set : {0, 1, 5}) {
    UC_TextPicture* p = panel(2820);
    for (int s = 0; s < 6; ++s) p->AddStdColorSet(s);
    p->AddTextSpace(static_cast<float>(14 * page.SizeRate()), true, false, {}, -1, -1);
    p->AddTextSpace(static_cast<float>(7 * page.SizeRate()), false, false, {}, 90, 30);
    p->SetColor(set);
    p->DispMes(0, "00:12:34");
    p->DispMes(1, set == 1 ? QStringLiteral("録音") : QStringLiteral("待機"));
    page.Add(p, QStringLiteral("colour set %1").arg(set));
  }
  UC_TextPicture* lit = panel(2820);
  lit->AddStdColorSet(4);
  lit->AddTextSpace(size, false, false, {}, -1, -1);
  lit->DispMes(0, QStringLiteral("押されたテキスト"));
  lit->Redraw(0);
  page.Add(lit, "pressed text space");
}

}  // namespace lumora
