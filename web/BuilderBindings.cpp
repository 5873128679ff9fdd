// The page's builder: one sitting held here (the persona, its steps for undo and redo,
// what it was opened from), changed by the page's controls and described back in the
// reading's own words. The sitting decides what a step is and where the code goes.
#include <algorithm>
#include <optional>
#include <random>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "Builder.h"
#include "BuilderForm.h"
#include "BuilderSession.h"
#include "FieldText.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

BuilderSession& Held() {
  static BuilderSession session;
  return session;
}

const Persona& Current() { return Held().Current(); }

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

bool Valid(std::int32_t index) { return index >= 0 && static_cast<std::size_t>(index) < Current().Items.size(); }

// The fields of the item at `index`: [{kind, group, label, value, and for a select
// values, texts, headings}].
val ItemFields(std::int32_t index) {
  return Valid(index) ? Fields(Current().Items[static_cast<std::size_t>(index)]) : val::array();
}

// {code, lines, messages: [text], items: [{title, text, kept, up, down, hint}], undo,
// redo, changed}; the fields of one item come from ItemFields.
val Describe() {
  const Persona& persona = Current();
  val items = val::array();
  for (std::size_t i = 0; i < persona.Items.size(); ++i) {
    const PersonaItem& item = persona.Items[i];
    val entry = val::object();
    entry.set("title", std::string(ItemTitle(item)));
    entry.set("text", BuildItem(item));
    entry.set("kept", item.IsKept());
    entry.set("up", CanMoveItem(persona, i, -1));
    entry.set("down", CanMoveItem(persona, i, +1));
    entry.set("hint", ItemHint(persona, i));
    items.call<void>("push", entry);
  }
  const std::string code = BuildCode(persona);
  const ReadingListing& reading = Held().Listing();
  val lines = val::array();
  for (const std::string& line : reading.Lines) lines.call<void>("push", line);
  val result = val::object();
  result.set("code", code);
  result.set("items", items);
  result.set("lines", lines);
  // A kept item may bring its messages along.
  val messages = val::array();
  for (const std::string& message : reading.Messages) messages.call<void>("push", message);
  result.set("messages", messages);
  result.set("undo", Held().CanUndo());
  result.set("redo", Held().CanRedo());
  result.set("changed", Held().Changed());
  return result;
}

// The state with `at`: the item to select afterwards.
val DescribeAt(std::int32_t at) {
  val state = Describe();
  state.set("at", at);
  return state;
}

val RandomCode(std::uint32_t seed) {
  std::mt19937 random(seed);
  Held().Random(random);
  return DescribeAt(0);
}

// The code field's text as it stands (line ends and all) and the index of the code
// chosen in the found-code list, -1 for the one the list offers.
val OpenField(const std::u16string& field, std::int32_t chosen) {
  Held().Open(field, chosen);
  return DescribeAt(0);
}

// Index into the tag catalogue (-1: the species), added behind the item at `after`
// by the core's rule. {..., at: the index of the item added, or of the species already
// there}.
val AddItem(std::int32_t tag, std::int32_t after) {
  const bool known = tag >= 0 && static_cast<std::size_t>(tag) < TagCatalogue.size();
  const std::size_t at = Held().Add(known ? &TagCatalogue[static_cast<std::size_t>(tag)] : nullptr, after);
  return DescribeAt(static_cast<std::int32_t>(at));
}

val RemoveAt(std::int32_t index) {
  if (Valid(index)) Held().Remove(static_cast<std::size_t>(index));
  return DescribeAt(index);
}

// One place towards the start (-1) or the end (+1), where the core lets it.
// {..., at: where the item is now}.
val Move(std::int32_t index, std::int32_t step) {
  if (!Valid(index)) return DescribeAt(index);
  return DescribeAt(static_cast<std::int32_t>(Held().Move(static_cast<std::size_t>(index), step)));
}

// What a field said of a value: {..., taken, why}; nothing changed when it was refused.
val Answered(const FieldAnswer& answer) {
  val state = Describe();
  state.set("taken", answer.Taken);
  state.set("why", answer.Why);
  return state;
}

// A value chosen in a select, a check or a button of an item: one step.
val Choose(std::int32_t index, const std::string& key, const std::string& value) {
  return Answered(Valid(index) ? Held().Choose(static_cast<std::size_t>(index), key, value) : FieldAnswer{});
}

// A value typed into a text or number field: one step with the keys before it, until
// builderEndTyping.
val Type(std::int32_t index, const std::string& key, const std::string& value) {
  return Answered(Valid(index) ? Held().Type(static_cast<std::size_t>(index), key, value) : FieldAnswer{});
}

val EndTyping() {
  Held().EndTyping();
  return Describe();
}

// {..., at: the item the step was about, -1 when there was nothing to take back}.
val UndoStep() {
  const std::optional<std::size_t> at = Held().Undo();
  return DescribeAt(at ? static_cast<std::int32_t>(*at) : -1);
}

val RedoStep() {
  const std::optional<std::size_t> at = Held().Redo();
  return DescribeAt(at ? static_cast<std::int32_t>(*at) : -1);
}

// What "Use this code" does to the field: {start, end, text}, the field offsets to
// replace and what goes there, or null when the field stays as it is.
val Use(const std::u16string& field) {
  const std::optional<BuilderSession::Splice> splice = Held().Use(field);
  if (!splice) return val::null();
  val result = val::object();
  result.set("start", splice->Range.Start);
  result.set("end", splice->Range.End);
  result.set("text", splice->Text);
  return result;
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
  emscripten::function("builderChoose", &Choose);
  emscripten::function("builderType", &Type);
  emscripten::function("builderEndTyping", &EndTyping);
  emscripten::function("builderUndo", &UndoStep);
  emscripten::function("builderRedo", &RedoStep);
  emscripten::function("builderUse", &Use);
  emscripten::function("builderState", &Describe);
  emscripten::function("builderFields", &ItemFields);
  emscripten::function("builderTags", &Tags);
}

}  // namespace zendric
