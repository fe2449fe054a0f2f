// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fuzz/FuzzReplay.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace o5::fuzz {

namespace {

constexpr int kDefaultGenerated = 20000;
constexpr unsigned kDefaultSeed = 8;

void Run(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace

int ReplayMain(int argc, char** argv, InputGenerator generate) {
  int generated = kDefaultGenerated;
  unsigned seed = kDefaultSeed;
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--generated") == 0 && i + 1 < argc)
      generated = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
      seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    else
      folders.emplace_back(argv[i]);
  }
  const auto start = std::chrono::steady_clock::now();
  int files = 0;
  for (const std::string& folder : folders) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
      std::ifstream in(path, std::ios::binary);
      Run(std::string(std::istreambuf_iterator<char>(in), {}));
      ++files;
    }
  }
  if (!folders.empty() && files == 0) {
    std::fprintf(stderr, "no corpus files found\n");
    return 1;
  }
  std::mt19937 random(seed);
  for (int i = 0; i < generated; ++i) Run(generate(random));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d corpus files and %d generated inputs (seed %u) passed in %.1f s\n", files,
              generated, seed, seconds);
  return 0;
}

}  // namespace o5::fuzz
