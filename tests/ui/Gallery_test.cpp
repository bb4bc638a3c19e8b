// lumora-gallery --grab renders every control without a display.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int RunGallery(const QStringList& arguments) {
  QProcess gallery;
  gallery.start(QStringLiteral(LUMORA_BUILD_DIR "/lumora-gallery"), arguments);
  if (!gallery.waitForFinished(60000)) return -1;
  return gallery.exitStatus() == QProcess::NormalExit ? gallery.exitCode() : -1;
}

TEST(Gallery, GrabsAPictureAndRefusesBadArguments) {
  QTemporaryDir dir;
  const QString png = dir.filePath("gallery.png");
  ASSERT_EQ(RunGallery({"--grab", png, "--size-rate", "2"}), 0);
  const QImage picture(png);
  EXPECT_GT(picture.width(), 800);
  EXPECT_GT(picture.height(), 600);
  EXPECT_EQ(RunGallery({"--size-rate", "9", "--grab", png}), 2);
  EXPECT_EQ(RunGallery({"--grab", dir.filePath("missing/folder/x.png")}), 1);
}

}  // namespace
