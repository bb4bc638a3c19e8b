#pragma once
// The output file of a take: the operator's choice from the save dialog, the
// default "new.<ext>" in the data folder, or in sequential mode the first free
// numbered name (new01.wav, new02.wav, ...). Existing files are never renamed.

#include <string>

#include "recording/RecorderView.h"

namespace lumora {

struct TakeNames {
  std::string RecFileName;      // the file the next or current take writes
  std::string RecTemplateName;  // the name sequential numbering works from
};

// Sets RecFileName (and RecTemplateName when needed) for a take with the given
// extension ("wav" or "mp3").
void NameForTake(TakeNames& names, bool sequential, const std::string& dataFolder,
                 const std::string& extension);

// The file button: asks the view for a file in recDir. On a choice, names and
// recDir (the chosen file's folder) are updated and true comes back; a cancelled
// dialog changes nothing.
bool ChooseRecFile(RecorderView& view, const std::string& extension, std::string& recDir, TakeNames& names);

// The name of a take's next file: the first file's name with "-" and the part
// number before the extension ("new.wav", 2 -> "new-2.wav").
std::string FilePartName(const std::string& first, int32_t part);

// The base name, "." and extension of a path, as the file-name panel shows it.
std::string DisplayFileName(const std::string& path);

}  // namespace lumora
