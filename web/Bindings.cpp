// What the page calls: one reading of the code field's whole text, handed back as plain
// JavaScript values. The interpreter and the field model do all the work.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "FieldModel.h"
#include "Fixes.h"
#include "Renderings.h"
#include "TextEncoding.h"
#include "TextFiles.h"

namespace zendric {
namespace {

using emscripten::val;

// Texts joined by line feeds: the join takes every line feed out of the code, and the
// reading adds none, so none can stand inside one. One string crosses into JavaScript
// faster than thousands (a copy of the whole reading).
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

// The field last read: the map asks about it.
FieldModel& Shown() {
  static FieldModel shown;
  return shown;
}

val FieldRange(zendric::FieldRange range) {
  val result = val::object();
  result.set("from", range.Start);
  result.set("to", range.End);
  return result;
}

// The codes found in the field now, `before` the field read last: as the window does,
// the finder reads again only the lines the edit touched, so that a field of 20 000
// codes costs a keystroke what its edited line costs.
const std::vector<OfferedCode>& FoundIn(const FieldModel& before, const FieldModel& now) {
  static std::vector<OfferedCode> codes;
  static bool known = false;  // `codes` are those of `before`
  if (!now.MayOffer()) {
    codes.clear();
    known = false;
    return codes;
  }
  codes = known ? RefindOffered(before.Text(), now.Text(), std::move(codes)) : FindOffered(now.Text());
  known = true;
  return codes;
}

// How many rows at either end of a list stay: {head, tail}.
val Ends(AlikeEnds ends) {
  val result = val::object();
  result.set("head", ends.Head);
  result.set("tail", ends.Tail);
  return result;
}

// The codes the page lists now: the offer last handed out.
std::vector<OfferedCode>& Listed() {
  static std::vector<OfferedCode> listed;
  return listed;
}

// The offer of codes found in the field: {heading, count, alike}, alike as the lines'
// ({head, tail} listed as before); no codes when the offer does not show. The page
// asks for the codes it shows (foundAt).
val Offer(const FieldModel& field, const std::vector<OfferedCode>& found) {
  static const std::vector<OfferedCode> none;
  const std::vector<OfferedCode>& offer = field.Offers(found.size()) ? found : none;
  std::vector<OfferedCode>& listed = Listed();
  val result = val::object();
  result.set("heading", offer.empty() ? std::string() : OfferHeading(offer));
  result.set("count", offer.size());
  result.set("alike", Ends(AlikeOffers(listed, offer)));
  if (!(listed.empty() && offer.empty())) listed = offer;
  return result;
}

// Code `index` of the offer listed: {code, entry, line, column}; none past its end.
val FoundAt(std::int32_t index) {
  const std::vector<OfferedCode>& listed = Listed();
  if (index < 0 || static_cast<std::size_t>(index) >= listed.size()) return val::null();
  const OfferedCode& code = listed[static_cast<std::size_t>(index)];
  val result = val::object();
  result.set("code", code.Found.Code);
  result.set("entry", OfferEntry(code));
  result.set("line", code.Found.Line);
  result.set("column", code.Found.Column);
  return result;
}

// The code chosen from the list before, in the offer listed now; -1 for none.
std::int32_t FoundAgain(const std::string& code, std::int32_t line, std::int32_t column) {
  return OfferedAgain(Listed(), code, line, column);
}

// {lineCount, messageCount, linesAlike, messagesAlike, found}: the counts, and how many
// lines and messages at the start and the end are as in the reading before ({head,
// tail}); found is the offer of codes found in the field. The field crosses once per
// input; the lines and messages stay here, and the page asks for those it shows
// (lineAt, messageAt, messageCaret, wavesIn): a megabyte's reading is hundreds of
// thousands of lines.
val ReadField(const std::u16string& text) {
  FieldModel& field = Shown();
  const FieldModel before = std::exchange(field, FieldModel(text));
  const std::vector<OfferedCode>& found = FoundIn(before, field);
  if (field.TooLarge()) {  // {tooLarge: what to say, found}, and no reading
    val result = val::object();
    result.set("tooLarge", TooLargeToReadMessage(field.Code().size()));
    result.set("found", Offer(field, found));
    return result;
  }
  const ParseResult& reading = field.Reading();
  val result = val::object();
  result.set("lineCount", reading.LineCount());
  result.set("messageCount", reading.MessageCount());
  result.set("linesAlike", Ends(AlikeLines(before.Reading(), reading)));
  result.set("messagesAlike", Ends(AlikeMessages(before.Reading(), reading)));
  result.set("found", Offer(field, found));
  return result;
}

// Line `line` of the last reading; empty past its end.
std::string LineAt(std::int32_t line) {
  const ParseResult& reading = Shown().Reading();
  if (line < 0 || static_cast<std::size_t>(line) >= reading.LineCount()) return {};
  return std::string(reading.Line(static_cast<std::size_t>(line)));
}

// Lines [from, to) of the last reading joined by "\n", for a copy.
std::string LinesText(std::int32_t from, std::int32_t to) {
  const ParseResult& reading = Shown().Reading();
  const std::size_t first = static_cast<std::size_t>(std::max(from, 0));
  const std::size_t last = std::min(static_cast<std::size_t>(std::max(to, 0)), reading.LineCount());
  if (first >= last) return {};
  return Joined(last - first, [&](std::size_t i) { return reading.Line(first + i); });
}

// Message `index` of the last reading: {message, position}; none past its end.
val MessageAt(std::int32_t index) {
  const ParseResult& reading = Shown().Reading();
  if (index < 0 || static_cast<std::size_t>(index) >= reading.MessageCount()) return val::null();
  const std::size_t at = static_cast<std::size_t>(index);
  val result = val::object();
  result.set("message", std::string(reading.Message(at)));
  result.set("position", reading.MessagePosition(at));
  return result;
}

// The field offset message `index` of the last reading takes the caret to; 0 for none.
std::int32_t MessageCaret(std::int32_t index) {
  const FieldModel& field = Shown();
  if (index < 0 || static_cast<std::size_t>(index) >= field.Reading().MessageCount()) return 0;
  return field.PlaceOf(static_cast<std::size_t>(index)).Caret;
}

// The first `most` waves of the last reading (all for a negative `most`) within the
// field range [from, to), as pairs of field offsets [from, to) in an Int32Array.
val WavesIn(std::int32_t from, std::int32_t to, std::int32_t most) {
  std::vector<std::int32_t> numbers;
  const std::size_t limit = most < 0 ? SIZE_MAX : static_cast<std::size_t>(most);
  for (const zendric::FieldRange& wave : Shown().WavesIn({from, to}, limit)) numbers.insert(numbers.end(), {wave.Start, wave.End});
  // A copy: the view into the module's memory dies with `numbers`.
  return val(emscripten::typed_memory_view(numbers.size(), numbers.data())).call<val>("slice");
}

// The caret's item in the last reading (the caret a field offset): {first, last} are
// the lines it wrote, [from, to) where it stands in the field; all 0 for none.
val ItemAtCaret(std::int32_t caret) {
  const CaretItem item = Shown().ItemAt(caret);
  val result = FieldRange(item.Where);
  result.set("first", item.FirstLine);
  result.set("last", item.LastLine);
  return result;
}

// Where the item that wrote line `line` of the last reading stands in the field, and
// its text in the code.
val LineItem(std::int32_t line) {
  const FieldModel& field = Shown();
  if (line < 0 || static_cast<std::size_t>(line) >= field.Reading().LineCount()) return FieldRange({});
  const std::size_t at = static_cast<std::size_t>(line);
  val result = FieldRange(field.LineItem(at));
  result.set("text", std::string(field.CodeOf(field.Reading().LineSpan(at))));
  return result;
}

// The fixes of message `index` of the last reading, best first, found now: each
// {from, to, text, label} as zendric-read gives them, and [fieldFrom, fieldTo) the
// field range the edit replaces.
val FixesOf(std::int32_t index) {
  const FieldModel& field = Shown();
  val result = val::array();
  if (index < 0 || static_cast<std::size_t>(index) >= field.Reading().MessageCount()) return result;
  for (const Fix& fix : FixesFor(field.Code(), field.Reading(), static_cast<std::size_t>(index))) {
    const zendric::FieldRange range = field.EditRange(fix.From, fix.To);
    val one = val::object();
    one.set("from", fix.From);
    one.set("to", fix.To);
    one.set("text", fix.Text);
    one.set("label", fix.Label);
    one.set("fieldFrom", range.Start);
    one.set("fieldTo", range.End);
    result.call<void>("push", one);
  }
  return result;
}

// What the item of message `index` of the last reading expects; empty for none.
std::string ExplainShown(std::int32_t index) {
  const FieldModel& field = Shown();
  if (index < 0 || static_cast<std::size_t>(index) >= field.Reading().MessageCount()) return {};
  return ExplainMessage(field.Code(), field.Reading(), static_cast<std::size_t>(index));
}

// The message at the caret (a field offset) in the last reading; -1 for none.
std::int32_t MessageAtCaret(std::int32_t caret) { return Shown().MessageAt(caret); }

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
  emscripten::function("lineAt", &LineAt);
  emscripten::function("linesText", &LinesText);
  emscripten::function("messageAt", &MessageAt);
  emscripten::function("messageCaret", &MessageCaret);
  emscripten::function("wavesIn", &WavesIn);
  emscripten::function("foundAt", &FoundAt);
  emscripten::function("foundAgain", &FoundAgain);
  emscripten::function("itemAtCaret", &ItemAtCaret);
  emscripten::function("lineItem", &LineItem);
  emscripten::function("fixesOf", &FixesOf);
  emscripten::function("explainMessage", &ExplainShown);
  emscripten::function("messageAtCaret", &MessageAtCaret);
  emscripten::function("decodeText", &DecodeFileText);
  emscripten::function("tooLargeToReadMessage", &TooLargeToReadMessage);
  emscripten::class_<TextPieces>("TextPieces")
      .constructor<>()
      .function("feed", &TextPieces::Feed)
      .function("finish", &TextPieces::Finish);
}

}  // namespace zendric
