// The page's builder: one persona held here, changed by the page's controls through
// the builder core, and described back in the reading's own words.
#include <algorithm>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "Builder.h"
#include "BuilderForm.h"
#include "FieldText.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

Persona& Held() {
  static Persona persona;
  return persona;
}

// A select's options go across as four strings of lines (values, texts, headings,
// depths): a list of species is one string each, not a hundred objects.
val Fields(const PersonaItem& item) {
  val fields = val::array();
  for (const FormField& f : DescribeItem(item)) {
    val field = val::object();
    field.set("kind", std::string(KindName(f.Shape)));
    field.set("key", f.Key);
    field.set("group", f.Group);
    field.set("label", f.Label);
    field.set("value", f.Value);
    field.set("hints", f.Hints);
    if (f.Shape == FormField::Kind::Select) {
      std::string values, texts, headings, depths;
      for (const FormOption& o : f.Options) {
        values.append(o.Value).push_back('\n');
        texts.append(o.Text).push_back('\n');
        headings.append(o.Heading).push_back('\n');
        depths.append(std::to_string(o.Depth)).push_back('\n');
      }
      field.set("values", values);
      field.set("texts", texts);
      field.set("headings", headings);
      field.set("depths", depths);
    }
    fields.call<void>("push", field);
  }
  return fields;
}

// The fields of the item at `index`: [{kind, group, label, value, and for a select
// values, texts, headings}].
val ItemFields(std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < Held().Items.size()
             ? Fields(Held().Items[static_cast<std::size_t>(index)])
             : val::array();
}

// {code, lines, messages: [text], items: [{title, text, kept, up, down}]}; the fields
// of one item come from ItemFields.
val Describe() {
  Persona& persona = Held();
  val items = val::array();
  for (std::size_t i = 0; i < persona.Items.size(); ++i) {
    const PersonaItem& item = persona.Items[i];
    val entry = val::object();
    entry.set("title", std::string(ItemTitle(item)));
    entry.set("text", BuildItem(item));
    entry.set("kept", item.IsKept());
    entry.set("up", CanMoveItem(persona, i, -1));
    entry.set("down", CanMoveItem(persona, i, +1));
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
  // A kept item may bring its messages along.
  val messages = val::array();
  const std::size_t listed = std::min(reading.MessageCount(), MostMessagesListed);
  for (std::size_t i = 0; i < listed; ++i)
    messages.call<void>("push", "Position " + std::to_string(reading.MessagePosition(i)) + ": " + std::string(reading.Message(i)));
  if (listed < reading.MessageCount()) messages.call<void>("push", MoreMessages(reading.MessageCount() - listed));
  result.set("messages", messages);
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

// Index into the tag catalogue (-1: the species), added behind the item at `after`
// by the core's rule. {..., at: the index of the item added, or of the species already
// there}.
val AddItem(std::int32_t tag, std::int32_t after) {
  const bool known = tag >= 0 && static_cast<std::size_t>(tag) < TagCatalogue.size();
  const std::size_t at = AddItemBehind(Held(), known ? &TagCatalogue[static_cast<std::size_t>(tag)] : nullptr, after);
  val state = Describe();
  state.set("at", static_cast<std::int32_t>(at));
  return state;
}

val RemoveAt(std::int32_t index) {
  if (Valid(index)) RemoveItem(Held(), static_cast<std::size_t>(index));
  return Describe();
}

// One place towards the start (-1) or the end (+1), where the core lets it.
// {..., at: where the item is now}.
val Move(std::int32_t index, std::int32_t step) {
  const std::size_t at = Valid(index) ? MoveItemBy(Held(), static_cast<std::size_t>(index), step) : 0;
  val state = Describe();
  state.set("at", Valid(index) ? static_cast<std::int32_t>(at) : index);
  return state;
}

// A value for one field of an item; {..., taken: false} and nothing changed when the
// field does not take it.
val Set(std::int32_t index, const std::string& key, const std::string& value) {
  const bool taken = Valid(index) && SetField(Held(), static_cast<std::size_t>(index), key, value);
  val state = Describe();
  state.set("taken", taken);
  return state;
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
  emscripten::function("builderMove", &Move);
  emscripten::function("builderSet", &Set);
  emscripten::function("builderState", &Describe);
  emscripten::function("builderFields", &ItemFields);
  emscripten::function("builderTags", &Tags);
}

}  // namespace zendric
