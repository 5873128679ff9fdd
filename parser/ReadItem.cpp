#include <algorithm>
#include <array>
#include <string>

#include "ParseState.h"
#include "Readers.h"

namespace zendric {
namespace {

using ItemReader = void (*)(ParseState&);

struct TagReader {
  std::u32string_view Tag;
  ItemReader Reader;
};

// Tried first and in this order, so "Fr" is never diet and "Sk" never social life.
constexpr std::array<TagReader, 5> TwoLetterTags{{
    {U"Sk", ReadSkinItem},
    {U"Fr", ReadFruitiness},
    {U"Ac", ReadActivity},
    {U"Tc", ReadTechnology},
    {U"Df", ReadDragonFriend},
}};

constexpr std::array<TagReader, 21> OneLetterTags{{
    {U"$", ReadMoney},          {U"A", ReadAge},           {U"B", ReadBreathItem},
    {U"C", ReadColourItem},     {U"F", ReadDietItem},      {U"G", ReadGenderItem},
    {U"H", ReadHoard},          {U"I", ReadIrritability},  {U"J", ReadJoviality},
    {U"L", ReadLengthItem},     {U"M", ReadMatingStatus},  {U"N", ReadNativeLand},
    {U"O", ReadOffspring},      {U"P", ReadAppendagesItem}, {U"Q", ReadPsionics},
    {U"R", ReadReality},        {U"S", ReadSocialLife},    {U"T", ReadWeightItem},
    {U"U", ReadUbiquity},       {U"V", ReadMagic},         {U"W", ReadWidth},
}};

constexpr std::u32string_view Prefix = U"ZN2.";

bool CodeHasAt(const ParseState& s, std::int32_t position, std::u32string_view text) {
  if (position < 1 || position > CodeLength(s)) return false;
  return std::u32string_view(s.CodeText).substr(static_cast<std::size_t>(position - 1)).starts_with(text);
}

// Row of a tag table by the tag's first character (-1: none), so that finding a
// tag costs one look-up. The first row wins, as a scan in table order would find it.
template <std::size_t N>
constexpr std::array<std::int8_t, 128> IndexByFirstChar(const std::array<TagReader, N>& table) {
  std::array<std::int8_t, 128> index{};
  index.fill(-1);
  for (std::size_t i = N; i-- > 0;) index[table[i].Tag.front()] = static_cast<std::int8_t>(i);
  return index;
}
constexpr auto TwoLetterIndex = IndexByFirstChar(TwoLetterTags);
constexpr auto OneLetterIndex = IndexByFirstChar(OneLetterTags);

// The two-letter tags start with five different letters, so at most one can match.
static_assert([] {
  for (std::size_t i = 0; i < TwoLetterTags.size(); ++i)
    if (TwoLetterIndex[TwoLetterTags[i].Tag.front()] != static_cast<std::int8_t>(i)) return false;
  return true;
}());

const TagReader* FindTag(const ParseState& s) {
  const char32_t first = CurrentChar(s);
  if (first >= 128) return nullptr;
  if (const int i = TwoLetterIndex[first]; i >= 0 && CharAt(s, s.Cursor + 1) == TwoLetterTags[i].Tag[1])
    return &TwoLetterTags[static_cast<std::size_t>(i)];
  if (const int i = OneLetterIndex[first]; i >= 0) return &OneLetterTags[static_cast<std::size_t>(i)];
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
  s.NestingDepth = 0;
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
  } else if (const TagReader* tag = FindTag(s)) {
    s.Cursor += static_cast<std::int32_t>(tag->Tag.size());
    tag->Reader(s);
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

ParseResult ParseCode(std::string_view code) {
  // The decoded code keeps its room from one reading to the next on this thread;
  // a large one is let go.
  thread_local ParseState s;
  ParseCode(s, code);
  ParseResult result = std::move(s.Result);
  if (s.CodeText.capacity() > 64 * 1024) std::u32string().swap(s.CodeText);
  return result;
}

}  // namespace zendric
