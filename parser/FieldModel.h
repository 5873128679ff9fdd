// The code field, as the window and the page both have it: the text the user sees and
// edits, the code the interpreter reads from it, and the places where the two meet.
// Its rules, decided here once for both:
//
// 1. Units. The field's text is UTF-16, as QString and JavaScript strings are; a field
//    offset counts its units from 0, as a caret does. A code position counts code
//    points from 1, as the interpreter does. A character above U+FFFF is two units and
//    one position; a lone surrogate is one unit and one position, read as U+FFFD.
// 2. Line ends. A line ends at a line feed, a carriage return, or a carriage return
//    followed by a line feed, as zendric-read and the finder read lines. The window's
//    own break between its blocks counts as a line feed. U+2028 and U+2029 end no
//    line: they are characters of the code, as zendric-read reads them (the window's
//    field cannot hold a U+2029: its toolkit turns one into a break between blocks).
// 3. The code. The field's lines joined with nothing between them: every line end is
//    taken out, nothing else changes.
// 4. Both ways. A code position maps to the field offset just after its character (0
//    for positions below 1, the end of the field for those past the end of the code);
//    a field offset maps to the number of code positions before it. An item's span
//    maps to the field range from the start of its first character to the end of its
//    last, line ends in front of it skipped.
// 5. The caret's item. For a caret, the item of the character before it, which typing
//    goes on; where that character belongs to no item (a blank, or nothing stands
//    before the caret), the item of the character after it. A selection's start
//    stands for the caret.
// 6. A message. Its wave is under the character at its position (the last character
//    for a position past the end of the code). The caret goes just after that
//    character; for a message on a blank, it goes to the end of the item before the
//    blank (blanks and line ends stepped back over), so that typing there adds to
//    that item instead of starting a new one.
// 7. The found-code offer. The finder reads the field's lines as they stand (their
//    numbers are what the user sees). The offer shows when the code does not start
//    with "ZN2." and the finder finds a code, or when the field has more than one line
//    and the finder finds more than one code (a file of codes, one a line). It lists
//    each code with its line, its column, the first display line of its reading and
//    its number of messages.
// 8. An edit. Code positions From..To (both included) stand in the field range of
//    that span, as an item's; an insertion before position p (To = p - 1) is the empty
//    range just after position p - 1.
// 9. The message at the caret. One whose wave is under the character just before the
//    caret, else under the character after it, else one whose item holds the caret's
//    position or ends just before it, or one of no item; the first in the reading
//    where several are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Finder.h"
#include "ZNParser.h"

namespace zendric {

inline bool IsLineEnd(char16_t unit) { return unit == u'\n' || unit == u'\r'; }

// Field offsets [Start, End); empty for none.
struct FieldRange {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  friend bool operator==(const FieldRange&, const FieldRange&) = default;
};

// The caret's item: the lines of the reading it wrote, [FirstLine, LastLine), and where
// it stands in the field; all empty for none.
struct CaretItem {
  std::size_t FirstLine = 0;
  std::size_t LastLine = 0;
  FieldRange Where;
  friend bool operator==(const CaretItem&, const CaretItem&) = default;
};

// Where a message takes the caret, and the character its wave is under.
struct MessagePlace {
  std::int32_t Caret = 0;
  FieldRange Mark;
  friend bool operator==(const MessagePlace&, const MessagePlace&) = default;
};

// A message's wave, and the message it is of.
struct MarkedMessage {
  FieldRange Mark;
  std::uint32_t Message = 0;
  friend bool operator==(const MarkedMessage&, const MarkedMessage&) = default;
};

// One code of the offer.
struct OfferedCode {
  FoundCode Found;
  std::string FirstLine;  // the first display line of its reading
  std::size_t Messages = 0;
};

// The bar's heading for `codes` (not empty), and the entry of one of them.
std::string OfferHeading(const std::vector<OfferedCode>& codes);
std::string OfferEntry(const OfferedCode& code);
// A found code with what its entry shows, read now.
OfferedCode OfferOf(FoundCode code);

// Every code the finder finds in the field's lines, each with what its entry shows,
// whether the bar shows them or not.
std::vector<OfferedCode> FindOffered(std::u16string_view field);
// The same for the field `now`, given `found` = FindOffered(before): the finder reads
// again only the lines the edit touched and those a code may join to them; the codes
// of the other lines are kept, their line numbers moved by the lines the edit put in
// or took out. Its cost follows the edit, not the field (but for a walk over the
// units, which costs far less than finding codes and reading them).
std::vector<OfferedCode> RefindOffered(std::u16string_view before, std::u16string_view now,
                                       std::vector<OfferedCode> found);

// How many lines (or messages) two readings have alike at their start, Head, and at
// their end, Tail, counted in what the head leaves: Head + Tail is at most the shorter
// count. A front end keeps those and makes anew only the ones between.
struct AlikeEnds {
  std::size_t Head = 0;
  std::size_t Tail = 0;
  friend bool operator==(const AlikeEnds&, const AlikeEnds&) = default;
};
// Lines alike: the same text.
AlikeEnds AlikeLines(const ParseResult& before, const ParseResult& now);
// Messages alike: the same words at the same position.
AlikeEnds AlikeMessages(const ParseResult& before, const ParseResult& now);
// Codes of the offer alike: the same code at the same line and column.
AlikeEnds AlikeOffers(const std::vector<OfferedCode>& before, const std::vector<OfferedCode>& now);
// A code chosen from an offer before, found again in `offer`: at its line and column,
// else the first with its text; -1 for none.
std::int32_t OfferedAgain(const std::vector<OfferedCode>& offer, std::string_view code, std::int32_t line,
                          std::int32_t column);

// The field's text as the UTF-8 code it stands for.
std::string CodeOfField(std::u16string_view field);
// The field's whole text as UTF-8, line ends kept.
std::string FieldAsUtf8(std::u16string_view field);

// One state of the field, read: the text, its code and its reading, and every map
// between them. Built once per change; every question after that costs only the part
// of the text it is about.
class FieldModel {
 public:
  FieldModel();  // the empty field, not read yet: no lines, no messages
  explicit FieldModel(std::u16string text);
  // Read into the memory of `room`, a reading no longer wanted: a long code read again
  // at every key writes where the last reading was instead of taking more.
  FieldModel(std::u16string text, ParseResult room);

