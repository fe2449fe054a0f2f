// SPDX-License-Identifier: GPL-3.0-or-later
// The black-box report fuzz entry without the fuzzer: the seed corpus, then
// generated images. Besides random bytes they carry the values at the edges of
// every field: erased cells, the largest and smallest run times, whole days.

#include <cstdint>
#include <random>
#include <string>

#include "tests/fuzz/FuzzReplay.h"

namespace {

constexpr uint32_t kRunTimes[] = {0,          1,          59,         60,         3599,
                                  3600,       86399,      86400,      0x7FFFFFFF, 0x80000000,
                                  0xFFFFFFFF, 0xFFFEAE80, 0x80000001, 0xFFFFFFC3};

int Pick(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

std::string Generate(std::mt19937& random) {
  std::string input(1, static_cast<char>(Pick(random, 0, 255)));
  const int fill = Pick(random, 0, 3);
  for (int i = 0; i < 256; ++i) {
    switch (fill) {
      case 0: input += '\0'; break;
      case 1: input += '\xFF'; break;
      default: input += static_cast<char>(Pick(random, 0, 255)); break;
    }
  }
  // Run times at their edges, at the four header addresses.
  for (int address : {13, 17, 21, 25}) {
    if (Pick(random, 0, 1) == 0) continue;
    const uint32_t v = kRunTimes[Pick(random, 0, std::size(kRunTimes) - 1)];
    for (int i = 0; i < 4; ++i) input[static_cast<size_t>(1 + address + i)] = static_cast<char>(v >> (8 * i));
  }
  // Now and then an image cut short or with bytes beyond its end.
  if (Pick(random, 0, 9) == 0) input.resize(static_cast<size_t>(Pick(random, 1, 300)), '\x5A');
  return input;
}

}  // namespace

int main(int argc, char** argv) { return o5::fuzz::ReplayMain(argc, argv, Generate); }
