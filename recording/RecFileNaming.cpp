#include "recording/RecFileNaming.h"

#include "support/FileSystem.h"

namespace lumora {

namespace {

// dataFolder + "new." + extension (the folder gets its trailing "/").
std::string DefaultRecName(const std::string& dataFolder, const std::string& extension) {
  return FolderSlash(dataFolder, 0) + "new." + extension;
}

}  // namespace

void NameForTake(TakeNames& names, bool sequential, const std::string& dataFolder,
                 const std::string& extension) {
  if (sequential) {
    if (names.RecTemplateName.empty()) names.RecTemplateName = DefaultRecName(dataFolder, extension);
    names.RecFileName = UniqueFileName(names.RecTemplateName, 1, 1, 2, 1);
  } else if (names.RecFileName.empty()) {
    names.RecFileName = DefaultRecName(dataFolder, extension);
    names.RecTemplateName = names.RecFileName;
  }
  // A take never overwrites a file of the other type: a name with the wrong
  // extension becomes the same name with the take's own, numbered if taken.
  if (SplitPath(names.RecFileName, 0, 0, 0, 0, 1, 1) != extension) {
    const std::string stem = SplitPath(names.RecFileName, 1, 1, 1, 0, 0, 0);
    names.RecFileName = UniqueFileName(stem + "." + extension, 1, 1, 2, 0);
  }
}

bool ChooseRecFile(RecorderView& view, const std::string& extension, std::string& recDir, TakeNames& names) {
  const std::string chosen = view.SaveFileDialog(recDir, extension + "ファイル", "*." + extension);
  const std::string file = AddExtension(chosen, extension);
  if (file.empty()) return false;
  recDir = SplitPath(file, 1, 1, 0, 0, 0, 0);
  names.RecFileName = file;
  names.RecTemplateName = file;
  view.ShowFileName(DisplayFileName(file));
  return true;
}

std::string FilePartName(const std::string& first, int32_t part) {
  return SplitPath(first, 1, 1, 1, 0, 0, 0) + "-" + std::to_string(part) + SplitPath(first, 0, 0, 0, 1, 1, 0);
}

std::string DisplayFileName(const std::string& path) { return SplitPath(path, 0, 0, 1, 1, 1, 0); }

}  // namespace lumora
