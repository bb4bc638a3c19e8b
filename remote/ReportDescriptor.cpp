#include "remote/ReportDescriptor.h"

#include <algorithm>
#include <map>

namespace lumora {

namespace {

// The global items that size a report, with Push and Pop keeping a stack of them.
struct GlobalState {
  uint32_t reportSize = 0;   // bits per field
  uint32_t reportCount = 0;  // fields
  uint32_t reportId = 0;
};

enum : uint8_t {
  kMain = 0,
  kGlobal = 1,
  kTagInput = 8,
  kTagOutput = 9,
  kTagReportSize = 7,
  kTagReportId = 8,
  kTagReportCount = 9,
  kTagPush = 10,
  kTagPop = 11,
  kLongItem = 0xFE,
};

struct Totals {
  std::map<uint32_t, uint64_t> inputBits;  // per report ID
  std::map<uint32_t, uint64_t> outputBits;
};

int32_t LongestReport(const std::map<uint32_t, uint64_t>& bits) {
  uint64_t longest = 0;
  for (const auto& [id, n] : bits) longest = std::max(longest, (n + 7) / 8);
  // A report longer than any transfer can carry is a broken descriptor, not a box.
  return longest == 0 || longest > 0xFFFF ? 0 : static_cast<int32_t>(longest) + 1;
}

// One short item; false when it breaks the descriptor's rules.
bool Apply(uint8_t type, uint8_t tag, uint32_t value, GlobalState& state, std::vector<GlobalState>& stack,
           Totals& totals, bool& numbered) {
  if (type == kGlobal) {
    switch (tag) {
      case kTagReportSize:
        state.reportSize = value;
        break;
      case kTagReportCount:
        state.reportCount = value;
        break;
      case kTagReportId:
        if (value == 0) return false;  // ID 0 is reserved for "not numbered"
        state.reportId = value;
        numbered = true;
        break;
      case kTagPush:
        stack.push_back(state);
        break;
      case kTagPop:
        if (stack.empty()) return false;
        state = stack.back();
        stack.pop_back();
        break;
    }
  } else if (type == kMain && (tag == kTagInput || tag == kTagOutput)) {
    auto& bits = tag == kTagInput ? totals.inputBits : totals.outputBits;
    bits[state.reportId] += static_cast<uint64_t>(state.reportSize) * state.reportCount;
  }
  return true;
}

}  // namespace

ReportLengths ParseReportLengths(const std::vector<uint8_t>& descriptor) {
  GlobalState state;
  std::vector<GlobalState> stack;
  Totals totals;
  bool numbered = false;
  size_t at = 0;
  while (at < descriptor.size()) {
    const uint8_t prefix = descriptor[at];
    if (prefix == kLongItem) {  // vendor data with its own size; sizes no report
      if (at + 1 >= descriptor.size()) return {};
      at += 3 + descriptor[at + 1];
      if (at > descriptor.size()) return {};
      continue;
    }
    const size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
    if (at + 1 + size > descriptor.size()) return {};
    uint32_t value = 0;
    for (size_t k = 0; k < size; ++k) value |= static_cast<uint32_t>(descriptor[at + 1 + k]) << (8 * k);
    if (!Apply((prefix >> 2) & 3, prefix >> 4, value, state, stack, totals, numbered)) return {};
    at += 1 + size;
  }
  return {LongestReport(totals.inputBits), LongestReport(totals.outputBits), numbered};
}

}  // namespace lumora
