// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "link/Frame.h"

namespace o5 {
namespace {

Frame Bytes(std::initializer_list<int> values) {
  Frame f{};
  int i = 0;
  for (int v : values) f[i++] = static_cast<uint8_t>(v);
  return f;
}

TEST(FrameChecksum, SumOfTheFirstNineBytesModulo256) {
  const Frame version = Bytes({0xAA, 0x09, 0x00, 0x00, 0x68, 0x00, 0x00, 0x00, 0x00, 0x1B});
  EXPECT_EQ(FrameChecksum(version), 0x1B);
  EXPECT_TRUE(FrameChecksumValid(version));
  Frame wrong = version;
  wrong[9] = 0x1C;
  EXPECT_FALSE(FrameChecksumValid(wrong));
  // Carries beyond eight bits are dropped.
  EXPECT_EQ(FrameChecksum(Bytes({0xAA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0})),
            (0xAA + 8 * 0xFF) & 0xFF);
}

TEST(FrameToHex, UpperCaseHexWithSpaces) {
  EXPECT_EQ(FrameToHex(Bytes({0xAA, 0x09, 0x00, 0x00, 0x68, 0x00, 0x00, 0x00, 0x00, 0x1B})),
            "AA 09 00 00 68 00 00 00 00 1B");
}

struct BitsCase {
  const char* bits;
  int value;
};

void PrintTo(const BitsCase& c, std::ostream* os) { *os << '"' << c.bits << '"'; }

class ControlByteFromBitsTest : public ::testing::TestWithParam<BitsCase> {};

TEST_P(ControlByteFromBitsTest, ReadsBaseTwoMostSignificantFirst) {
  EXPECT_EQ(ControlByteFromBits(GetParam().bits), GetParam().value) << '"' << GetParam().bits << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlByteFromBitsTest,
    ::testing::Values(BitsCase{"00001001", 0x09}, BitsCase{"00000001", 0x01}, BitsCase{"1", 1},
                      BitsCase{"", 0}, BitsCase{"1x0", 2}, BitsCase{"111111111", 255},
                      BitsCase{"abc", 0}, BitsCase{"10000000", 128}, BitsCase{"100000000", 0},
                      BitsCase{"0000 1001", 9}, BitsCase{"1 0 0 0 0 0 0 0 1", 1},
                      BitsCase{"11111111", 255}, BitsCase{"22", 0}, BitsCase{"1\xD0\x9F" "1", 3}));

TEST(BitString, LowBitsMostSignificantFirst) {
  EXPECT_EQ(BitString(5, 8), "00000101");
  EXPECT_EQ(BitString(0x105, 8), "00000101");
  EXPECT_EQ(BitString(0xFF, 8), "11111111");
  EXPECT_EQ(BitString(1, 1), "1");
  EXPECT_EQ(BitString(2, 1), "0");
  EXPECT_EQ(BitString(0xFFFFFFFFu, 0), "");
  EXPECT_EQ(BitString(0xFFFFFFFFu, -3), "");
  EXPECT_EQ(BitString(0xFFFFFFFFu, 32), std::string(32, '1'));
  const std::string forty = BitString(0x80000001u, 40);
  EXPECT_EQ(forty.size(), 32u);
  EXPECT_EQ(forty, "1" + std::string(30, '0') + "1");
}

TEST(BitString, RoundTripsThroughControlByteFromBits) {
  for (int v = 0; v < 256; ++v) EXPECT_EQ(ControlByteFromBits(BitString(static_cast<uint32_t>(v), 8)), v);
}

// The request frames that go on the line, byte for byte, built the way the
// commands build them.
struct RequestCase {
  const char* name;
  const char* bits;
  int code;
  int data;
  const char* hex;
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class RequestFrameTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestFrameTest, IsLaidOutByteForByte) {
  const RequestCase& c = GetParam();
  const Frame f = BuildRequest(ControlByteFromBits(c.bits), 0, 0, static_cast<uint8_t>(c.code),
                               static_cast<uint8_t>(c.data), 0, 0, 0);
  EXPECT_EQ(FrameToHex(f), c.hex) << c.name;
  EXPECT_TRUE(FrameChecksumValid(f));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestFrameTest,
    ::testing::Values(
        RequestCase{"start", "00000001", 1, 0, "AA 01 00 00 01 00 00 00 00 AC"},
        RequestCase{"stop", "00000001", 3, 0, "AA 01 00 00 03 00 00 00 00 AE"},
        RequestCase{"post-start request", "00001001", 19, 0, "AA 09 00 00 13 00 00 00 00 C6"},
        RequestCase{"post-start fallback", "00000001", 19, 0, "AA 01 00 00 13 00 00 00 00 BE"},
        RequestCase{"version request", "00001001", 104, 0, "AA 09 00 00 68 00 00 00 00 1B"},
        RequestCase{"version date request", "00001001", 105, 0, "AA 09 00 00 69 00 00 00 00 1C"},
        RequestCase{"exit request", "00001001", 20, 0, "AA 09 00 00 14 00 00 00 00 C7"},
        RequestCase{"exit fallback", "00000001", 20, 0, "AA 01 00 00 14 00 00 00 00 BF"},
        RequestCase{"black-box read, address 3", "00001001", 119, 3, "AA 09 00 00 77 03 00 00 00 2D"},
        RequestCase{"black-box read, address 255", "00001001", 119, 255,
                    "AA 09 00 00 77 FF 00 00 00 29"}),
    [](const ::testing::TestParamInfo<RequestCase>& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p)
        if ((*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9')) name += *p;
      return name;
    });

TEST(BuildRequest, PutsEveryArgumentInItsByte) {
  const Frame f = BuildRequest(0x12, 0x23, 0x34, 0x45, 0x56, 0x67, 0x78, 0x89);
  EXPECT_EQ(f, Bytes({0xAA, 0x12, 0x23, 0x34, 0x45, 0x56, 0x67, 0x78, 0x89,
                      (0xAA + 0x12 + 0x23 + 0x34 + 0x45 + 0x56 + 0x67 + 0x78 + 0x89) & 0xFF}));
}

}  // namespace
}  // namespace o5
