// The P tag: a list of appendages, each with an optional count and webbing.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ParseState.h"

namespace zendric {

// One kind of appendage: its code as written, and how it is described.
struct AppendageRow {
  std::string_view Code;           // one letter, or a letter and an apostrophe
  std::string_view DefaultPhrase;  // written when no count is given
  std::int32_t DefaultCount;       // where "+" and "-" start from
  std::string_view Noun;
};

// The first row whose code stands in the code is read, so "w'" comes before "w".
inline constexpr std::array<AppendageRow, 9> Appendages{{
    {"a", "a pair of ", 2, "arms"},
    {"f", "a pair of ", 2, "fore limbs"},
    {"h", "a ", 1, "head"},
    {"l", "a pair of ", 2, "legs"},
    {"p", "a pair of ", 2, "paddles, flukes, or fins"},
    {"t", "a ", 1, "tail"},
    {"v", "a pair of ", 2, "horns or spines on the head"},
    {"w'", "a pair of ", 2, "wings that also act as arms, legs, or fore-limbs"},
    {"w", "a pair of ", 2, "wings"},
}};

}  // namespace zendric
