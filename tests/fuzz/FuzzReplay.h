// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a fuzz entry without the fuzzer, so that the normal test run exercises
// it the same way every time: first every file of the given corpus folders,
// then inputs made by the entry's own generator from a fixed seed.
//
// Usage: <program> <corpus folder>... [--generated N] [--seed S]

#include <random>
#include <string>

namespace o5::fuzz {

using InputGenerator = std::string (*)(std::mt19937& random);

int ReplayMain(int argc, char** argv, InputGenerator generate);

}  // namespace o5::fuzz
