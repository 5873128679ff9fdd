#include "FieldModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "TextFiles.h"

namespace zendric {
namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point at `at` and how many units it takes; a lone surrogate is U+FFFD.
std::pair<char32_t, std::size_t> CodePointAt(std::u16string_view text, std::size_t at) {
  const char16_t unit = text[at];
  if (IsHigh(unit) && at + 1 < text.size() && IsLow(text[at + 1]))
    return {0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00), 2};
  if (IsHigh(unit) || IsLow(unit)) return {0xFFFD, 1};
  return {unit, 1};
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8Of(std::u16string_view field, bool keepLineEnds) {
  std::string out;
  out.reserve(field.size() + field.size() / 4);
  for (std::size_t i = 0; i < field.size();) {
    if (!keepLineEnds && IsLineEnd(field[i])) {
      ++i;
      continue;
    }
    const auto [cp, units] = CodePointAt(field, i);
    AppendUtf8(out, cp);
    i += units;
  }
  return out;
}

bool IsBlankOrLineEnd(char16_t unit) { return unit == u' ' || IsLineEnd(unit); }

bool StartsCodePoint(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

std::int32_t Offset(std::size_t at) { return static_cast<std::int32_t>(at); }

}  // namespace

std::string CodeOfField(std::u16string_view field) { return Utf8Of(field, false); }

std::string FieldAsUtf8(std::u16string_view field) { return Utf8Of(field, true); }

std::string OfferHeading(const std::vector<OfferedCode>& codes) {
  if (codes.size() == 1) return "Found a Zendric 2 code on line " + std::to_string(codes.front().Found.Line);
  return "Found " + std::to_string(codes.size()) + " Zendric 2 codes";
}

std::string OfferEntry(const OfferedCode& code) {
  return "Line " + std::to_string(code.Found.Line) + ", column " + std::to_string(code.Found.Column) + ": " +
         code.FirstLine + " (" + std::to_string(code.Messages) + (code.Messages == 1 ? " message)" : " messages)");
}

OfferedCode OfferOf(FoundCode code) {
  const ParseResult reading = ParseCode(code.Code);
  const std::string_view first = reading.LineCount() > 0 ? reading.Line(0) : std::string_view();
  std::string firstLine(first.substr(0, first.find('\r')));
  return {std::move(code), std::move(firstLine), reading.MessageCount()};
}

FieldModel::FieldModel() : marks_{{0, 0, 0}} {}

FieldModel::FieldModel(std::u16string text) : text_(std::move(text)) {
  const std::u16string_view field = text_;
  code_.reserve(field.size() + field.size() / 4);
  marks_.reserve(field.size() / Stride + 1);
  std::int32_t positions = 0;
  std::size_t nextMark = 0;
  for (std::size_t i = 0; i < field.size();) {
    if (i >= nextMark) {
      marks_.push_back({Offset(i), positions, code_.size()});
      nextMark = (i / Stride + 1) * Stride;
    }
    const char16_t unit = field[i];
    if (unit < 0x80) {  // the usual case, and every line end
      if (IsLineEnd(unit)) hasLineEnd_ = true;
      else code_ += static_cast<char>(unit), ++positions;
      ++i;
      continue;
    }
    const auto [cp, units] = CodePointAt(field, i);
    AppendUtf8(code_, cp);
    ++positions;
    i += units;
  }
  if (marks_.empty()) marks_.push_back({0, 0, 0});
  tooLarge_ = TooLargeToRead(code_.size());
  if (!tooLarge_) reading_ = ParseCode(code_);
}

const FieldModel::Mark& FieldModel::MarkAtOrBeforeOffset(std::int32_t offset) const {
  std::size_t k = std::min(static_cast<std::size_t>(std::max(offset, 0)) / Stride, marks_.size() - 1);
  if (marks_[k].Offset > offset && k > 0) --k;
  return marks_[k];
}

// The last mark with fewer than `position` positions before it: the character at
// `position` is at or after it.
const FieldModel::Mark& FieldModel::MarkBeforePosition(std::int32_t position) const {
  const auto after = std::upper_bound(marks_.begin(), marks_.end(), position - 1,
                                      [](std::int32_t p, const Mark& mark) { return p < mark.Positions; });
  return after == marks_.begin() ? marks_.front() : *(after - 1);
}

std::int32_t FieldModel::OffsetAfter(std::int32_t position) const {
  if (position < 1) return 0;
  const Mark& mark = MarkBeforePosition(position);
  std::size_t at = static_cast<std::size_t>(mark.Offset);
  for (std::int32_t counted = mark.Positions; counted < position && at < text_.size();) {
    if (IsLineEnd(text_[at])) {
      ++at;  // taken out by the join: no position of its own
      continue;
    }
    at += CodePointAt(text_, at).second;
    ++counted;
  }
  return Offset(at);
}

std::int32_t FieldModel::PositionsBefore(std::int32_t offset) const {
  const std::size_t end = static_cast<std::size_t>(std::clamp(offset, 0, Offset(text_.size())));
  const Mark& mark = MarkAtOrBeforeOffset(Offset(end));
  std::int32_t counted = mark.Positions;
  for (std::size_t at = static_cast<std::size_t>(mark.Offset); at < end;) {
    if (IsLineEnd(text_[at])) {
      ++at;
      continue;
    }
    at += CodePointAt(text_, at).second;  // a caret inside a pair counts the pair
    ++counted;
  }
  return counted;
}

// The bytes of the code before position `position` (from 1).
std::size_t FieldModel::BytesBefore(std::int32_t position) const {
  const Mark& mark = MarkBeforePosition(position);
  std::size_t at = mark.Bytes;
  for (std::int32_t counted = mark.Positions; counted < position - 1 && at < code_.size(); ++counted)
    for (++at; at < code_.size() && !StartsCodePoint(code_[at]);) ++at;
  return at;
}

FieldRange FieldModel::RangeOf(Span item) const {
  if (item.From == 0) return {};
  std::size_t start = static_cast<std::size_t>(OffsetAfter(item.From - 1));
  // The item starts at its first character, not at a line end the join took out.
  while (start < text_.size() && IsLineEnd(text_[start])) ++start;
  const std::int32_t end = OffsetAfter(item.To);
  return {std::min(Offset(start), end), end};
}

std::string_view FieldModel::CodeOf(Span item) const {
  if (item.From == 0 || item.To < item.From) return {};
  const std::size_t from = BytesBefore(item.From), to = BytesBefore(item.To + 1);
  return std::string_view(code_).substr(from, to - from);
}

CaretItem FieldModel::ItemAt(std::int32_t caret) const {
  const std::int32_t before = PositionsBefore(caret);
  auto lines = before < 1 ? std::pair<std::size_t, std::size_t>{0, 0} : reading_.LinesAt(before);
  if (lines.first == lines.second) lines = reading_.LinesAt(before + 1);
  if (lines.first == lines.second) return {};
  return {lines.first, lines.second, RangeOf(reading_.LineSpan(lines.first))};
}

FieldRange FieldModel::LineItem(std::size_t line) const {
  return line < reading_.LineCount() ? RangeOf(reading_.LineSpan(line)) : FieldRange{};
}

// The character just before `offset`, line ends stepped over; empty for none.
FieldRange FieldModel::CharacterBefore(std::int32_t offset) const {
  std::size_t end = static_cast<std::size_t>(std::clamp<std::int32_t>(offset, 0, Offset(text_.size())));
  while (end > 0 && IsLineEnd(text_[end - 1])) --end;
  if (end == 0) return {};
  std::size_t start = end - 1;
  if (start > 0 && IsLow(text_[start]) && IsHigh(text_[start - 1])) --start;
  return {Offset(start), Offset(end)};
}

std::int32_t FieldModel::EndOfItemBefore(std::int32_t offset) const {
  std::size_t at = static_cast<std::size_t>(offset);
  while (at > 0 && IsBlankOrLineEnd(text_[at - 1])) --at;
  return Offset(at);
}

MessagePlace FieldModel::PlaceOf(std::size_t message) const {
  const std::int32_t position = reading_.MessagePosition(message);
  const std::int32_t after = OffsetAfter(position);
  const FieldRange mark = CharacterBefore(after);
  // Past the end of the code the mark is under the last character, which is no blank of the message's.
  const bool onBlank = position >= 1 && mark.End > mark.Start && text_[static_cast<std::size_t>(mark.Start)] == u' ' &&
                       PositionsBefore(mark.End) == position;
  return {onBlank ? EndOfItemBefore(mark.Start) : after, mark};
}

std::vector<MessagePlace> FieldModel::Places() const {
  const std::size_t count = reading_.MessageCount();
  std::vector<std::int32_t> positions(count);
  for (std::size_t i = 0; i < count; ++i) positions[i] = reading_.MessagePosition(i);
  // The interpreter reports in order as a rule: no order to sort then, nor its memory.
  const bool sorted = std::is_sorted(positions.begin(), positions.end());
  std::vector<std::uint32_t> order(sorted ? 0 : count);
  std::iota(order.begin(), order.end(), std::uint32_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return positions[a] < positions[b]; });

