// The G item: what gender the persona is, feels and is changing into.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ParseState.h"

namespace zendric {

// Sentences the readers write and the builder offers as choices.
inline constexpr std::string_view MentallyText = ", but mentally I'm ";
inline constexpr std::string_view ChangingIntoText = " changing into ";

struct GenderRow {
  char Letter;
  std::string_view Phrase;
};

inline constexpr std::array<GenderRow, 6> GenderLetters{{
    {'f', "a female"},
    {'h', "a hermaphrodite"},
    {'m', "a male"},
    {'n', "a neuter"},
    {'p', "a pseudo-hermaphrodite"},
    {'?', "an unknown gender"},
}};

// Reads one gender code at Cursor and returns its phrase (possibly empty).
std::string ReadGenderCode(ParseState& s);

}  // namespace zendric
