// Stands in for libFuzzer where the compiler has none: feeds the target each file of the
// folders and files named, then a fixed set of mutations of each, so the same checks run
// in every native test run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize);

namespace {

namespace fs = std::filesystem;

constexpr int MutationsPerInput = 64;

void Run(const std::string& ABytes) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(ABytes.data()), ABytes.size());
}

// Bytes that change how text is read: line ends, quotes, byte-order marks, UTF-8 leads
// and continuations, and bytes that are never UTF-8.
std::string Mutated(std::string ABytes, std::mt19937& ARandom) {
  static const char Interesting[] = {'"',        '\r',       '\n',       '\0',       '\\',
                                     char(0x80), char(0xBF), char(0xC0), char(0xC3), char(0xE2),
                                     char(0xED), char(0xEF), char(0xBB), char(0xF0), char(0xF4),
                                     char(0xFE), char(0xFF)};
  const int edits = 1 + int(ARandom() % 8);
  for (int i = 0; i < edits; ++i) {
    const size_t at = ABytes.empty() ? 0 : ARandom() % (ABytes.size() + 1);
    const char byte =
        ARandom() % 2 ? Interesting[ARandom() % sizeof(Interesting)] : char(ARandom() % 256);
    switch (ARandom() % 3) {
    case 0:
      ABytes.insert(ABytes.begin() + at, byte);
      break;
    case 1:
      if (at < ABytes.size()) ABytes[at] = byte;
      break;
    default:
      if (at < ABytes.size()) ABytes.erase(at, 1 + ARandom() % 4);
      break;
    }
  }
  return ABytes;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::directory_iterator(argv[i]))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    } else {
      inputs.push_back(argv[i]);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  std::mt19937 random(20240607);
  size_t runs = 0;
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Run(bytes);
    for (int i = 0; i < MutationsPerInput; ++i)
      Run(Mutated(bytes, random));
    runs += 1 + MutationsPerInput;
  }
  std::printf("%zu inputs from %zu files\n", runs, inputs.size());
  return inputs.empty() ? 1 : 0;
}
