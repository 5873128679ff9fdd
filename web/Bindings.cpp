// What the page calls: one reading of the code field's whole text, handed back as plain
// JavaScript values. The interpreter and the field rules do all the work.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <tuple>

#include "FieldText.h"
#include "Finder.h"
#include "TextEncoding.h"
#include "TextFiles.h"
#include "Renderings.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

// Texts joined by line feeds: the join takes every line feed out of the code, and the
// reading adds none, so none can stand inside one. One string crosses into JavaScript
// faster than thousands.
template <typename TextAt>
std::string Joined(std::size_t count, TextAt text) {
  std::size_t size = count;
  for (std::size_t i = 0; i < count; ++i) size += text(i).size();
  std::string joined;
  joined.reserve(size);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) joined += '\n';
    joined += text(i);
  }
  return joined;
}

std::string Joined(const std::vector<std::string>& texts) {
  return Joined(texts.size(), [&](std::size_t i) -> std::string_view { return texts[i]; });
}

// The field and its reading last shown: the map asks about them.
struct Shown {
  std::u16string Field;
  ParseResult Reading;
};

Shown& Last() {
  static Shown shown;
  return shown;
}

// {lineCount, lines, messages, numbers}: lines and messages joined by "\n"; numbers
// holds four per message: its position, the field offset after it (the caret), and
// the field range [from, to) of the character before that, which gets the wave.
// A code too large to read gives {tooLarge: what to say} instead, and no reading.
val ReadField(const std::u16string& field) {
  Shown& shown = Last();
  shown.Field = field;
  const std::string code = CodeOfField(field);
  if (TooLargeToRead(code.size())) {
    shown.Reading = ParseCode({});
    val result = val::object();
    result.set("tooLarge", TooLargeToReadMessage(code.size()));
    return result;
  }
  shown.Reading = ParseCode(code);
  const ParseResult& reading = shown.Reading;
  std::vector<std::int32_t> positions(reading.MessageCount());
  for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = reading.MessagePosition(i);
  const std::vector<std::int32_t> carets = FieldOffsetsForCodePositions(field, positions);
  std::vector<std::int32_t> numbers;
  numbers.reserve(4 * positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const auto [from, to] = CharacterBefore(field, carets[i]);
    numbers.insert(numbers.end(), {positions[i], carets[i], from, to});
  }

  val result = val::object();
  result.set("lineCount", reading.LineCount());
  result.set("lines", Joined(reading.LineCount(), [&](std::size_t i) { return reading.Line(i); }));
  result.set("messages", Joined(reading.MessageCount(), [&](std::size_t i) { return reading.Message(i); }));
  // A copy: the view into the module's memory dies with `numbers`.
  result.set("numbers", val(emscripten::typed_memory_view(numbers.size(), numbers.data())).call<val>("slice"));
  return result;
}

val FieldRange(std::pair<std::int32_t, std::int32_t> range) {
  val result = val::object();
  result.set("from", range.first);
  result.set("to", range.second);
  return result;
}

// The item of the last reading at the caret (field offset): the character before the
// caret, or the one after it where that one belongs to no item. {first, last} are the
// lines it wrote, [from, to) where it stands in the field; all 0 for none.
val ItemAtCaret(std::int32_t caret) {
  const Shown& shown = Last();
  const std::int32_t before = CodePositionsBefore(shown.Field, caret);
  auto [first, last] = shown.Reading.LinesAt(before);
  if (first == last) std::tie(first, last) = shown.Reading.LinesAt(before + 1);
  val result = FieldRange({0, 0});
  if (first < last) {
    const Span item = shown.Reading.LineSpan(first);
    result = FieldRange(FieldRangeOfPositions(shown.Field, item.From, item.To));
  }
  result.set("first", first);
  result.set("last", last);
  return result;
}

// Where the item that wrote line `line` of the last reading stands in the field.
val LineItem(std::int32_t line) {
  const Shown& shown = Last();
  if (line < 0 || static_cast<std::size_t>(line) >= shown.Reading.LineCount()) return FieldRange({0, 0});
  const Span item = shown.Reading.LineSpan(static_cast<std::size_t>(line));
  if (item.From == 0) return FieldRange({0, 0});
  return FieldRange(FieldRangeOfPositions(shown.Field, item.From, item.To));
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
      firstLines.emplace_back(reading.LineCount() == 0 ? std::string_view() : reading.Line(0));
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

// The bytes of a file (a Uint8Array) as its text, decoded as the window decodes files.
std::string DecodeFileText(const std::string& bytes) { return DecodeText(bytes); }

// The same for a file read in pieces: each piece's text as far as it is complete.
class TextPieces {
 public:
  std::string Feed(const std::string& bytes) {
    std::string text;
    decoder_.Feed(bytes, text);
    return text;
  }
  std::string Finish() {
    std::string text;
    decoder_.Finish(text);
    return text;
  }

 private:
  TextDecoder decoder_;
};
// The field's reading written out in a format by its key ("text", "markdown", "bbcode",
// "html"), as the window saves and copies it; HTML as a whole page when `page`, else
// as a fragment to paste. Empty for a key it does not know.
std::string RenderField(const std::u16string& field, const std::string& key, bool page) {
  std::optional<ReadingFormat> format = ReadingFormatByKey(key);
  if (!format) return {};
  if (*format == ReadingFormat::HtmlDocument && !page) format = ReadingFormat::Html;
  const std::string code = CodeOfField(field);
  return RenderReading(*format, code, ParseCode(code));
}

}  // namespace

EMSCRIPTEN_BINDINGS(zendric_reader) {
  emscripten::function("renderField", &RenderField);
  emscripten::function("readField", &ReadField);
  emscripten::function("findInField", &FindInField);
  emscripten::function("itemAtCaret", &ItemAtCaret);
  emscripten::function("lineItem", &LineItem);
  emscripten::function("decodeText", &DecodeFileText);
  emscripten::function("tooLargeToReadMessage", &TooLargeToReadMessage);
  emscripten::class_<TextPieces>("TextPieces")
      .constructor<>()
      .function("feed", &TextPieces::Feed)
      .function("finish", &TextPieces::Finish);
}

}  // namespace zendric
