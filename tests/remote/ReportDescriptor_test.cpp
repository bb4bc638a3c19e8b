// Report lengths from real devices' report descriptors.

#include "remote/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <tuple>

namespace lumora {
namespace {

struct DescriptorCase {
  const char* device;
  std::vector<uint8_t> bytes;
  ReportLengths expected;
};

// A vendor-defined I/O board: 64 bytes each way (a two-byte logical maximum).
const std::vector<uint8_t> kVendorIo{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                     0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                     0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};

// Keyboard (report 1, 8 bytes) and consumer keys (report 2, one 16-bit usage).
const std::vector<uint8_t> kNumberedKeyboard{
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15,
    0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x05, 0x07, 0x19, 0x00, 0x2A, 0xFF,
    0x00, 0x81, 0x00, 0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26,
    0xFF, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};

std::vector<uint8_t> With(std::vector<uint8_t> bytes, std::initializer_list<uint8_t> more) {
  bytes.insert(bytes.end(), more);
  return bytes;
}

TEST(ReportDescriptor, LengthsOfRealDevicesCountTheReportNumberByte) {
  const std::vector<DescriptorCase> cases{
      {"vendor I/O board", kVendorIo, {65, 65, false}},
      {"numbered keyboard", kNumberedKeyboard, {9, 0, true}},
      // Push keeps the 8-bit size for after a 1-bit field; a long item sizes nothing.
      {"push, pop, long item",
       {0x75, 0x08, 0x95, 0x02, 0xA4, 0x75, 0x01, 0x81, 0x02, 0xB4, 0x81, 0x02, 0xFE, 0x02, 0x10, 0xAA, 0xBB},
       {4, 0, false}},
      {"empty", {}, {0, 0, false}},
  };
  for (const auto& c : cases) {
    const ReportLengths got = ParseReportLengths(c.bytes);
    EXPECT_EQ(std::tie(got.input, got.output, got.numbered),
              std::tie(c.expected.input, c.expected.output, c.expected.numbered))
        << c.device;
  }
}

TEST(ReportDescriptor, BrokenDescriptorsGiveNoLengths) {
  const std::vector<std::vector<uint8_t>> broken{
      With(kVendorIo, {0x26, 0xFF}),        // an item cut short
      With(kVendorIo, {0xFE, 0x05, 0x00}),  // a long item cut short
      With(kVendorIo, {0xB4}),              // Pop without Push
      With(kVendorIo, {0x85, 0x00}),        // report ID 0
  };
  for (const auto& bytes : broken) {
    const ReportLengths got = ParseReportLengths(bytes);
    EXPECT_EQ(got.input + got.output, 0);
  }
}

}  // namespace
}  // namespace lumora
