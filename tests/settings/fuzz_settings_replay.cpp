// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the settings fuzz entry without the fuzzer: over every file of the
// given corpus folders, then over generated inputs from a fixed seed, so that
// the normal test run exercises it the same way every time.
// Usage: fuzz_settings_replay <corpus folder>... [--generated N]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr unsigned kSeed = 5150;
constexpr int kDefaultGenerated = 3000;
constexpr size_t kMaxGeneratedPieces = 64;

// Pieces that make up settings files, so that generated inputs reach the
// parser's interesting paths rather than stopping at the first odd byte.
const char* const kPieces[] = {"[Options]", "[options]", "[Other]", "[", "]", "=", ";", " ", "\t",
                               "\n", "\r\n", "\r", "\xEF\xBB\xBF", "$", "0x", "0X", "-", "+",
                               "FormModesTop", "formmodesleft", "W1", "C1", "S1", "XStep", "A",
                               "FuzzKey", "0", "1", "7", "255", "FFFFFFFF", "2147483648",
                               "-2147483648", "99999999999", "ff", "G", ""};

std::string Generate(std::mt19937& random) {
  std::uniform_int_distribution<size_t> count(0, kMaxGeneratedPieces);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces));
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s;
  for (size_t i = count(random); i > 0; --i) {
    const size_t k = piece(random);
    if (k == std::size(kPieces))
      s += static_cast<char>(byte(random));
    else if (kPieces[k][0] == '\0')
      s += '\0';  // the empty piece stands for a NUL byte
    else
      s += kPieces[k];
  }
  return s;
}

int Run(const std::string& input) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  int generated = kDefaultGenerated;
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--generated") == 0 && i + 1 < argc)
      generated = std::atoi(argv[++i]);
    else
      folders.emplace_back(argv[i]);
  }
  int files = 0;
  for (const std::string& folder : folders)
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      Run(std::string(std::istreambuf_iterator<char>(in), {}));
      ++files;
    }
  if (!folders.empty() && files == 0) {
    std::fprintf(stderr, "no corpus files found\n");
    return 1;
  }
  std::mt19937 random(kSeed);
  for (int i = 0; i < generated; ++i) Run(Generate(random));
  std::printf("%d corpus files and %d generated inputs passed\n", files, generated);
  return 0;
}
