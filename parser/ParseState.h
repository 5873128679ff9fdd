// The state of one parse and the small vocabulary every item reader is built from.
// All readers are plain functions over a ParseState passed by reference: two parses
// never share anything.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ZNParser.h"

namespace zendric {

// Species and colour reads nest by recursion; a pasted text could nest far deeper
// than any real code and overflow the stack, so nested reads stop at this depth.
inline constexpr std::int32_t MaxNesting = 256;

// A set of 8-bit characters that ends a scan. Code points above 255 are never members.
class TerminatorSet {
 public:
  constexpr TerminatorSet() = default;
  constexpr explicit TerminatorSet(std::string_view members) { Add(members); }

  constexpr bool Contains(char32_t ch) const {
    return ch < 256 && ((bits_[ch >> 6] >> (ch & 63)) & 1u) != 0;
  }
  // Callers that add members work on their own copy.
  [[nodiscard]] constexpr TerminatorSet With(std::string_view more) const {
    TerminatorSet copy = *this;
    copy.Add(more);
    return copy;
  }
  [[nodiscard]] constexpr TerminatorSet With(char ch) const {
    return With(std::string_view(&ch, 1));
  }
  constexpr bool operator==(const TerminatorSet&) const = default;

 private:
  constexpr void Add(std::string_view members) {
    for (char c : members) {
      auto u = static_cast<unsigned char>(c);
      bits_[u >> 6] |= std::uint64_t{1} << (u & 63);
    }
  }
  std::array<std::uint64_t, 4> bits_{};
};

struct ParseState {
  std::u32string CodeText;           // the code as code points; positions are 1-based
  std::int32_t Cursor = 0;           // next position to read; may stand past the end
  ParseResult Result;                // the result lines and messages written so far
  std::int32_t CurrentLine = -1;     // index of the line the current item writes
  std::int32_t OpenFormBlocks = 0;   // "{ }" form blocks of the species item not yet closed
  std::int32_t ReadDepth = 0;        // depth of the current nested species or colour read
  // The top-level item being read (0: none): where it starts, and the run of lines it
  // wrote, whose spans end where the item ends.
  std::int32_t ItemStart = 0;
  std::size_t FirstLineWritten = 0;
  std::size_t LastLineWritten = 0;
  // The last line that the current item has written and that its span already counts,
  // when it is the last line of all: the next write there needs only the text appended.
  std::int32_t WrittenLastLine = -1;
};

// --- entry and dispatch ---
void ParseCode(ParseState& s, std::string_view code);
void ReadItem(ParseState& s, bool TopLevel);

// --- writing ---
void AppendTextToNewOrEarlierLine(ParseState& s, std::string_view text);
inline void AppendText(ParseState& s, std::string_view text) {
  if (s.CurrentLine == s.WrittenLastLine && s.CurrentLine >= 0) {
    s.Result.AppendToLastLine(text);
  } else {
    AppendTextToNewOrEarlierLine(s, text);
  }
}
// Inserts before byte `position` (from 1) of the current line, or before the character
// that byte belongs to; past the end or at 0 it appends.
void InsertText(ParseState& s, std::int32_t position, std::string_view text);
void AddError(ParseState& s, std::string message);
// Bytes in the current line so far (0 when it has not been started).
std::int32_t CurrentLineLength(const ParseState& s);

// --- scanning (the text scanned is always CodeText) ---
inline std::int32_t ScanToTerminator(const ParseState& s, TerminatorSet set, bool StopAtTag,
                                     std::int32_t start);
inline bool AcceptChar(ParseState& s, char32_t ch);

// A text enclosed by an opening mark and its closing one: the positions of both.
// Close stands one past the end of the code when the closing mark is missing.
struct Enclosure {
  std::int32_t Open = 0;
  std::int32_t Close = 0;
};
// Inside a form block a "}" ends an enclosed text as well; some items take it as
// their closing mark, others say that theirs is missing.
enum class BraceEnds { Quietly, AsMissing };
// Scans from the opening mark at Cursor to `closing` and moves Cursor past it. When
// the mark is missing (or, with AsMissing, a "}" stood in for it) the message made of
// `missing` is recorded at the opening mark. Without the mark the text runs to the end.
Enclosure ScanEnclosed(ParseState& s, char32_t closing, BraceEnds brace,
                       std::initializer_list<std::string_view> missing);
// The text between the marks.
std::string EnclosedText(const ParseState& s, Enclosure e);
inline bool IsTagLetter(char32_t ch) { return ch >= U'A' && ch <= U'Z'; }
inline bool AtItemBoundary(const ParseState& s);
inline bool IsDigit(char32_t ch) { return ch >= U'0' && ch <= U'9'; }
std::string ReadNumber(ParseState& s, bool IntegerOnly);
std::string WithArticle(std::string_view noun);

// --- looking up rows of the readers' tables ---
// Keys are ASCII: comparing them character by character with code points is exact.
constexpr bool SameKey(char key, char32_t ch) { return static_cast<unsigned char>(key) == ch; }
constexpr bool SameKey(char32_t key, char32_t ch) { return key == ch; }
// Tables are searched row by row: most rows differ in length or first letter, which
// are told apart without a call to compare the rest.
constexpr bool SameKey(std::string_view key, std::string_view text) {
  return key.size() == text.size() && (key.empty() || (key[0] == text[0] && key == text));
}
constexpr bool SameKey(std::string_view key, std::u32string_view text) {
  if (key.size() != text.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i)
    if (!SameKey(key[i], text[i])) return false;
  return true;
}

// The first row of `rows` that `matches`, or nullptr.
template <typename Rows, typename Match>
constexpr auto FindRowIf(const Rows& rows, Match matches) {
  using Row = std::remove_cvref_t<decltype(*std::begin(rows))>;
  for (const Row& row : rows)
    if (matches(row)) return &row;
  return static_cast<const Row*>(nullptr);
}
// The first row whose `field` is `key`, or nullptr.
template <typename Rows, typename Field, typename Key>
constexpr auto FindRow(const Rows& rows, Field field, const Key& key) {
  return FindRowIf(rows, [&](const auto& row) { return SameKey(row.*field, key); });
}

// --- access to the code text ---
inline std::int32_t CodeLength(const ParseState& s) {
  return static_cast<std::int32_t>(s.CodeText.size());
}
// The character at position p, or NUL outside the code.
inline char32_t CharAt(const ParseState& s, std::int32_t p) {
  return p >= 1 && p <= CodeLength(s) ? s.CodeText[static_cast<std::size_t>(p - 1)] : U'\0';
}
inline char32_t CurrentChar(const ParseState& s) { return CharAt(s, s.Cursor); }
inline bool AtEnd(const ParseState& s) { return s.Cursor > CodeLength(s); }
inline std::int32_t ScanToTerminator(const ParseState& s, TerminatorSet set, bool StopAtTag,
                                     std::int32_t start) {
  if (s.OpenFormBlocks > 0) set = set.With('}');
  const std::int32_t length = CodeLength(s);
  for (std::int32_t i = std::max(start, 1); i <= length; ++i) {
    const char32_t ch = s.CodeText[static_cast<std::size_t>(i - 1)];
    if (set.Contains(ch) || (StopAtTag && (IsTagLetter(ch) || ch == U'$'))) return i;
  }
  return 0;
}
inline bool AcceptChar(ParseState& s, char32_t ch) {
  if (s.Cursor <= CodeLength(s) && CurrentChar(s) == ch) {
    ++s.Cursor;
    return true;
  }
  return false;
}
inline bool AtItemBoundary(const ParseState& s) {
  const char32_t ch = CurrentChar(s);
  return IsTagLetter(ch) || ch == U' ' || (s.OpenFormBlocks > 0 && ch == U'}');
}
// The UTF-8 text of positions from..to-1, clipped to the code.
std::string CodeSlice(const ParseState& s, std::int32_t from, std::int32_t to);
// One code point as UTF-8 (NUL included, as a single zero byte).
std::string CharText(char32_t ch);
// Inline: the field and the file decoders call it once per character.
inline void AppendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (ch < 0x800) {
    out += static_cast<char>(0xC0 | (ch >> 6));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | (ch >> 12));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (ch >> 18));
    out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

// --- the nesting limit ---
// Call before a nested species or colour read. When the read would go past
// MaxNesting it records the error, skips to the next blank (or the "}" closing a
// form block) and returns false; the caller then reads nothing. On true the caller
// must call LeaveNestedRead when the read is done.
bool EnterNestedRead(ParseState& s);
inline void LeaveNestedRead(ParseState& s) { --s.ReadDepth; }

// --- text decoding ---
// UTF-8 to code points, one U+FFFD for each maximal ill-formed subpart.
std::u32string DecodeUtf8(std::string_view bytes);
// The same into `out`, reusing its room.
void DecodeUtf8(std::string_view bytes, std::u32string& out);

}  // namespace zendric