  // One walk over the field, resumed from one position to the next.
  std::vector<MessagePlace> places(count);
  std::size_t at = 0;
  std::int32_t counted = 0;
  // The last run of blanks and line ends stepped back over, [runStart, runEnd): a
  // message on each of a million blanks walks each of them once.
  std::int32_t runStart = 0, runEnd = -1;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = sorted ? k : order[k];
    const std::int32_t position = positions[i];
    while (counted < position && at < text_.size()) {
      if (IsLineEnd(text_[at])) {
        ++at;
        continue;
      }
      at += CodePointAt(text_, at).second;
      ++counted;
    }
    const std::int32_t after = position < 1 ? 0 : Offset(at);
    const FieldRange mark = CharacterBefore(after);
    std::int32_t caret = after;
    if (position >= 1 && counted == position && mark.End > mark.Start &&
        text_[static_cast<std::size_t>(mark.Start)] == u' ') {
      std::int32_t back = mark.Start;
      for (;; --back) {
        if (back == runEnd) {  // the last message's blank: the rest of the way is known
          back = runStart;
          break;
        }
        if (back == 0 || !IsBlankOrLineEnd(text_[static_cast<std::size_t>(back) - 1])) break;
      }
      runStart = back;
      runEnd = mark.Start;
      caret = back;
    }
    places[i] = {caret, mark};
  }
  return places;
}

std::vector<OfferedCode> FieldModel::Offer() const {
  const bool looksLikeACode = code_.starts_with("ZN2.");
  if (looksLikeACode && !hasLineEnd_) return {};  // a code typed on one line costs nothing more
  std::vector<FoundCode> found = FindCodes(FieldAsUtf8(text_));
  // One code that the field starts with is the field's own reading: nothing to offer.
  if (looksLikeACode && found.size() < 2) return {};
  std::vector<OfferedCode> offer;
  offer.reserve(found.size());
  for (FoundCode& code : found) offer.push_back(OfferOf(std::move(code)));
  return offer;
}

}  // namespace zendric
