// The page's builder: one persona held here, changed by the page's controls through
// the builder core, and described back in the reading's own words.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "Builder.h"
#include "FieldText.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

Persona& Held() {
  static Persona persona;
  return persona;
}

// Where a rating on the tag's scale is a choice of the item: the row chosen, or -1.
std::int32_t* RatingOf(PersonaItem& item) {
  if (auto* rated = std::get_if<RatedChoices>(&item.Choices)) return &rated->Rating;
  if (auto* diet = std::get_if<DietChoices>(&item.Choices)) return &diet->Rating;
  if (auto* measure = std::get_if<MeasureChoices>(&item.Choices))
    if (measure->Rating) return &*measure->Rating;
  return nullptr;
}

std::string_view TitleOf(const PersonaItem& item) {
  if (item.IsSpecies()) return "Species";
  if (item.IsKept()) return "Kept as written";
  return item.Tag ? item.Tag->Title : std::string_view("Item");
}

// {code, lines, items: [{title, text, ratings: [{row, text}], rating}]}: ratings only
// where the item's choice is a rating, each offered row by its description.
val Describe() {
  Persona& persona = Held();
  val items = val::array();
  for (PersonaItem& item : persona.Items) {
    val entry = val::object();
    entry.set("title", std::string(TitleOf(item)));
    entry.set("text", BuildItem(item));
    val ratings = val::array();
    if (const std::int32_t* rating = RatingOf(item); rating && item.Tag) {
      for (std::int32_t row = 0; row < static_cast<std::int32_t>(item.Tag->Scale.size()); ++row) {
        if (!RatingOffered(*item.Tag, row)) continue;
        val choice = val::object();
        choice.set("row", row);
        choice.set("text", std::string(item.Tag->Scale[static_cast<std::size_t>(row)].Text));
        ratings.call<void>("push", choice);
      }
      entry.set("rating", *rating);
    }
    entry.set("ratings", ratings);
    items.call<void>("push", entry);
  }
  const std::string code = BuildCode(persona);
  const ParseResult reading = ParseCode(code);
  val lines = val::array();
  for (std::size_t i = 0; i < reading.LineCount(); ++i) lines.call<void>("push", std::string(reading.Line(i)));
  val result = val::object();
  result.set("code", code);
  result.set("items", items);
  result.set("lines", lines);
  result.set("messages", reading.MessageCount());
  return result;
}

bool Valid(std::int32_t index) { return index >= 0 && static_cast<std::size_t>(index) < Held().Items.size(); }

val RandomCode(std::uint32_t seed) {
  std::mt19937 random(seed);
  Held() = RandomPersona(random);
  return Describe();
}

// The code field's text, its lines joined as for a reading.
val OpenField(const std::u16string& field) {
  Held() = OpenCode(CodeOfField(field));
  return Describe();
}

// Index into the tag catalogue; -1 adds the species.
val AddItem(std::int32_t tag) {
  const TagRow* row = tag >= 0 && static_cast<std::size_t>(tag) < TagCatalogue.size() ? &TagCatalogue[static_cast<std::size_t>(tag)] : nullptr;
  InsertItem(Held(), Held().Items.size(), NewItem(row));
  return Describe();
}

val RemoveAt(std::int32_t index) {
  if (Valid(index)) RemoveItem(Held(), static_cast<std::size_t>(index));
  return Describe();
}

val MoveUp(std::int32_t index) {
  if (Valid(index) && index > 0) MoveItem(Held(), static_cast<std::size_t>(index), static_cast<std::size_t>(index - 1));
  return Describe();
}

val SetRating(std::int32_t index, std::int32_t row) {
  if (Valid(index)) {
    PersonaItem item = Held().Items[static_cast<std::size_t>(index)];
    std::int32_t* rating = RatingOf(item);
    if (rating && item.Tag && RatingOffered(*item.Tag, row)) {
      *rating = row;
      ReplaceChoices(Held(), static_cast<std::size_t>(index), std::move(item.Choices));
    }
  }
  return Describe();
}

// [{index, title}] of every tag, in the catalogue's order.
val Tags() {
  val tags = val::array();
  for (std::size_t i = 0; i < TagCatalogue.size(); ++i) {
    val tag = val::object();
    tag.set("index", static_cast<std::int32_t>(i));
    tag.set("title", std::string(TagCatalogue[i].Title));
    tag.set("letters", std::string(TagCatalogue[i].Letters));
    tags.call<void>("push", tag);
  }
  return tags;
}

}  // namespace

EMSCRIPTEN_BINDINGS(zendric_builder) {
  emscripten::function("builderRandom", &RandomCode);
  emscripten::function("builderOpen", &OpenField);
  emscripten::function("builderAdd", &AddItem);
  emscripten::function("builderRemove", &RemoveAt);
  emscripten::function("builderMoveUp", &MoveUp);
  emscripten::function("builderSetRating", &SetRating);
  emscripten::function("builderState", &Describe);
  emscripten::function("builderTags", &Tags);
}

}  // namespace zendric
