// The P tag: a list of appendages, each with an optional count and webbing.
#pragma once

#include <cstdint>
#include <span>
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

// Nine rows; "w'" comes after "w".
extern const std::span<const AppendageRow> Appendages;

}  // namespace zendric
