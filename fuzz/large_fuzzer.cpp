// Fuzz target for large codes. The fuzzer's bytes are a recipe rather than the code:
// a kind of run, a size from 1 KB to 2 MB and a seed, from which the code is built
// by repetition, so that runs of '{', quotes, NULs, nested colour patterns, random
// bytes and repeated items reach the sizes of pasted text, which byte-level fuzzing
// never grows to. Every code gets the checks of the ordinary target, and its
// reading time per byte must stay within a budget of the same recipe's time per
// byte at a 64th of the size: a ratio, so a loaded machine does not fail it.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ProcessMemory.h"
#include "ZNParser.h"

// The ordinary target's checks, kept in one place, under another name.
#define LLVMFuzzerTestOneInput CheckLikeTheParseFuzzer
#include "parse_fuzzer.cpp"
#undef LLVMFuzzerTestOneInput

// GCC 12 warns of an overlap in std::string's append that cannot happen (its bug 105329).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace {

enum Kind { BraceRun, QuoteRun, NulRun, ColourPatterns, RepeatedItems, RandomBytes, KindCount };

struct Recipe {
  Kind kind = BraceRun;
  std::size_t size = 0;
  std::string_view seed;
};

constexpr std::size_t SizeSteps = 12;  // 1 KB << 0 .. 11: up to 2 MB
constexpr std::size_t MaxSeed = 64;
constexpr std::size_t SmallerBy = 64;
// A quadratic reader shows 64 and more. Caches alone (a small code fits in them, a
// large one does not) gave up to 2.2 here, a loaded machine more.
constexpr double Budget = 16;

// Printable recipes work: "0;" is a 2 MB run of '{', "41 Gm" 2 KB of " Gm".
Recipe ReadRecipe(const std::uint8_t* data, std::size_t size) {
  Recipe r;
  r.kind = static_cast<Kind>(data[0] % KindCount);
  r.size = std::size_t{1024} << (data[1] % SizeSteps);
  r.seed = std::string_view(reinterpret_cast<const char*>(data) + 2, std::min(size - 2, MaxSeed));
  return r;
}

std::string Build(const Recipe& r, std::size_t size) {
  const std::string seed(r.seed);
  std::string code;
  code.reserve(size + 64);
  code = "ZN2.";
  std::string unit;
  switch (r.kind) {
    case BraceRun: code.append(seed); unit = "{"; break;
    case QuoteRun: code.append(seed); unit = "\""; break;
    case NulRun: code.append(seed); unit = std::string(1, '\0'); break;
    case ColourPatterns:
      code.append("Dw C").append(seed.empty() ? std::string("bl") : seed);
      unit = "|re:gr";
      break;
    case RepeatedItems: unit = seed.empty() ? std::string(" Dw Gm L12m Cbl|wh B\"sparks\"") : seed; break;
    case RandomBytes: {
      std::uint64_t x = 0x9E3779B97F4A7C15u;
      for (char c : seed) x = (x ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
      while (code.size() < size) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        code += static_cast<char>(x >> 56);
      }
      break;
    }
    case KindCount: break;
  }
  if (!unit.empty()) {
    while (code.size() < size) code += unit;
  }
  code.resize(size);
  return code;
}

// The quickest of at least two readings, and of as many as 2 ms allow: the first
// reading of a size may pay for faulting its memory in.
double SecondsPerByte(const std::string& code) {
  using Clock = std::chrono::steady_clock;
  double best = 1e30, total = 0;
  for (int runs = 0; runs < 2 || total < 0.002; ++runs) {
    const auto start = Clock::now();
    { const zendric::ParseResult r = zendric::ParseCode(code); }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::min(best, seconds);
    total += seconds;
  }
  return best / static_cast<double>(code.size());
}

void CheckTimePerByte(const Recipe& r, const std::string& code) {
  const std::size_t smallSize = code.size() / SmallerBy;
  if (smallSize < 1024) return;
  const std::string small = Build(r, smallSize);
  double ratio = SecondsPerByte(code) / SecondsPerByte(small);
  // A slow spell of the machine passes; a reader that is slow per byte stays slow.
  for (int again = 0; again < 2 && ratio > Budget; ++again) {
    ratio = std::min(ratio, SecondsPerByte(code) / SecondsPerByte(small));
  }
  if (ratio > Budget) {
    std::fprintf(stderr, "reading time per byte at %zu bytes is %.1f times that at %zu bytes (budget %.0f)\n",
                 code.size(), ratio, smallSize, Budget);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const bool keep = (zendric::KeepFreedMemory(), true);  // as the programs do
  (void)keep;
  const Recipe recipe = ReadRecipe(data, size);
  const std::string code = Build(recipe, recipe.size);
  CheckLikeTheParseFuzzer(reinterpret_cast<const std::uint8_t*>(code.data()), code.size());
  CheckTimePerByte(recipe, code);
  return 0;
}
