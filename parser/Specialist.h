// Technology, magic and psionics: a rating on the common scale, then an optional
// speciality in square brackets.
#pragma once

#include <span>
#include <string_view>

#include "Scale.h"

namespace zendric {

// One specialist tag: its scale and the message for a field left without "]".
struct SpecialistTag {
  std::string_view Tag;
  std::string_view Heading;
  std::string_view Noun;
  std::span<const ScaleEntry> Scale;
  std::string_view MissingBracket;
};

// Rows in the order Tc, V, Q.
extern const std::span<const SpecialistTag> SpecialistTags;

// The bracketed field at Cursor, if there is one.
void ReadSpecialistField(ParseState& s, std::string_view MissingBracket);

}  // namespace zendric
