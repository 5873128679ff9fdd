// The Sk tag: what covers the body as a whole, then body parts that differ.
#pragma once

#include <array>
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

inline constexpr std::array<SkinType, 13> SkinTypes{{
    {U'b', "bark"},
    {U'c', "cellulose"},
    {U'e', "exoskeleton"},
    {U'f', "feathers"},
    {U'h', "hide"},
    {U'k', "skin"},
    {U'l', "leather"},
    {U'm', "metal"},
    {U'r', "rock/stone"},
    {U's', "scales"},
    {U'u', "fur"},
    {U'x', "crystals"},
    {U'?', "something unknown"},
}};

inline constexpr std::array<SkinBodyPart, 7> SkinBodyParts{{
    {U'a', "\rMy arms have"},
    {U'b', "\rMy belly has"},
    {U'h', "\rMy head has"},
    {U'l', "\rMy legs have"},
    {U'n', "\rMy neck has"},
    {U't', "\rMy tail has"},
    {U'w', "\rMy wings have"},
}};

}  // namespace zendric
