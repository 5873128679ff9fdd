#include <algorithm>
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

namespace {

// One top-level item, read with its span: from where it starts to where it stops, never
// past the code. Its lines and the messages recorded while it was read carry that span.
void ReadTopLevelItem(ParseState& s) {
  const std::size_t messagesBefore = s.Result.MessageCount();
  s.ItemStart = s.Cursor;
  s.FirstLineWritten = 1;
  s.LastLineWritten = 0;  // none yet
  s.WrittenLastLine = -1;
  ReadItem(s, true);
  const Span item{s.ItemStart, std::min(s.Cursor - 1, CodeLength(s))};
  s.ItemStart = 0;
  s.WrittenLastLine = -1;
  for (std::size_t i = s.FirstLineWritten; i <= s.LastLineWritten; ++i) {
    if (s.Result.LineSpan(i).To == -1) s.Result.SetLineSpan(i, {s.Result.LineSpan(i).From, item.To});
  }
  for (std::size_t i = messagesBefore; i < s.Result.MessageCount(); ++i) s.Result.SetMessageItem(i, item);
}

}  // namespace

void ParseCode(ParseState& s, std::string_view code) {
  DecodeUtf8(code, s.CodeText);
  s.Result.Clear();
  // Room for a typical reading up front spares growing the buffer piece by piece;
  // untouched room costs no memory.
  s.Result.Reserve(s.CodeText.size() * 12 + 256, s.CodeText.size() / 6 + 4);
  s.Cursor = 1;
  s.CurrentLine = -1;
  s.OpenFormBlocks = 0;
  s.ReadDepth = 0;
  s.ItemStart = 0;
  s.WrittenLastLine = -1;

  if (!CodeHasAt(s, 1, Prefix)) {
    AddError(s, "Error - this isn't a Zendric 2");
    return;
  }
  while (s.Cursor <= CodeLength(s)) {
    while (CurrentChar(s) == U' ') ++s.Cursor;
    if (s.Cursor <= CodeLength(s)) ReadTopLevelItem(s);
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
  if (TopLevel && s.CurrentLine >= static_cast<std::int32_t>(s.Result.LineCount())) --s.CurrentLine;
}

ParseResult ParseCode(std::string_view code) { return ParseCode(code, ParseResult()); }

ParseResult ParseCode(std::string_view code, ParseResult room) {
  ParseState s;
  s.Result = std::move(room);
  ParseCode(s, code);
  // The room made up front for the worst case goes back before the reading is kept.
  s.Result.Fit();
  return std::move(s.Result);
}

}  // namespace zendric
