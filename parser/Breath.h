// The B item: breath weapons from a fixed table or quoted, shaped into beams and
// clouds, several chained with "/".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ParseState.h"

namespace zendric {

struct BreathWeapon {
  std::string_view Code;
  std::string_view Name;
};

// Matched whole and case-sensitively, first equal row wins.
inline constexpr std::array<BreathWeapon, 19> BreathWeapons{{
    {"ac", "acid"},
    {"co", "cold or frost"},
    {"en", "enchantments"},
    {"eg", "energy"},
    {"fl", "flames or fire"},
    {"he", "heat"},
    {"ic", "ice"},
    {"la", "lava or magma"},
    {"ph", "photons or light"},
    {"pl", "plasma"},
    {"ro", "rot"},
    {"sm", "smoke"},
    {"st", "steam"},
    {"su", "sulphur"},
    {"vg", "volcanic gasses"},
    {"wa", "water"},
    {"wi", "wind"},
    {"zz", "electricity or lightning"},
    {"-", "nothing special"},
}};

// Shapes of a weapon, which the readers write and the builder offers as choices.
inline constexpr std::string_view BeamsText = "beams of ";
inline constexpr std::string_view CloudsText = "clouds of ";

// What ends an unquoted code, besides capitals, "$" and (inside a form block) "}".
inline constexpr TerminatorSet BreathTerminators{" \"#/|"};

// Reads one weapon at Cursor: a code or a quoted name, then at most one quoted
// adjective. Returns its phrase, empty after an invalid code.
std::string ReadBreathCode(ParseState& s);

}  // namespace zendric
