// Sliders at both ends and in between, with and without arrows; position bars.

#include "GalleryPage.h"
#include "Sections.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Slider.h"

namespace lumora {
namespace {

UC_Slider* Slider(GalleryPage& page, QSize twips, bool vertical = false) {
  auto* s = new UC_Slider(&page);
  s->resize(page.Px(twips.width()), page.Px(twips.height()));
  s->SetIsVertical(vertical);
  s->SetPointerSize(static_cast<int32_t>(480 * page.SizeRate()));
  return s;
}

void Show(UC_Slider* s, int32_t value) {
  s->Init2();
  s->SetValue(value);
}

}  // namespace

void AddSlidersSection(GalleryPage& page) {
  page.Section(QStringLiteral("UC_Slider"));
  for (int32_t value : {0, 370, 1000}) {
    UC_Slider* s = Slider(page, {2490, 300});
    Show(s, value);
    page.Add(s, QStringLiteral("Value %1").arg(value));
  }
  UC_Slider* plain = Slider(page, {2490, 300});
  plain->SetNoArrow(1);
  plain->SetNoGrad(1);
  plain->SetCenterLined(true);
  Show(plain, 500);
  page.Add(plain, "NoArrow NoGrad CenterLined");

  page.Row();
  UC_Slider* wide = Slider(page, {2490, 300});
  wide->Init2();
  wide->SetPointerSize(0.3f);
  wide->SetValue(250);
  page.Add(wide, "SetPointerSize 0.3");
  UC_Slider* centre = Slider(page, {2490, 300});
  centre->SetCenterLined(true);
  Show(centre, 500);
  page.Add(centre, "CenterLined");
  for (int32_t value : {0, 1000}) {
    UC_Slider* v = Slider(page, {300, 1500}, true);
    Show(v, value);
    page.Add(v, QStringLiteral("vertical %1").arg(value));
  }

  page.Section(QStringLiteral("UC_Bar"));
  const struct {
    int32_t value;
    Color color;
    bool noGrad;
    const char* text;
  } bars[] = {{0, 0xC08040, false, ""},
              {40, 0xC08040, false, "00:01:23"},
              {100, 0x3070D0, false, "再生 03:25"},
              {65, 0x30A030, true, ""}};
  for (const auto& b : bars) {
    auto* bar = new UC_Bar(&page);
    bar->resize(page.Px(2550), page.Px(390));
    bar->SetStyle(static_cast<float>(9 * page.SizeRate()), true, {}, 0xFFFFFF);
    bar->SetBarColor(b.color);
    bar->SetNoGrad(b.noGrad);
    bar->SetTextToDisp(QString::fromUtf8(b.text));
    bar->SetValue(b.value);
    page.Add(bar, QStringLiteral("Value %1 of 100%2").arg(b.value).arg(b.noGrad ? ", NoGrad" : ""));
  }
}

}  // namespace lumora
