// Runs a fuzz target body without libFuzzer: every seed file given (or every
// file of a given directory), a fixed number of mutants of each seed, and a
// fixed number of pseudo-random inputs. Everything is derived from a fixed
// seed, so a failure found here reproduces on every run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::size_t>(Next() % bound);
  }
  uint8_t Byte() { return static_cast<uint8_t>(Next() & 0xFF); }

 private:
  uint64_t state_;
};

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A few edits of the kinds libFuzzer makes: overwrite, insert, erase, repeat
// a run, splice in part of another seed. Seeds are real frames, so most
// mutants stay close to the shapes the target has to recognise.
Bytes Mutate(const Bytes& seed, const std::vector<Bytes>& seeds, SplitMix64& rng) {
  Bytes out = seed;
  const std::size_t edits = 1 + rng.Below(4);
  for (std::size_t e = 0; e < edits; ++e) {
    switch (rng.Below(6)) {
      case 0:
        if (!out.empty()) {
          out[rng.Below(out.size())] = rng.Byte();
        }
        break;
      case 1:
        if (!out.empty()) {
          out[rng.Below(out.size())] ^= static_cast<uint8_t>(1U << rng.Below(8));
        }
        break;
      case 2:
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(rng.Below(out.size() + 1)),
                   rng.Byte());
        break;
      case 3:
        if (!out.empty()) {
          const std::size_t at = rng.Below(out.size());
          const std::size_t n = std::min(out.size() - at, 1 + rng.Below(8));
          out.erase(out.begin() + static_cast<std::ptrdiff_t>(at),
                    out.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        break;
      case 4:
        if (!out.empty()) {
          const std::size_t at = rng.Below(out.size());
          const std::size_t n = std::min(out.size() - at, 1 + rng.Below(16));
          const Bytes run(out.begin() + static_cast<std::ptrdiff_t>(at),
                          out.begin() + static_cast<std::ptrdiff_t>(at + n));
          out.insert(out.begin() + static_cast<std::ptrdiff_t>(rng.Below(out.size() + 1)),
                     run.begin(), run.end());
        }
        break;
      default: {
        const Bytes& other = seeds[rng.Below(seeds.size())];
        if (!other.empty()) {
          const std::size_t from = rng.Below(other.size());
          out.insert(out.begin() + static_cast<std::ptrdiff_t>(rng.Below(out.size() + 1)),
                     other.begin() + static_cast<std::ptrdiff_t>(from), other.end());
        }
        break;
      }
    }
  }
  return out;
}

void Run(const Bytes& input) {
  // A copy of exactly the input's size, so that any read past its end is one
  // the address sanitizer can see.
  const auto copy = std::make_unique<uint8_t[]>(input.size());
  std::copy(input.begin(), input.end(), copy.get());
  LLVMFuzzerTestOneInput(copy.get(), input.size());
}

std::size_t ParseCount(std::string_view text) {
  return static_cast<std::size_t>(std::strtoull(std::string(text).c_str(), nullptr, 10));
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t mutantsPerSeed = 500;
  std::size_t randomInputs = 5000;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--mutants" && i + 1 < argc) {
      mutantsPerSeed = ParseCount(argv[++i]);
    } else if (arg == "--random" && i + 1 < argc) {
      randomInputs = ParseCount(argv[++i]);
    } else if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file()) {
          files.push_back(entry.path());
        }
      }
    } else if (std::filesystem::is_regular_file(arg)) {
      files.emplace_back(arg);
    } else {
      std::fprintf(stderr, "usage: %s [--mutants N] [--random N] SEED_FILE_OR_DIR...\n",
                   argv[0]);
      std::fprintf(stderr, "not a file or directory: %s\n", argv[i]);
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "no seed files given: the corpus would not be exercised\n");
    return 2;
  }
  std::sort(files.begin(), files.end());

  std::vector<Bytes> seeds;
  seeds.reserve(files.size());
  for (const auto& file : files) {
    seeds.push_back(ReadFile(file));
  }

  std::size_t runs = 0;
  for (const Bytes& seed : seeds) {
    Run(seed);
    ++runs;
  }
  SplitMix64 rng(0x5A5436313030ULL);
  for (const Bytes& seed : seeds) {
    for (std::size_t m = 0; m < mutantsPerSeed; ++m) {
      Run(Mutate(seed, seeds, rng));
      ++runs;
    }
  }
  for (std::size_t r = 0; r < randomInputs; ++r) {
    Bytes input(rng.Below(513));
    for (auto& byte : input) {
      byte = rng.Byte();
    }
    Run(input);
    ++runs;
  }
  std::printf("%zu seed files, %zu inputs run\n", seeds.size(), runs);
  return 0;
}
