// SPDX-License-Identifier: GPL-3.0-or-later
// The receive-path fuzz entry without the fuzzer: the seed corpus, then
// generated sessions. A generated session mixes what a line can carry (valid
// telemetry of every kind, replies to the awaited codes, frames with a wrong
// checksum, cut frames, noise with and without start bytes) and hands it over
// in a random schedule of receive events, ticks and reply waits.

#include <cstdint>
#include <random>
#include <string>

#include "link/Frame.h"
#include "tests/fuzz/FuzzReplay.h"

namespace {

using o5::BuildRequest;
using o5::Frame;

constexpr uint8_t kCodes[] = {1, 3, 19, 20, 104, 105, 119};
constexpr size_t kMaxPieces = 80;
constexpr size_t kMaxSchedule = 40;

int Pick(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

uint8_t Byte(std::mt19937& random) { return static_cast<uint8_t>(Pick(random, 0, 255)); }

// A data byte that favours the values at the edges of every field.
uint8_t Value(std::mt19937& random) {
  constexpr uint8_t kEdges[] = {0, 1, 2, 27, 28, 59, 60, 127, 128, 0xAA, 0xFE, 0xFF};
  return Pick(random, 0, 2) == 0 ? kEdges[Pick(random, 0, std::size(kEdges) - 1)] : Byte(random);
}

std::string Bytes(const Frame& f) { return std::string(f.begin(), f.end()); }

std::string Piece(std::mt19937& random) {
  switch (Pick(random, 0, 9)) {
    case 0:
    case 1:
    case 2:
    case 3: {  // telemetry, mostly of the seven kinds
      const uint8_t kind = Pick(random, 0, 9) == 0 ? Byte(random) : static_cast<uint8_t>('e' + Pick(random, 0, 6));
      return Bytes(BuildRequest(0, 0, 0, kind, Value(random), Value(random), Value(random), Value(random)));
    }
    case 4: {  // a reply, mostly to an awaited code
      const uint8_t code = kCodes[Pick(random, 0, std::size(kCodes) - 1)];
      const uint8_t byte4 = Pick(random, 0, 4) == 0 ? Byte(random) : 0;
      return Bytes(BuildRequest(0x19, 0, byte4, code, Value(random), Value(random), Value(random), Value(random)));
    }
    case 5: {  // a wrong checksum
      Frame f = BuildRequest(Byte(random), Byte(random), Byte(random), Byte(random), Byte(random),
                             Byte(random), Byte(random), Byte(random));
      f[9] = static_cast<uint8_t>(f[9] + Pick(random, 1, 255));
      return Bytes(f);
    }
    case 6: {  // a cut frame
      const Frame f = BuildRequest(0, 0, 0, static_cast<uint8_t>('e' + Pick(random, 0, 6)), Byte(random),
                                   Byte(random), Byte(random), Byte(random));
      return Bytes(f).substr(0, static_cast<size_t>(Pick(random, 1, 9)));
    }
    case 7:  // start bytes
      return std::string(static_cast<size_t>(Pick(random, 1, 3)), static_cast<char>(0xAA));
    default: {  // noise
      std::string s;
      for (int n = Pick(random, 1, 30); n > 0; --n) s += static_cast<char>(Byte(random));
      return s;
    }
  }
}

std::string Generate(std::mt19937& random) {
  std::string schedule;
  if (Pick(random, 0, 5) != 0) {
    for (size_t n = static_cast<size_t>(Pick(random, 1, kMaxSchedule)); n > 0; --n) {
      // Short events are the interesting ones; ticks come in every number.
      const int length = Pick(random, 0, 3) == 0 ? Pick(random, 0, 31) : Pick(random, 0, 10);
      schedule += static_cast<char>(Pick(random, 0, 7) << 5 | length);
    }
  }
  std::string input(1, static_cast<char>(schedule.size()));
  input += schedule;
  for (size_t n = static_cast<size_t>(Pick(random, 0, kMaxPieces)); n > 0; --n) input += Piece(random);
  return input;
}

}  // namespace

int main(int argc, char** argv) { return o5::fuzz::ReplayMain(argc, argv, Generate); }
