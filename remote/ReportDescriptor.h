#pragma once
// Report lengths from a HID report descriptor, as the box's protocol needs
// them: hidraw hands out the descriptor but no lengths, so its items are added
// up here.

#include <cstdint>
#include <vector>

namespace lumora {

struct ReportLengths {
  // Bytes of the longest report of each direction plus the report-number byte;
  // 0 when there is none.
  int32_t input = 0;
  int32_t output = 0;
  bool numbered = false;  // the device prefixes its reports with a report ID
};

// All zero for a descriptor that ends inside an item or uses an item wrongly.
ReportLengths ParseReportLengths(const std::vector<uint8_t>& descriptor);

}  // namespace lumora
