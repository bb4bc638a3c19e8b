// Feeds arbitrary bytes to the private-profile reader and writer as the text of
// an ini file: nothing may crash or hang, and a value written into any text must
// read back as written.
//   settings_ini_fuzz -max_total_time=60 -max_len=2048 CORPUS_DIR

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ProfileText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"nFreq", "DataPath", "RecDir", "fkeyfct-01"}) {
    (void)lumora::FindProfileValue(text, "conf", key);
  }
  const std::string written = lumora::SetProfileValue(text, "conf", "DataPath", "/rec/take 1/");
  const auto back = lumora::FindProfileValue(written, "Conf", "datapath");
  if (!back || *back != "/rec/take 1/") std::abort();
  return 0;
}
