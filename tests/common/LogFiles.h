#pragma once
// The text of the log files a test wrote into a folder.

#include <string>

namespace lumora::test {

// Every file in folder whose name ends in extension (".log" or ".err"), joined.
std::string ReadLogFiles(const std::string& folder, const std::string& extension);

}  // namespace lumora::test
