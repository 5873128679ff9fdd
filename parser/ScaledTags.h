// The eleven tags that rate one attribute on a scale and carry little else.
#pragma once

#include <span>
#include <string_view>

#include "Scale.h"

namespace zendric {

// One row of the catalogue: everything ReadScale needs for one tag.
struct ScaledTag {
  std::string_view Tag;
  std::string_view Heading;
  std::string_view Noun;
  std::span<const ScaleEntry> Scale;
  TerminatorSet Terminators;
};

// Rows in the order Fr, Ac, Df, W, N, H, $, R, S, U, I.
extern const std::span<const ScaledTag> ScaledTagCatalogue;

void ReadScaledTag(ParseState& s, const ScaledTag& tag);

}  // namespace zendric
