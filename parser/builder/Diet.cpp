// Diet: a rating and the foods eaten, each also as "any".
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
std::string BuildDiet(const TagRow& tag, const DietChoices& c) {
  const std::string_view key = Key(tag, c.Rating);
  std::string out;
  const bool anything = std::any_of(c.Foods.begin(), c.Foods.end(), [](const DietChoices::Food& f) { return f.Row == AnythingRow; });
  if (anything && key != "~") out += '~';
  out += key;
  for (const DietChoices::Food& f : c.Foods) {
    if (f.Row == AnythingRow || !InTable(FoodTable, f.Row)) continue;
    out += static_cast<char>(FoodTable[static_cast<std::size_t>(f.Row)].Letter);
    if (f.Any) out += '~';
  }
  return out;
}

// Read as the reader reads it: foods, the rating, foods, each food with its "~" and
// a "/" behind it if it likes. Whatever the builder would write another way keeps its
// own spelling only when it reads the same.
std::optional<DietChoices> OpenDiet(const TagRow& tag, TextCursor& t) {
  DietChoices c;
  const auto foods = [&] {
    while (!t.AtEnd()) {
      const std::int32_t row = RowIndex(FoodTable, FindRow(FoodTable, &FoodEntry::Letter, static_cast<char32_t>(static_cast<unsigned char>(t.Peek()))));
      if (row < 0) return;
      t.Accept(t.Peek());
      c.Foods.push_back({row, t.Accept('~')});
      t.Accept('/');
    }
  };
  foods();
  const auto rating = RatingOf(tag, t, tag.Terminators);
  if (!rating) return std::nullopt;
  c.Rating = *rating;
  foods();
  return c;
}

void DietFields(Form& f, const TagRow& tag, DietChoices& c) {
  if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), c.Rating)) c.Rating = *row;
  f.Group("What I eat");
  for (std::size_t row = 0; row < FoodTable.size(); ++row) {
    const FoodEntry& food = FoodTable[row];
    const auto r = static_cast<std::int32_t>(row);
    const auto has = [r](const DietChoices::Food& e) { return e.Row == r; };
    const auto chosen = std::find_if(c.Foods.begin(), c.Foods.end(), has);
    const bool any = chosen != c.Foods.end() && chosen->Any;
    if (const auto on = f.Check("I " + std::string(food.Verb) + std::string(food.Food), chosen != c.Foods.end())) {
      // Ticked again as it was, the foods keep their order, and the item its spelling.
      if (*on == (chosen != c.Foods.end())) return;
      std::erase_if(c.Foods, has);
      if (*on) c.Foods.push_back({r, false});
      return;
    }
    // "~" behind a food letter: any of it; the "~" food itself takes none.
    if (chosen != c.Foods.end() && food.Letter != U'~') {
      if (const auto on = f.Check("I " + std::string(food.Verb) + "any " + std::string(food.Food), any))
        for (DietChoices::Food& e : c.Foods)
          if (has(e)) e.Any = *on;
    }
  }
}

}  // namespace

std::string Build(const TagRow* tag, const DietChoices& c) { return BuildDiet(*tag, c); }

std::optional<DietChoices> Open(const TagRow* tag, TextCursor& t, const DietChoices&) { return OpenDiet(*tag, t); }

void Start(const TagRow*, DietChoices&) {}

void Random(Dice& d, const TagRow* tagRow, DietChoices& c) {
  const TagRow& tag = *tagRow;
  c.Rating = d.Rating(tag);
  for (std::int32_t n = d.Below(4); n > 0; --n) c.Foods.push_back({d.Row(FoodTable), d.Chance(0.2)});
}

void Fields(Form& f, const TagRow* tag, DietChoices& c) { DietFields(f, *tag, c); }

}  // namespace zendric::builder
