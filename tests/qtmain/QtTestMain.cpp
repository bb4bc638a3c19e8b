// Test main for Qt code: the offscreen platform (no display needed), a private
// runtime folder (Qt warns without one) and one QApplication for every case.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char runtime[] = "/tmp/lumora-qt-XXXXXX";
  if (mkdtemp(runtime) != nullptr) {
    chmod(runtime, 0700);
    setenv("XDG_RUNTIME_DIR", runtime, 1);
  }
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const int result = RUN_ALL_TESTS();
  rmdir(runtime);
  return result;
}
