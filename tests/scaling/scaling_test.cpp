// Reading time must grow linearly with the code: for each worst case we can build,
// a 1 MB code may take at most about 30 times as long as a 64 KB one (16 times is
// linear). Both are measured in the same run, so the machine's speed cancels out.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "ProcessMemory.h"
#include "ZNParser.h"

namespace {

struct Shape {
  const char* name;
  std::function<std::string(std::size_t)> make;  // a code of about the given size
};

std::string Repeat(std::string head, std::string_view unit, std::size_t size) {
  head.reserve(size + unit.size());
  while (head.size() < size) head += unit;
  return head;
}

std::string RandomBytes(std::size_t size, bool printable) {
  std::mt19937 rng(12345);
  std::string s = "ZN2.";
  while (s.size() < size) {
    const auto r = rng();
    s += printable ? static_cast<char>(' ' + r % 95) : static_cast<char>(r & 0xFF);
  }
  return s;
}

const Shape Shapes[] = {
    {"random bytes", [](std::size_t n) { return RandomBytes(n, false); }},
    {"random printable", [](std::size_t n) { return RandomBytes(n, true); }},
    {"realistic items",
     [](std::size_t n) {
       return Repeat("ZN2.Dw+Hd^Mfps{Gm L12m}", " Gm>f/h L3.5m2a2l4w T1.5t W+ Cbl+|re:gr,wre Bfl\"sparkly\"|/ic# "
                     "A(r+v-) M+*3 O(ra+2v--) Tc+[electronics] F+c/v Pw'l2^ Sks,wf Fr+^* I-# N! U2 Df~", n);
     }},
    {"deep mix", [](std::size_t n) { return Repeat("ZN2.Dw", "+Dw", n); }},
    {"brackets", [](std::size_t n) { return Repeat("ZN2.Dw", "[", n); }},
    {"looks-like", [](std::size_t n) { return Repeat("ZN2.Dw", "^Dw", n); }},
    {"shapechanger forms", [](std::size_t n) { return Repeat("ZN2.~", "Dw+Hd/", n); }},
    {"tildes", [](std::size_t n) { return Repeat("ZN2.", "~", n); }},
    {"form blocks", [](std::size_t n) { return Repeat("ZN2.Dw", "{", n); }},
    {"plus run", [](std::size_t n) { return Repeat("ZN2.Dw W", "+", n); }},
    {"colour stripes", [](std::size_t n) { return Repeat("ZN2.Dw C", "bl|", n); }},
    {"colour 200 deep, repeated",
     [](std::size_t n) { return Repeat("ZN2.Dw", " C" + Repeat("", "re/", 200) + "bl", n); }},
    {"open quotes", [](std::size_t n) { return Repeat("ZN2.Dw", " B\"a G\"b M+\"c Fr\"d", n); }},
    {"unrecognised", [](std::size_t n) { return Repeat("ZN2.Dw ", "xyz#%", n); }},
    {"appendages", [](std::size_t n) { return Repeat("ZN2.Dw P", "a4!^w'l-", n); }},
    {"skin groups", [](std::size_t n) { return Repeat("ZN2.Dw Sk", "s,w,x", n); }},
    {"gender list", [](std::size_t n) { return Repeat("ZN2.Dw G~(", "fmx", n); }},
    {"mating modifiers", [](std::size_t n) { return Repeat("ZN2.Dw M+", "2_*3|xx", n); }},
};

double SecondsToRead(const std::string& code, int repeats) {
  double best = 1e9;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const zendric::ParseResult r = zendric::ParseCode(code);
    const auto stop = std::chrono::steady_clock::now();
    EXPECT_LE(r.LineCount(), code.size());  // every line has an item of its own
    best = std::min(best, std::chrono::duration<double>(stop - start).count());
  }
  return best;
}

TEST(Scaling, ReadingTimeIsLinear) {
  // Measured as the window reads, with freed memory kept in the process: otherwise the
  // large code alone pays for faulting its memory in again after every reading.
  zendric::KeepFreedMemory();
  for (const Shape& shape : Shapes) {
    SCOPED_TRACE(shape.name);
    const std::string small = shape.make(64 * 1024);
    const std::string large = shape.make(1024 * 1024);
    // Other work on the machine only ever makes one measurement slower, so a shape
    // gets three tries and keeps its best ratio.
    double ratio = 1e9, tSmall = 0, tLarge = 0;
    for (int attempt = 0; attempt < 3 && ratio > 30.0; ++attempt) {
      tSmall = SecondsToRead(small, 7);
      tLarge = SecondsToRead(large, 3);
      // Below 0.1 ms the clock's own noise dominates; such a case is fast anyway.
      ratio = std::min(ratio, tLarge / std::max(tSmall, 1e-4));
    }
    std::printf("%-28s 64 KB %8.2f ms   1 MB %9.2f ms   ratio %5.1f\n", shape.name, tSmall * 1e3,
                tLarge * 1e3, ratio);
    EXPECT_LE(ratio, 30.0) << "64 KB: " << tSmall * 1e3 << " ms, 1 MB: " << tLarge * 1e3 << " ms";
  }
}

}  // namespace
