// The Sk tag: what covers the body as a whole, then body parts that differ.
#pragma once

#include <span>
#include <string_view>

#include "ParseState.h"

namespace zendric {

struct SkinType {
  char32_t Letter;
  std::string_view Word;
};

// A body part and the sentence opener written for it (it starts a new display line).
struct SkinBodyPart {
  char32_t Letter;
  std::string_view Opener;
};

extern const std::span<const SkinType> SkinTypes;
extern const std::span<const SkinBodyPart> SkinBodyParts;

}  // namespace zendric
