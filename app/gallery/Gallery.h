#pragma once
// The gallery of every drawn control in each of its states.

#include <memory>

namespace lumora {

class GalleryPage;

std::unique_ptr<GalleryPage> BuildGallery(double sizeRate);

}  // namespace lumora