  std::u16string_view Text() const { return text_; }
  std::string_view Code() const { return code_; }
  const ParseResult& Reading() const { return reading_; }
  // The reading, for its memory to serve the next one; this model has none after.
  ParseResult TakeReading() { return std::exchange(reading_, ParseResult()); }
  bool HasLineEnd() const { return hasLineEnd_; }
  // A code over the size the interpreter reads is not read: no lines, no messages.
  bool TooLarge() const { return tooLarge_; }

  std::int32_t OffsetAfter(std::int32_t position) const;
  std::int32_t PositionsBefore(std::int32_t offset) const;
  FieldRange RangeOf(Span item) const;
  // The code's own text of `item` (UTF-8), empty for none.
  std::string_view CodeOf(Span item) const;

  CaretItem ItemAt(std::int32_t caret) const;
  // The item that wrote line `line` of the reading; empty for none.
  FieldRange LineItem(std::size_t line) const;

  MessagePlace PlaceOf(std::size_t message) const;
  // Every message's place, in the order of the messages, in one walk.
  std::vector<MessagePlace> Places() const;
  // The waves that lie wholly within `within`, in field order, those that overlap or
  // touch joined into one: a megabyte of stray characters is one wave to draw, not a
  // million. At most the first `most` of them, found at the cost of those and of the
  // field before them, not of the whole field.
  std::vector<FieldRange> WavesIn(FieldRange within, std::size_t most = SIZE_MAX) const;

  // The waves of the messages whose character overlaps `within`, one per message: in
  // field order, and in the order of the messages where several are under one
  // character. Found at the cost of those and of a halving, not of every message, when
  // the messages are in the field's order (as the interpreter reports them).
  std::vector<MarkedMessage> MarksIn(FieldRange within) const;

  // The field range an edit of code positions from..to replaces (rule 8).
  FieldRange EditRange(std::int32_t from, std::int32_t to) const;
  // The message at the caret (rule 9); -1 for none.
  std::int32_t MessageAt(std::int32_t caret) const;

  // The codes the bar offers; none when it does not show.
  std::vector<OfferedCode> Offer() const;
  // Whether the bar may show at all: a code typed on one line is never looked through.
  bool MayOffer() const;
  // Whether the bar shows, given the number of codes FindOffered finds in the field.
  bool Offers(std::size_t found) const;

 private:
  // Every Stride units: the unit offset, the code positions and the code bytes before
  // it, so that a question about one place starts near it.
  struct Mark {
    std::int32_t Offset;
    std::int32_t Positions;
    std::size_t Bytes;
  };
  static constexpr std::int32_t Stride = 1024;

  const Mark& MarkAtOrBeforeOffset(std::int32_t offset) const;
  const Mark& MarkBeforePosition(std::int32_t position) const;
  std::size_t BytesBefore(std::int32_t position) const;
  // The first message whose position is past `positions`, found by halving.
  std::size_t FirstMessageAfter(std::int32_t positions) const;
  FieldRange CharacterBefore(std::int32_t offset) const;
  std::int32_t EndOfItemBefore(std::int32_t offset) const;

  std::u16string text_;
  std::string code_;
  ParseResult reading_;
  std::vector<Mark> marks_;
  bool hasLineEnd_ = false;
  bool tooLarge_ = false;
  bool messagesInOrder_ = true;  // by position, as a rule
};

}  // namespace zendric
