#pragma once
// The legend of the 32 fault bits in the modes window. Telemetry 'j' and the
// black-box records carry four fault bytes; the legend runs in the order the
// record log prints their bits: byte 1 most significant bit first, byte 4 least
// significant bit last. A caption starts with the two-character fault code the
// black box reports (a blank before one-digit codes).

#include <array>
#include <cstdint>
#include <string_view>

namespace o5 {

struct FaultLegendEntry {
  std::string_view name;  // "l" + byte + bit, bit 1 being the least significant
  int top;                // pixels from the top of the legend panel
  int byte;               // fault byte 1..4
  uint8_t mask;
  std::string_view caption;  // UTF-8; two bits have no caption
};

inline constexpr int kFaultBitCount = 32;

extern const std::array<FaultLegendEntry, kFaultBitCount> kFaultLegend;

}  // namespace o5
