#include "Gallery.h"

#include "GalleryPage.h"
#include "Sections.h"

namespace lumora {

std::unique_ptr<GalleryPage> BuildGallery(double sizeRate) {
  auto page = std::make_unique<GalleryPage>(sizeRate);
  AddFacesSection(*page);
  AddButtonsSection(*page);
  AddSlidersSection(*page);
  AddTextPanelsSection(*page);
  AddChoicesSection(*page);
  AddMetersSection(*page);
  page->adjustSize();
  return page;
}

}  // namespace lumora
