#include "Diet.h"

#include <algorithm>
#include <array>

#include "Readers.h"

namespace zendric {
namespace {

constexpr std::array<FoodEntry, 8> Foods{{
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
constexpr ScaleEntry DietRatings[] = {
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
static_assert(std::size(DietRatings) == 11);

// A food list right behind the rating ends it; "~" does not, being a rating of its own.
constexpr TerminatorSet FoodLetters("cfjmopv");

const FoodEntry* FindFood(char32_t ch) {
  const auto it = std::find_if(Foods.begin(), Foods.end(),
                               [ch](const FoodEntry& f) { return f.Letter == ch; });
  return it == Foods.end() ? nullptr : &*it;
}

}  // namespace

const std::span<const FoodEntry> FoodTable(Foods);
const std::span<const ScaleEntry> DietScale(DietRatings);

// food list: food letters, each with an optional "~" (any) and one optional "/" after it
void ReadFoodList(ParseState& s, std::string& food) {
  while (!AtEnd(s)) {
    const FoodEntry* entry = FindFood(CurrentChar(s));
    if (entry == nullptr) return;
    if (!food.empty()) food += ", ";
    food += entry->Verb;
    const bool any = CharAt(s, s.Cursor + 1) == U'~';
    if (any) food += "any ";
    food += entry->Food;
    s.Cursor += any ? 2 : 1;
    AcceptChar(s, U'/');
  }
}

// F: food list, scale modifier, food list
void ReadDietItem(ParseState& s) {
  std::string food;
  ReadFoodList(s, food);
  ReadScale(s, DietScale, FoodLetters, "I'm ", "diet");
  ReadFoodList(s, food);
  if (!food.empty()) AppendText(s, "\rI " + food);
}

}  // namespace zendric
