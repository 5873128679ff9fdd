#include "Colour.h"

#include <vector>

#include "Catalogue.h"

namespace zendric {
namespace {

// A colour phrase grows at both ends: modifier words and "a mix of " go in front of
// everything this colour has read so far, nested colours and pattern words behind
// it. Pieces are kept in a list and joined once, so that each step costs the same
// however long the phrase already is; every piece is constant text.
class PhraseBuilder {
 public:
  using Start = std::size_t;  // index of the piece a colour's phrase begins with

  PhraseBuilder() { pieces_.reserve(8); }

  // Opens a colour's phrase with its first piece; the result marks where it begins.
  Start Open(std::string_view first) {
    Link(pieces_.size(), tail_, None);
    pieces_.back().text = first;
    return tail_;
  }
  void Prepend(Start& start, std::string_view piece) {
    if (piece.empty()) return;
    const std::size_t added = pieces_.size();
    Link(added, pieces_[start].prev, start);
    pieces_[added].text = piece;
    start = added;
  }
  void Append(std::string_view piece) {
    if (piece.empty()) return;
    Link(pieces_.size(), tail_, None);
    pieces_.back().text = piece;
  }
  std::string Join() const {
    std::size_t size = 0;
    for (const Piece& p : pieces_) size += p.text.size();
    std::string out;
    out.reserve(size);
    for (std::size_t i = head_; i != None; i = pieces_[i].next) out += pieces_[i].text;
    return out;
  }

 private:
  static constexpr std::size_t None = static_cast<std::size_t>(-1);
  // Pieces live in one array and are chained in reading order, so that putting a
  // piece in front of a colour costs the same as putting one at the end.
  struct Piece {
    std::string_view text;
    std::size_t prev = None;
    std::size_t next = None;
  };

  // Adds a new piece at index `added` (the end of the array) between prev and next.
  void Link(std::size_t added, std::size_t prev, std::size_t next) {
    pieces_.push_back({{}, prev, next});
    if (prev != None) pieces_[prev].next = added; else head_ = added;
    if (next != None) pieces_[next].prev = added; else tail_ = added;
  }

  std::vector<Piece> pieces_;
  std::size_t head_ = None;
  std::size_t tail_ = None;
};

// colour: code, then modifiers, then patterns each followed by a nested colour
void WriteColour(ParseState& s, PhraseBuilder& out, char32_t context) {
  std::int32_t end = ScanToTerminator(s, ColourTerminators, true, s.Cursor);
  if (end == 0) end = CodeLength(s) + 1;
  const std::string code = CodeSlice(s, s.Cursor, end);
  s.Cursor = end;
  const ColourEntry* colour = FindRow(ColourTable, &ColourEntry::Code, code);
  if (colour == nullptr) {
    // Nothing more is read: whatever ended the code is left to the caller.
    AddError(s, "Error: Invalid colour code (" + code + ")");
    return;
  }

  PhraseBuilder::Start start = out.Open(colour->Name);
  bool shaded = false;
  while (const ColourModifier* m = FindRow(ColourModifiers, &ColourModifier::Key, CurrentChar(s))) {
    out.Prepend(start, m->Shade && shaded ? VeryWord : m->Word);
    shaded = shaded || m->Shade;
    ++s.Cursor;
  }

  // A nested colour takes every pattern behind it, so this loop only goes round
  // again when a nested code was invalid and stopped on a pattern character.
  while (const ColourCombiner* c = FindRow(ColourCombiners, &ColourCombiner::Key, CurrentChar(s))) {
    ++s.Cursor;
    const bool continuesList = c->ContinuesOwnKind && context == static_cast<unsigned char>(c->Key);
    const ColourJoin& join = continuesList ? ListJoin : c->Join;
    out.Prepend(start, join.Before);
    out.Append(join.Between);
    // Too deep a pattern reads as an empty nested colour after its error.
    if (EnterNestedRead(s)) {
      WriteColour(s, out, c->ContinuesOwnKind ? static_cast<unsigned char>(c->Key) : NoPattern);
      LeaveNestedRead(s);
    }
    out.Append(join.After);
  }
}

}  // namespace

std::string ReadColour(ParseState& s, char32_t context) {
  PhraseBuilder out;
  WriteColour(s, out, context);
  return out.Join();
}

// C: colour [">" colour], repeated; "," body-part letter starts another colour
void ReadColourItem(ParseState& s, const TagRow& tag) {
  // Pattern levels are counted per item, apart from any species form around it.
  const std::int32_t outerDepth = s.ReadDepth;
  s.ReadDepth = 0;

  AppendText(s, tag.Heading);
  bool mayEnd = false;  // false right after a body part: its colour is always read
  // A turn that consumes nothing has stopped on a blank, a capital, "$" or "}",
  // and the next test ends the item there.
  while (!(mayEnd && (AtEnd(s) || AtItemBoundary(s) || CurrentChar(s) == U'$'))) {
    AppendText(s, ReadColour(s));
    if (AcceptChar(s, U'>')) AppendText(s, " changing to " + ReadColour(s));
    mayEnd = true;
    if (AcceptChar(s, U',')) {
      const char32_t letter = CurrentChar(s);
      if (const ColourBodyPart* part = FindRow(ColourBodyParts, &ColourBodyPart::Letter, letter)) {
        AppendText(s, part->Heading);
        mayEnd = false;
      } else {
        AddError(s, "Error: Invalid body part in colour tag (" + CharText(letter) + ")");
      }
      if (!AtEnd(s)) ++s.Cursor;  // the letter is taken whatever it was
    }
  }

  s.ReadDepth = outerDepth;
}

}  // namespace zendric
