// The F tag: how much the persona eats (a scale) and what (food letters).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "Scale.h"

namespace zendric {

// One food letter with the verb phrase and the food it stands for.
struct FoodEntry {
  char32_t Letter;
  std::string_view Verb;
  std::string_view Food;
};

// The food letters in the order they are tried: "~cfjmopv".
extern const std::span<const FoodEntry> FoodTable;
extern const std::span<const ScaleEntry> DietScale;

// Reads a run of food letters at Cursor, extending `food` with one phrase per letter.
void ReadFoodList(ParseState& s, std::string& food);

}  // namespace zendric
