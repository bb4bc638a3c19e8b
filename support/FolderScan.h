#pragma once
// What the folder clean-ups share: a listing of one folder, the extension
// filter of a search, and the age rule ("last written before the cut-off").

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

struct FolderEntry {
  std::string name;
  bool isFolder = false;   // a real folder, not a link to one
  bool isRegular = false;  // a plain file, not a link or device
  int64_t modified = 0;    // last write, seconds since the epoch
};

// Every entry of folder (ending in "/") but "." and "..", read in full before
// the caller deletes anything. Empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// ".*" for an empty extension, else the extension with one leading ".".
std::string ExtensionFilter(const std::string& extension);
// ".*" matches every name; any other filter matches names ending in it
// (letter case ignored, wildcards allowed).
bool MatchesFilter(const std::string& name, const std::string& filter);

// "yyyy/mm/dd hh:mm:ss" of now moved back by |days| days; empty (no cut-off) for 0.
std::string AgeCutoff(int32_t days);
// True when there is no cut-off or the entry was last written strictly before it.
bool IsOlderThan(const FolderEntry& entry, const std::string& cutoff);

}  // namespace lumora
