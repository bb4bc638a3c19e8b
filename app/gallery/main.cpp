// lumora-gallery: every drawn control in each of its states.
//   lumora-gallery [--size-rate R]                 shows the gallery
//   lumora-gallery [--size-rate R] --grab FILE.png renders it without a display and exits

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstring>
#include <string>

#include "Gallery.h"
#include "GalleryPage.h"
#include "controls/FontRegistry.h"
#include "controls/Twips.h"

namespace {

struct Options {
  const char* grab = nullptr;
  double sizeRate = 1.0;
  bool ok = true;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--grab") == 0 && hasValue) {
      o.grab = argv[++i];
    } else if (std::strcmp(argv[i], "--size-rate") == 0 && hasValue) {
      char* end = nullptr;
      o.sizeRate = std::strtod(argv[++i], &end);
      o.ok = o.ok && *end == '\0' && o.sizeRate >= 0.7 && o.sizeRate <= 3.0;
    } else {
      o.ok = false;
    }
  }
  return o;
}

// Rendering without a display: the offscreen platform and a private runtime folder.
std::string PrepareOffscreen() {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char runtime[] = "/tmp/lumora-gallery-XXXXXX";
  if (mkdtemp(runtime) == nullptr) return {};
  chmod(runtime, 0700);
  setenv("XDG_RUNTIME_DIR", runtime, 1);
  return runtime;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  if (!options.ok) {
    std::fprintf(stderr, "usage: lumora-gallery [--size-rate 0.7..3.0] [--grab FILE.png]\n");
    return 2;
  }
  const std::string runtime = options.grab != nullptr ? PrepareOffscreen() : std::string();
  int result = 0;
  {
    QApplication app(argc, argv);
    lumora::ReadTppFromScreen();
    auto gallery = lumora::BuildGallery(options.sizeRate);
    gallery->setWindowTitle("lumora-gallery");
    if (options.grab != nullptr) {
      if (!gallery->grab().save(QString::fromLocal8Bit(options.grab), "PNG")) {
        std::fprintf(stderr, "lumora-gallery: cannot write %s\n", options.grab);
        result = 1;
      }
    } else {
      gallery->show();
      result = app.exec();
    }
    gallery.reset();
    lumora::ReleaseFonts();
  }
  if (!runtime.empty()) rmdir(runtime.c_str());
  return result;
}
