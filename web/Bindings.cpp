// What the page calls: one reading of the code field's whole text, handed back as plain
// JavaScript values. The interpreter and the field rules do all the work.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "FieldText.h"
#include "Finder.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

// Texts joined by line feeds: the join takes every line feed out of the code, and the
// reading adds none, so none can stand inside one. One string crosses into JavaScript
// faster than thousands.
template <class Text>
std::string Joined(const std::vector<Text>& texts) {
  std::size_t size = texts.size();
  for (const Text& text : texts) size += text.size();
  std::string joined;
  joined.reserve(size);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += texts[i];
  }
  return joined;
}

// {lineCount, lines, messages, numbers}: lines and messages joined by "\n"; numbers
// holds four per message: its position, the field offset after it (the caret), and
// the field range [from, to) of the character before that, which gets the wave.
val ReadField(const std::u16string& field) {
  const ParseResult reading = ParseCode(CodeOfField(field));
  std::vector<std::int32_t> positions(reading.MessageCount());
  for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = reading.MessagePosition(i);
  const std::vector<std::int32_t> carets = FieldOffsetsForCodePositions(field, positions);
  const std::size_t count = std::min(positions.size(), carets.size());
  std::vector<std::int32_t> numbers;
  numbers.reserve(4 * count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto [from, to] = CharacterBefore(field, carets[i]);
    numbers.insert(numbers.end(), {positions[i], carets[i], from, to});
  }

  val result = val::object();
  std::vector<std::string_view> lines(reading.LineCount()), messages(reading.MessageCount());
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = reading.Line(i);
  for (std::size_t i = 0; i < messages.size(); ++i) messages[i] = reading.Message(i);
  result.set("lineCount", reading.LineCount());
  result.set("lines", Joined(lines));
  result.set("messages", Joined(messages));
  // A copy: the view into the module's memory dies with `numbers`.
  result.set("numbers", val(emscripten::typed_memory_view(numbers.size(), numbers.data())).call<val>("slice"));
  return result;
}

// The codes found in a field that does not hold a code itself (a pasted signature, a
// reply, blanks in front): {codes, firstLines, numbers}, the codes and the first line
// of each one's reading joined by "\n", and per code its line, its column and how many
// messages its reading gives. No codes while the field's own code starts right.
val FindInField(const std::u16string& field) {
  std::vector<std::string> codes, firstLines;
  std::vector<std::int32_t> numbers;
  if (!CodeOfField(field).starts_with("ZN2.")) {
    for (FoundCode& found : FindCodes(FieldAsUtf8(field))) {
      const ParseResult reading = ParseCode(found.Code);
      firstLines.push_back(reading.LineCount() == 0 ? std::string() : std::string(reading.Line(0)));
      numbers.insert(numbers.end(), {found.Line, found.Column, static_cast<std::int32_t>(reading.MessageCount())});
      codes.push_back(std::move(found.Code));
    }
  }
  val result = val::object();
  result.set("codes", Joined(codes));
  result.set("firstLines", Joined(firstLines));
  result.set("numbers", val(emscripten::typed_memory_view(numbers.size(), numbers.data())).call<val>("slice"));
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(zendric_reader) {
  emscripten::function("readField", &ReadField);
  emscripten::function("findInField", &FindInField);
}

}  // namespace zendric
