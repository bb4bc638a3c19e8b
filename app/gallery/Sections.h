#pragma once
// One function per gallery section; each adds its controls in every state.
// To add a control: write a section in its own file and list it in Gallery.cpp.

namespace lumora {

class GalleryPage;

void AddFacesSection(GalleryPage& page);
void AddButtonsSection(GalleryPage& page);
void AddSlidersSection(GalleryPage& page);
void AddTextPanelsSection(GalleryPage& page);
void AddChoicesSection(GalleryPage& page);
void AddMetersSection(GalleryPage& page);

}  // namespace lumora
