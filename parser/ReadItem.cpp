#include <array>
#include <string>

#include "Catalogue.h"
#include "ParseState.h"

namespace zendric {
namespace {

constexpr std::u32string_view Prefix = U"ZN2.";

bool CodeHasAt(const ParseState& s, std::int32_t position, std::u32string_view text) {
  if (position < 1 || position > CodeLength(s)) return false;
  return std::u32string_view(s.CodeText).substr(static_cast<std::size_t>(position - 1)).starts_with(text);
}

// Rows of the catalogue by the tag's first character (-1: none), so that finding a
// tag costs a look-up or two: a two-letter tag is tried before the one-letter tag of
// the same capital, so "Fr" is never diet and "Sk" never social life.
struct TagIndex {
  std::array<std::int8_t, 128> TwoLetters{};
  std::array<std::int8_t, 128> OneLetter{};
};
constexpr TagIndex MakeTagIndex() {
  TagIndex index;
  index.TwoLetters.fill(-1);
  index.OneLetter.fill(-1);
  for (std::size_t i = 0; i < TagCatalogue.size(); ++i) {
    const std::string_view letters = TagCatalogue[i].Letters;
    auto& slot = (letters.size() == 2 ? index.TwoLetters : index.OneLetter)[static_cast<unsigned char>(letters[0])];
    // Two tags of one length and first letter would make the second unreachable.
    if (slot >= 0 || letters.size() > 2) throw "tag catalogue: two tags share their first letter";
    slot = static_cast<std::int8_t>(i);
  }
  return index;
}
constexpr TagIndex Index = MakeTagIndex();

const TagRow* FindTagAtCursor(const ParseState& s) {
  const char32_t first = CurrentChar(s);
  if (first >= 128) return nullptr;
  if (const int i = Index.TwoLetters[first]; i >= 0 && SameKey(TagCatalogue[i].Letters[1], CharAt(s, s.Cursor + 1)))
    return &TagCatalogue[static_cast<std::size_t>(i)];
  if (const int i = Index.OneLetter[first]; i >= 0) return &TagCatalogue[static_cast<std::size_t>(i)];
  return nullptr;
}

}  // namespace

void ParseCode(ParseState& s, std::string_view code) {
  s.CodeText = DecodeUtf8(code);
  s.ResultLines.clear();
  s.ErrorMessages.clear();
  ClearErrorPositions(s);
  // A code full of stray characters gives one message per character; room made up
  // front spares moving every message at each growth of the list. Untouched room
  // costs no memory.
  s.ErrorMessages.reserve(s.CodeText.size());
  s.ErrorPositions.reserve(s.CodeText.size());
  s.ResultLines.reserve(s.CodeText.size() / 8 + 4);  // items are rarely shorter than that
  s.Cursor = 1;
  s.CurrentLine = -1;
  s.OpenFormBlocks = 0;
  s.ReadDepth = 0;

  if (!CodeHasAt(s, 1, Prefix)) {
    AddError(s, "Error - this isn't a Zendric 2");
    return;
  }
  while (s.Cursor <= CodeLength(s)) {
    while (CurrentChar(s) == U' ') ++s.Cursor;
    if (s.Cursor <= CodeLength(s)) ReadItem(s, true);
  }
}

void ReadItem(ParseState& s, bool TopLevel) {
  if (TopLevel) {
    ++s.CurrentLine;
  } else {
    AppendText(s, "\r");
  }

  if (s.Cursor == 1 && CodeHasAt(s, 1, Prefix)) {
    s.Cursor += static_cast<std::int32_t>(Prefix.size());
    ReadSpeciesItem(s, TerminatorSet(std::string_view("\0", 1)), true, true, {});
  } else if (const TagRow* tag = FindTagAtCursor(s)) {
    s.Cursor += static_cast<std::int32_t>(tag->Letters.size());
    tag->Read(s, *tag);
  } else {
    const std::int32_t pos = s.Cursor;
    std::string message = "Error: Invalid code at position ";
    message += std::to_string(pos);
    message += " (";
    AppendUtf8(message, CurrentChar(s));
    message += ')';
    AddError(s, std::move(message));
    s.Cursor = pos + 1;
  }

  // An item that wrote nothing gives its line index back to the next item.
  if (TopLevel && s.CurrentLine >= static_cast<std::int32_t>(s.ResultLines.size())) --s.CurrentLine;
}

ParseResult ParseCode(std::string_view code) {
  ParseState s;
  ParseCode(s, code);
  return {std::move(s.ResultLines), std::move(s.ErrorMessages), std::move(s.ErrorPositions)};
}

}  // namespace zendric
