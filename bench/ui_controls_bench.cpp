// Repaint cost of the drawn controls: one control after a value change (the
// drawing into its surface and the blit of the widget), and the whole gallery.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "Gallery.h"
#include "GalleryPage.h"
#include "controls/FontRegistry.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Slider.h"
#include "controls/UC_TextPicture.h"

namespace lumora {
namespace {

// Renders a widget as a paint event would show it.
void Show(QWidget& widget, QImage& target) {
  QPainter painter(&target);
  widget.render(&painter);
}

void BM_SliderValue(benchmark::State& state) {
  UC_Slider slider;
  slider.resize(166, 20);
  slider.Init2();
  QImage target(slider.size(), QImage::Format_RGB32);
  int v = 0;
  for (auto _ : state) {
    slider.SetValue(v = (v + 37) % 1000);
    Show(slider, target);
  }
}
BENCHMARK(BM_SliderValue);

void BM_BarValue(benchmark::State& state) {
  UC_Bar bar;
  bar.resize(340, 26);
  bar.SetTextToDisp("00:01:23");
  QImage target(bar.size(), QImage::Format_RGB32);
  int v = 0;
  for (auto _ : state) {
    bar.SetValue(v = (v + 7) % 100);
    Show(bar, target);
  }
}
BENCHMARK(BM_BarValue);

void BM_TextPanelText(benchmark::State& state) {
  UC_TextPicture panel;
  panel.resize(188, 31);
  panel.AddStdColorSet(0);
  panel.AddTextSpace(14, true, false, {}, -1, -1);
  QImage target(panel.size(), QImage::Format_RGB32);
  int n = 0;
  for (auto _ : state) {
    panel.DispMes(0, QStringLiteral("00:%1:%2 録音").arg(n / 60 % 60, 2, 10, QChar('0')).arg(n % 60, 2, 10, QChar('0')));
    ++n;
    Show(panel, target);
  }
}
BENCHMARK(BM_TextPanelText);

void BM_GalleryRepaint(benchmark::State& state) {
  auto gallery = BuildGallery(1.0);
  QImage target(gallery->size(), QImage::Format_RGB32);
  for (auto _ : state) Show(*gallery, target);
}
BENCHMARK(BM_GalleryRepaint)->Unit(benchmark::kMillisecond);

void BM_GalleryBuild(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildGallery(1.0));
}
BENCHMARK(BM_GalleryBuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char runtime[] = "/tmp/lumora-bench-XXXXXX";
  if (mkdtemp(runtime) != nullptr) {
    chmod(runtime, 0700);
    setenv("XDG_RUNTIME_DIR", runtime, 1);
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    lumora::ReleaseFonts();
  }
  rmdir(runtime);
  return result;
}
