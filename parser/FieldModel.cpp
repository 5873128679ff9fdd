#include "FieldModel.h"

#include "ParseState.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <limits>
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

// Moves `at` on in `text` until `counted` code positions reach `position` (or the text
// ends); line ends are taken out by the join and have no position of their own.
void WalkTo(std::u16string_view text, std::int32_t position, std::size_t& at, std::int32_t& counted) {
  while (counted < position && at < text.size()) {
    if (IsLineEnd(text[at])) {
      ++at;
      continue;
    }
    at += CodePointAt(text, at).second;
    ++counted;
  }
}

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

FieldModel::FieldModel(std::u16string text) : FieldModel(std::move(text), ParseResult()) {}

FieldModel::FieldModel(std::u16string text, ParseResult room) : text_(std::move(text)) {
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
  if (!tooLarge_) reading_ = ParseCode(code_, std::move(room));
  for (std::size_t i = 1; i < reading_.MessageCount() && messagesInOrder_; ++i)
    messagesInOrder_ = reading_.MessagePosition(i - 1) <= reading_.MessagePosition(i);
}

std::size_t FieldModel::FirstMessageAfter(std::int32_t positions) const {
  const std::size_t count = reading_.MessageCount();
  std::size_t k = 0;
  for (std::size_t step = std::bit_floor(std::max<std::size_t>(count, 1)); step > 0; step >>= 1)
    if (k + step <= count && reading_.MessagePosition(k + step - 1) <= positions) k += step;
  return k;
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
  std::int32_t counted = mark.Positions;
  WalkTo(text_, position, at, counted);
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

FieldRange FieldModel::EditRange(std::int32_t from, std::int32_t to) const {
  if (to >= from) return RangeOf({from, to});
  const std::int32_t at = OffsetAfter(from - 1);
  return {at, at};
}

std::int32_t FieldModel::MessageAt(std::int32_t caret) const {
  const std::vector<MessagePlace> places = Places();
  std::int32_t under = -1;
  for (std::size_t i = 0; i < places.size(); ++i) {
    const FieldRange mark = places[i].Mark;
    if (mark.End <= mark.Start) continue;
    if (mark.End == caret) return static_cast<std::int32_t>(i);
    if (under < 0 && mark.Start <= caret && caret < mark.End) under = static_cast<std::int32_t>(i);
  }
  if (under >= 0) return under;
  const std::int32_t position = PositionsBefore(caret) + 1;
  for (std::size_t i = 0; i < reading_.MessageCount(); ++i) {
    const Span item = reading_.MessageItem(i);
    if (item.From == 0 || (item.From <= position && position <= item.To + 1)) return static_cast<std::int32_t>(i);
  }
  return -1;
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
    WalkTo(text_, position, at, counted);
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

std::vector<FieldRange> FieldModel::WavesIn(FieldRange within, std::size_t most) const {
  std::vector<FieldRange> waves;
  // Marks in the order of their starts. One that overlaps or touches the last wave
  // joins it; false once no later mark can make a wave wanted.
  const auto add = [&](FieldRange mark) {
    if (mark.End <= mark.Start) return true;
    if (!waves.empty() && mark.Start <= waves.back().End) {
      waves.back().End = std::max(waves.back().End, mark.End);
      return waves.back().End <= within.End;
    }
    if (!waves.empty() && waves.back().Start < within.Start) waves.pop_back();  // done, and out
    if (waves.size() == most || mark.Start >= within.End) return false;
    waves.push_back(mark);
    return mark.End <= within.End;
  };
  const std::size_t count = reading_.MessageCount();
  if (messagesInOrder_) {
    // In the order of the messages, which is the field's: a walk from the last mark
    // before `within` (which a wave in it may join) to the first past the waves wanted.
    std::size_t k = FirstMessageAfter(PositionsBefore(within.Start));
    if (k > 0) --k;
    std::int32_t counted = k < count ? std::max(reading_.MessagePosition(k) - 1, 0) : 0;
    std::size_t at = static_cast<std::size_t>(OffsetAfter(counted));
    for (; k < count; ++k) {
      const std::int32_t position = reading_.MessagePosition(k);
      WalkTo(text_, position, at, counted);
      if (!add(CharacterBefore(position < 1 ? 0 : Offset(at)))) break;
    }
  } else {
    std::vector<FieldRange> marks;
    for (const MessagePlace& place : Places()) marks.push_back(place.Mark);
    std::sort(marks.begin(), marks.end(), [](FieldRange a, FieldRange b) { return a.Start < b.Start; });
    for (const FieldRange& mark : marks)
      if (!add(mark)) break;
  }
  std::erase_if(waves, [&](const FieldRange& wave) { return wave.Start < within.Start || wave.End > within.End; });
  if (waves.size() > most) waves.resize(most);
  return waves;
}

std::vector<MarkedMessage> FieldModel::MarksIn(FieldRange within) const {
  std::vector<MarkedMessage> found;
  const auto overlaps = [&](FieldRange mark) {
    return mark.End > mark.Start && mark.End > within.Start && mark.Start < within.End;
  };
  const std::size_t count = reading_.MessageCount();
  if (messagesInOrder_) {
    // The characters before `within` carry the messages up to their count of positions.
    std::size_t k = FirstMessageAfter(PositionsBefore(within.Start));
    std::int32_t counted = k < count ? std::max(reading_.MessagePosition(k) - 1, 0) : 0;
    std::size_t at = static_cast<std::size_t>(OffsetAfter(counted));
    for (; k < count; ++k) {
      const std::int32_t position = reading_.MessagePosition(k);
      WalkTo(text_, position, at, counted);
      const FieldRange mark = CharacterBefore(position < 1 ? 0 : Offset(at));
      if (mark.End > mark.Start && mark.Start >= within.End) break;
      if (overlaps(mark)) found.push_back({mark, static_cast<std::uint32_t>(k)});
    }
    return found;
  }
  const std::vector<MessagePlace> places = Places();
  for (std::size_t i = 0; i < places.size(); ++i)
    if (overlaps(places[i].Mark)) found.push_back({places[i].Mark, static_cast<std::uint32_t>(i)});
  std::stable_sort(found.begin(), found.end(),
                   [](const MarkedMessage& a, const MarkedMessage& b) { return a.Mark.Start < b.Mark.Start; });
  return found;
}

namespace {

template <typename Alike>
AlikeEnds AlikeEndsOf(std::size_t before, std::size_t now, Alike alike) {
  const std::size_t bound = std::min(before, now);
  AlikeEnds ends;
  while (ends.Head < bound && alike(ends.Head, ends.Head)) ++ends.Head;
  while (ends.Tail < bound - ends.Head && alike(before - 1 - ends.Tail, now - 1 - ends.Tail)) ++ends.Tail;
  return ends;
}

}  // namespace

AlikeEnds AlikeLines(const ParseResult& before, const ParseResult& now) {
  return AlikeEndsOf(before.LineCount(), now.LineCount(),
                     [&](std::size_t a, std::size_t b) { return before.Line(a) == now.Line(b); });
}

AlikeEnds AlikeMessages(const ParseResult& before, const ParseResult& now) {
  return AlikeEndsOf(before.MessageCount(), now.MessageCount(), [&](std::size_t a, std::size_t b) {
    return before.MessagePosition(a) == now.MessagePosition(b) && before.Message(a) == now.Message(b);
  });
}

AlikeEnds AlikeOffers(const std::vector<OfferedCode>& before, const std::vector<OfferedCode>& now) {
  return AlikeEndsOf(before.size(), now.size(), [&](std::size_t a, std::size_t b) {
    const FoundCode &x = before[a].Found, &y = now[b].Found;
    return x.Line == y.Line && x.Column == y.Column && x.Code == y.Code;
  });
}

std::int32_t OfferedAgain(const std::vector<OfferedCode>& offer, std::string_view code, std::int32_t line,
                          std::int32_t column) {
  std::int32_t same = -1;
  for (std::size_t i = 0; i < offer.size(); ++i) {
    const FoundCode& found = offer[i].Found;
    if (found.Code != code) continue;
    if (found.Line == line && found.Column == column) return static_cast<std::int32_t>(i);
    if (same < 0) same = static_cast<std::int32_t>(i);
  }
  return same;
}

bool FieldModel::MayOffer() const { return !code_.starts_with("ZN2.") || hasLineEnd_; }

// One code that the field starts with is the field's own reading: nothing to offer.
bool FieldModel::Offers(std::size_t found) const {
  return MayOffer() && found > 0 && (!code_.starts_with("ZN2.") || found > 1);
}

std::vector<OfferedCode> FieldModel::Offer() const {
  if (!MayOffer()) return {};  // a code typed on one line costs nothing more
  std::vector<OfferedCode> found = FindOffered(text_);
  if (!Offers(found.size())) return {};
  return found;
}

namespace {

// A line starts at `at`: at the start, after a line feed, or after a carriage return
// that no line feed follows.
bool LineStartsAt(std::u16string_view text, std::size_t at) {
  if (at == 0) return true;
  const char16_t before = text[at - 1];
  return before == u'\n' || (before == u'\r' && (at == text.size() || text[at] != u'\n'));
}

// The line ends in [from, to), a carriage return and a line feed counting as one; `to`
// is a line start.
std::int64_t LineEndsIn(std::u16string_view text, std::size_t from, std::size_t to) {
  const auto begin = text.begin() + static_cast<std::ptrdiff_t>(from), end = text.begin() + static_cast<std::ptrdiff_t>(to);
  std::int64_t ends = std::count(begin, end, u'\n');
  for (auto cr = std::find(begin, end, u'\r'); cr != end; cr = std::find(cr + 1, end, u'\r'))
    ends += cr + 1 == text.end() || cr[1] != u'\n';
  return ends;
}

// The units `a` and `b` have the same at their start (from their end, with `fromEnd`),
// at most `most`: a block at a time, as far as blocks go.
std::size_t SameUnits(std::u16string_view a, std::u16string_view b, std::size_t most, bool fromEnd) {
  constexpr std::size_t Block = 4096;
  const auto at = [&](std::u16string_view t, std::size_t i, std::size_t n) {
    return t.data() + (fromEnd ? t.size() - i - n : i);
  };
  std::size_t same = 0;
  while (same + Block <= most && std::memcmp(at(a, same, Block), at(b, same, Block), Block * sizeof(char16_t)) == 0)
    same += Block;
  while (same < most && *at(a, same, 1) == *at(b, same, 1)) ++same;
  return same;
}

// The start of the line before the one that starts at `at` (> 0).
std::size_t LineStartBefore(std::u16string_view text, std::size_t at) {
  std::size_t i = at - 1;  // the line end in front of `at`
  if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r') --i;
  while (i > 0 && !IsLineEnd(text[i - 1])) --i;
  return i;
}

// The start of the line after the one that `at` stands in; the end of the text for none.
std::size_t LineStartAfter(std::u16string_view text, std::size_t at) {
  while (at < text.size() && !IsLineEnd(text[at])) ++at;
  if (at == text.size()) return at;
  if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') ++at;
  return at + 1;
}

std::vector<OfferedCode> FoundIn(std::u16string_view field, std::int32_t firstLine) {
  std::vector<OfferedCode> found;
  CodeFinder finder([&found](const FoundCode& code) { found.push_back(OfferOf(code)); });
  // A line of its own in front, so that a U+FEFF at the start of a line further down is
  // read as a character, not as the text's byte-order mark.
  if (firstLine > 1) finder.Feed("\n");
  finder.Feed(FieldAsUtf8(field));
  finder.Finish();
  const std::int32_t shift = firstLine > 1 ? firstLine - 2 : 0;
  for (OfferedCode& code : found) code.Found.Line += shift;
  return found;
}

bool LineBelow(const OfferedCode& code, std::int32_t line) { return code.Found.Line < line; }

}  // namespace

std::vector<OfferedCode> FindOffered(std::u16string_view field) { return FoundIn(field, 1); }

std::vector<OfferedCode> RefindOffered(std::u16string_view before, std::u16string_view now,
                                       std::vector<OfferedCode> found) {
  const std::size_t shorter = std::min(before.size(), now.size());
  const std::size_t same = SameUnits(before, now, shorter, false);  // units the same at the start
  if (same == before.size() && same == now.size()) return found;
  const std::size_t sameEnd = SameUnits(before, now, shorter - same, true);  // and at the end, apart from those

  // The start of the line the edit is in. A carriage return just in front of the edit
  // may have lost or gained the line feed that made it one line end with it: its line
  // is read again too.
  std::size_t start = same;
  for (;;) {
    while (start > 0 && !IsLineEnd(now[start - 1])) --start;
    if (start == 0 || now[start - 1] != u'\r' || start < same) break;
    --start;
  }
  const auto lineOf = [](std::int64_t line) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(line, std::numeric_limits<std::int32_t>::max()));
  };
  const std::int32_t editLine = lineOf(1 + LineEndsIn(now, 0, start));

  // A code that starts up to MaxContinuationLines above the edit may have joined the
  // lines the edit touched: the finder starts again at the first of them.
  const auto near = std::lower_bound(found.begin(), found.end(), editLine - MaxContinuationLines, LineBelow);
  std::int32_t fromLine = editLine;
  std::size_t from = start;
  if (near != found.end() && near->Found.Line < editLine) {
    fromLine = near->Found.Line;
    for (std::int32_t line = editLine; line > fromLine; --line) from = LineStartBefore(now, from);
  }

  // It stops at the first code the old text had below the edit: that code's line holds
  // "ZN2.", which ends whatever code came before, so from there on the finder reads the
  // two texts alike.
  std::size_t to = now.size();
  auto kept = found.end();
  std::int32_t moved = 0;
  if (sameEnd > 0) {
    std::size_t after = now.size() - sameEnd + 1;  // a line start whose line end is unchanged
    while (after < now.size() && !LineStartsAt(now, after)) ++after;
    if (after < now.size()) {
      const std::size_t afterBefore = after - now.size() + before.size();
      const std::int64_t nowLine = editLine + LineEndsIn(now, start, after);
      const std::int64_t beforeLine = editLine + LineEndsIn(before, start, afterBefore);
      moved = static_cast<std::int32_t>(nowLine - beforeLine);
      kept = std::lower_bound(near, found.end(), lineOf(beforeLine), LineBelow);
      if (kept != found.end()) {
        to = after;
        for (std::int64_t line = nowLine; line < kept->Found.Line + moved; ++line) to = LineStartAfter(now, to);
      }
    }
  }

  std::vector<OfferedCode> fresh = FoundIn(now.substr(from, to - from), fromLine);
  // Every code above `near` ends above the edit, its reach included.
  std::vector<OfferedCode> result;
  result.reserve(static_cast<std::size_t>(near - found.begin()) + fresh.size() +
                 static_cast<std::size_t>(found.end() - kept));
  std::move(found.begin(), near, std::back_inserter(result));
  std::move(fresh.begin(), fresh.end(), std::back_inserter(result));
  for (auto code = kept; code != found.end(); ++code) {
    code->Found.Line += moved;
    result.push_back(std::move(*code));
  }
  return result;
}

}  // namespace zendric
