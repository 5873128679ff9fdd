// The L (length) and T (weight) items: a measurement with a unit, or a relative size.
#pragma once

#include <array>
#include <string_view>

#include "Scale.h"

namespace zendric {

struct UnitRow {
  char Letter;
  std::string_view Word;
};

// A body-part measurement reads Before + number + " " + unit word + After.
struct BodyPartRow {
  char Letter;
  std::string_view Before;
  std::string_view After;
};

// Unit letters and the words written for them, whatever the number.
inline constexpr std::array<UnitRow, 6> LengthUnits{{
    {'i', "inch"},
    {'f', "feet"},
    {'y', "yard"},
    {'c', "centimetres"},
    {'m', "metres"},
    {'k', "kilometres"},
}};

inline constexpr std::array<UnitRow, 7> WeightUnits{{
    {'c', "hundredweight"},
    {'g', "grammes"},
    {'k', "kilogrammes"},
    {'l', "pounds"},
    {'o', "ounces"},
    {'s', "stones"},
    {'t', "tons"},
}};

// A missing or unknown unit letter reads as these, so the line is still written.
inline constexpr char DefaultLengthUnit = 'm';
inline constexpr char DefaultWeightUnit = 'k';

static_assert(FindRow(LengthUnits, &UnitRow::Letter, char32_t{DefaultLengthUnit}) != nullptr &&
              FindRow(WeightUnits, &UnitRow::Letter, char32_t{DefaultWeightUnit}) != nullptr);

inline constexpr std::array<BodyPartRow, 5> LengthBodyParts{{
    {'a', "", " long arms"},
    {'l', "", " long legs"},
    {'n', "a ", " long neck and head"},
    {'t', "a ", " long tail"},
    {'w', "a ", " wingspan"},
}};

// Size class, " - " and a remark; written behind "Concerning my length, I'm ".
inline constexpr std::array<ScaleEntry, 12> LengthScale{{
    {"+++!", "celestial - 'Planets fall into my mouth when I yawn!'"},
    {"+++", "mountain-range-sized - 'Hikers keep mistaking me for the Alps!'"},
    {"++", "enormous - 'On a foggy day I can't see my own tail!'"},
    {"+", "giant-monster-sized - 'Cities tremble when I stroll by!'"},
    {"", "dragon-sized - 'I'm just as long as a dragon ought to be.'"},
    {"-", "human-sized - 'Please, don't step on the tail...'"},
    {"--", "dog-sized - 'Throw me a stick!'"},
    {"---", "pocket-dragon-sized - 'I'll fit in your pocket, with room to spare!'"},
    {"---!", "microscopic - 'Mind you don't breathe me in!'"},
    {"~", "variable - 'I change size on a whim!'"},
    {"^", "exactly one dragon long - 'Just long enough to reach the ground!'"},
    {"?", "unknown - 'I don't know how long I am!'"},
}};

// Written behind "Concerning my weight, I'm "; "?" comes before "~" here.
inline constexpr std::array<ScaleEntry, 11> WeightScale{{
    {"+++!", "a black hole - 'Everything gravitates towards me!'"},
    {"+++", "massive - 'The ground shakes when I land!'"},
    {"++", "obese - 'Flying? I gave that up years ago!'"},
    {"+", "overweight - 'I could skip a knight or two.'"},
    {"", "normal - 'I'm as normal a weight as one gets.'"},
    {"-", "underweight - 'Feed me, I'm wasting away!'"},
    {"--", "buoyant - 'I float in water, and very nearly in air!'"},
    {"---", "a feather weight - 'The slightest breeze blows me away!'"},
    {"---!", "weightless - 'I have to be tied down!'"},
    {"?", "unknown - 'I have no idea how heavy I am!'"},
    {"~", "variable - 'My weight varies'"},
}};

}  // namespace zendric
