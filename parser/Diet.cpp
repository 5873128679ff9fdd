#include "Diet.h"

#include "Catalogue.h"

namespace zendric {

// food list: food letters, each with an optional "~" (any) and one optional "/" after it
void ReadFoodList(ParseState& s, std::string& food) {
  while (!AtEnd(s)) {
    const FoodEntry* entry = FindRow(FoodTable, &FoodEntry::Letter, CurrentChar(s));
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
void ReadDietItem(ParseState& s, const TagRow& tag) {
  std::string food;
  ReadFoodList(s, food);
  ReadScale(s, tag.Scale, tag.Terminators, tag.Heading, tag.Noun);
  ReadFoodList(s, food);
  if (!food.empty()) AppendText(s, "\rI " + food);
}

}  // namespace zendric
