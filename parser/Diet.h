// The F tag: how much the persona eats (a scale) and what (food letters).
#pragma once

#include <array>
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

// In the order they are tried.
inline constexpr std::array<FoodEntry, 8> FoodTable{{
    {U'~', "eat ", "anything"},
    {U'c', "eat ", "meat"},
    {U'f', "drink ", "fluids"},
    {U'j', "eat ", "junk food"},
    {U'm', "eat ", "minerals"},
    {U'o', "eat ", "everything"},
    {U'p', "am a ", "photosynthesiser"},
    {U'v', "eat ", "vegetables"},
}};

// Each text: what the rating means, " - ", a saying.
inline constexpr ScaleEntry DietScale[] = {
    {"+++!", "insatiable - 'More! More! More!'"},
    {"+++", "voracious - 'I eat anything that doesn't run away fast enough!'"},
    {"++", "a glutton - 'Is there a second course? And a third?'"},
    {"+", "overindulgent - 'Just one more helping, then!'"},
    {"", "eating normal for my species - 'I have three square meals a day!'"},
    {"-", "dieting - 'Only a small knight for me, please!'"},
    {"--", "efficient - 'One good meal lasts me a week!'"},
    {"---", "anorexic - 'Food? I had some last month!'"},
    {"---!", "fasting - 'Nothing has passed my lips for ages!'"},
    {"~", "variable - 'Feast one day, famine the next!'"},
    {"?", "unknown - 'I've never paid attention to it!'"},
};

// A food list right behind the rating ends it; a food letter that is a rating of
// its own ("~") does not.
constexpr TerminatorSet MakeFoodLetters() {
  TerminatorSet letters;
  for (const FoodEntry& food : FoodTable) {
    const bool rating = FindRowIf(DietScale, [&](const ScaleEntry& e) {
      return e.Key.size() == 1 && SameKey(e.Key[0], food.Letter);
    }) != nullptr;
    if (!rating) letters = letters.With(static_cast<char>(food.Letter));
  }
  return letters;
}
inline constexpr TerminatorSet FoodLetters = MakeFoodLetters();

// Reads a run of food letters at Cursor, extending `food` with one phrase per letter.
void ReadFoodList(ParseState& s, std::string& food);

}  // namespace zendric
