// What the page calls: one reading of the code field's whole text, handed back as plain
// JavaScript values. The interpreter and the field rules do all the work.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "FieldText.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

// {lines: [text], errors: [{message, position, caret, markFrom, markTo}]}: caret is
// the field offset after the message's position, [markFrom, markTo) the character
// before it in the field.
val ReadField(const std::u16string& field) {
  const ParseResult reading = ParseCode(CodeOfField(field));

  val lines = val::array();
  for (const std::string& line : reading.ResultLines) lines.call<void>("push", line);

  const std::vector<std::int32_t> carets = FieldOffsetsForCodePositions(field, reading.ErrorPositions);
  val errors = val::array();
  for (std::size_t i = 0; i < reading.ErrorMessages.size() && i < carets.size(); ++i) {
    const auto [from, to] = CharacterBefore(field, carets[i]);
    val error = val::object();
    error.set("message", reading.ErrorMessages[i]);
    error.set("position", reading.ErrorPositions[i]);
    error.set("caret", carets[i]);
    error.set("markFrom", from);
    error.set("markTo", to);
    errors.call<void>("push", error);
  }

  val result = val::object();
  result.set("lines", lines);
  result.set("errors", errors);
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(zendric_reader) { emscripten::function("readField", &ReadField); }

}  // namespace zendric
