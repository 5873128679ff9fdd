// The shared rating scale: a modifier right after a tag, looked up in the tag's table.
#pragma once

#include <span>
#include <string_view>

#include "ParseState.h"

namespace zendric {

// One row of a scale: the modifier as written and the sentence it stands for.
struct ScaleEntry {
  std::string_view Key;
  std::string_view Text;
};

// Reads the modifier at Cursor and writes Heading + its text, or records why not.
// All keys of `scale` are tried in table order; `terminators` ends the modifier early
// and, when it holds a double quote, allows a quoted description instead of a key.
void ReadScale(ParseState& s, std::span<const ScaleEntry> scale, TerminatorSet terminators,
               std::string_view Heading, std::string_view Noun);

}  // namespace zendric
