// The face painter's styles, bevels, edges and captions.

#include "GalleryPage.h"
#include "Sections.h"
#include "controls/DrawnWidget.h"
#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "controls/PaintFace.h"

namespace lumora {
namespace {

// A surface painted once by a function of its own.
class Swatch : public DrawnWidget {
 public:
  template <class Paint>
  Swatch(QSize size, Paint paint) {
    setFixedSize(size);
    surface_.Resize(size);
    surface_.SetBackColor(ThemeColor(1));
    paint(surface_);
  }
};

}  // namespace

void AddFacesSection(GalleryPage& page) {
  page.Section(QStringLiteral("PaintFace"));
  const QSize size(page.Px(1200), page.Px(420));
  const struct {
    int style;
    const char* name;
  } styles[] = {{-1, "-1 frame"}, {1, "1 bevel"},      {2, "2 gradient"}, {5, "5 tube"},
                {6, "6 tube"},    {7, "7 tube+frame"}, {12, "12 pillow"}, {13, "13 round"},
                {14, "14 metal"}, {15, "15 metal"}};
  for (const auto& s : styles) page.Add(new Swatch(size, [&](Surface& f) { PaintFace(f, s.style); }), s.name);

  page.Row();
  page.Add(new Swatch(size, [](Surface& f) { PaintFace(f, 7, 0xE0E0E0, 0x00C000, 0x006000); }), "7 green");
  page.Add(new Swatch(size, [](Surface& f) { BevelBorder(f, 0x090909, 0x606060, false, 2); }), "BevelBorder");
  page.Add(new Swatch(size, [](Surface& f) { EdgeBox(f, 0, 0, PxToTwips(f.W()), PxToTwips(f.H()), true); }),
           "EdgeBox sunken");
  page.Add(new Swatch(size, [](Surface& f) { EdgeBox(f, 0, 0, PxToTwips(f.W()), PxToTwips(f.H()), false); }),
           "EdgeBox raised");
  const float fontSize = static_cast<float>(9 * page.SizeRate());
  for (const QString& face : {kFaceGothic, kFaceMeiryo}) {
    page.Add(new Swatch(QSize(page.Px(2400), page.Px(420)),
                        [&](Surface& f) {
                          SetControlFont(&f, -2, nullptr, fontSize, false, false, face);
                          f.SetForeColor(SystemColor(kSysButtonText));
                          PlaceCaption(f, QRect(0, 0, 0, PxToTwips(f.H())),
                                       QStringLiteral("録音レベル 再生 Ag"), 7);
                        }),
             face);
  }
}

}  // namespace lumora
