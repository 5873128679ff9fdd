#include "ParseState.h"

#include <algorithm>
#include <cstring>

namespace zendric {

std::string CharText(char32_t ch) {
  std::string out;
  AppendUtf8(out, ch);
  return out;
}

std::u32string DecodeUtf8(std::string_view bytes) {
  std::u32string out;
  DecodeUtf8(bytes, out);
  return out;
}

void DecodeUtf8(std::string_view bytes, std::u32string& out) {
  // Never more code points than bytes: written in place, then cut to length.
  out.resize(bytes.size());
  char32_t* to = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      // Codes are mostly ASCII: find the run, then widen it in one loop the compiler
      // can do several bytes at a time.
      std::size_t j = i + 1;
      for (std::uint64_t word; j + 8 <= n; j += 8) {
        std::memcpy(&word, p + j, 8);
        if ((word & 0x8080808080808080u) != 0) break;
      }
      while (j < n && p[j] < 0x80) ++j;
      for (std::size_t k = i; k < j; ++k) *to++ = p[k];
      i = j;
      continue;
    }
    // Lead byte: how many continuation bytes follow, and the allowed range of the
    // first of them (this rules out overlongs, surrogates and values past U+10FFFF).
    int need = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      *to++ = U'\uFFFD';  // stray continuation byte or a byte that never leads
      ++i;
      continue;
    }
    ++i;
    bool complete = true;
    for (int k = 0; k < need; ++k, ++i) {
      if (i >= n || p[i] < lo || p[i] > hi) {
        complete = false;  // the maximal subpart ends here; this byte is read afresh
        break;
      }
      cp = (cp << 6) | (p[i] & 0x3F);
      lo = 0x80;
      hi = 0xBF;
    }
    *to++ = complete ? cp : U'\uFFFD';
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string ToValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char32_t ch : DecodeUtf8(bytes)) AppendUtf8(out, ch);
  return out;
}

std::string CodeSlice(const ParseState& s, std::int32_t from, std::int32_t to) {
  from = std::max(from, 1);
  to = std::min(to, CodeLength(s) + 1);
  std::string out;
  if (from >= to) return out;
  const char32_t* text = s.CodeText.data() + (from - 1);
  const auto count = static_cast<std::size_t>(to - from);
  // Mostly ASCII: one byte per code point until the first that is not.
  std::size_t ascii = 0;
  while (ascii < count && text[ascii] < 0x80) ++ascii;
  out.resize(ascii);
  for (std::size_t k = 0; k < ascii; ++k) out[k] = static_cast<char>(text[k]);
  for (std::size_t k = ascii; k < count; ++k) AppendUtf8(out, text[k]);
  return out;
}

namespace {

bool HasCurrentLine(const ParseState& s) {
  return s.CurrentLine >= 0 && static_cast<std::size_t>(s.CurrentLine) < s.Result.LineCount();
}

// Line i was written by the top-level item being read: its span starts with the first
// item that writes it, and ends with the last one (To == -1 until that item ends).
void MarkWritten(ParseState& s, std::size_t i) {
  s.WrittenLastLine = i + 1 == s.Result.LineCount() ? static_cast<std::int32_t>(i) : -1;
  if (s.ItemStart == 0) return;  // a reader called on its own, outside any item
  Span where = s.Result.LineSpan(i);
  if (where.From == 0) where.From = s.ItemStart;
  where.To = -1;
  s.Result.SetLineSpan(i, where);
  if (s.FirstLineWritten > s.LastLineWritten) {
    s.FirstLineWritten = s.LastLineWritten = i;
  } else {
    s.FirstLineWritten = std::min(s.FirstLineWritten, i);
    s.LastLineWritten = std::max(s.LastLineWritten, i);
  }
}

}  // namespace

void AppendTextToNewOrEarlierLine(ParseState& s, std::string_view text) {
  std::size_t line;
  if (HasCurrentLine(s)) {
    line = static_cast<std::size_t>(s.CurrentLine);
    s.Result.AppendToLine(line, text);
  } else {
    line = s.Result.LineCount();
    s.Result.AddLine(text);
  }
  MarkWritten(s, line);
}

void InsertText(ParseState& s, std::int32_t position, std::string_view text) {
  if (!HasCurrentLine(s)) {
    AppendText(s, text);  // the line must exist; make it rather than write out of range
    return;
  }
  const auto i = static_cast<std::size_t>(s.CurrentLine);
  const std::string_view line = s.Result.Line(i);
  if (position <= 0 || static_cast<std::size_t>(position) > line.size()) {
    s.Result.AppendToLine(i, text);
  } else {
    // Positions count bytes of the line. One that falls inside a character of several
    // bytes (a position recorded before the end of a name that stands in front of it)
    // inserts before that whole character, as the one-byte reading inserts before the
    // one byte, instead of cutting it in two.
    auto at = static_cast<std::size_t>(position - 1);
    while (at > 0 && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) --at;
    s.Result.InsertInLine(i, at, text);
  }
  MarkWritten(s, i);
}

void AddError(ParseState& s, std::string message) {
  // A code full of stray characters gives a message per character: room for that many
  // made at the first message spares moving them all at each growth. Untouched room
  // costs no memory, and a code without messages makes none.
  if (s.Result.MessageCount() == 0) s.Result.ReserveMessages(48 * (s.CodeText.size() + 1), s.CodeText.size() + 1);
  s.Result.AddMessage(message, s.Cursor);
}

std::int32_t CurrentLineLength(const ParseState& s) {
  return HasCurrentLine(s) ? static_cast<std::int32_t>(s.Result.Line(static_cast<std::size_t>(s.CurrentLine)).size())
                           : 0;
}

Enclosure ScanEnclosed(ParseState& s, char32_t closing, BraceEnds brace,
                       std::initializer_list<std::string_view> missing) {
  Enclosure e{s.Cursor, ScanToTerminator(s, TerminatorSet().With(static_cast<char>(closing)), false, s.Cursor + 1)};
  if (e.Close == 0 || (brace == BraceEnds::AsMissing && CharAt(s, e.Close) != closing)) {
    std::string message;
    for (std::string_view piece : missing) message += piece;
    AddError(s, std::move(message));
    if (e.Close == 0) e.Close = CodeLength(s) + 1;
  }
  s.Cursor = e.Close + 1;
  return e;
}

std::string EnclosedText(const ParseState& s, Enclosure e) { return CodeSlice(s, e.Open + 1, e.Close); }

std::string ReadNumber(ParseState& s, bool IntegerOnly) {
  std::int32_t i = s.Cursor;
  while (i <= CodeLength(s) && (IsDigit(CharAt(s, i)) || (!IntegerOnly && CharAt(s, i) == U'.'))) ++i;
  std::string number = CodeSlice(s, s.Cursor, i);
  s.Cursor = i;
  return number;
}

std::string WithArticle(std::string_view noun) {
  if (noun.empty()) return {};
  char first = noun.front();
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  const bool vowel = first == 'A' || first == 'E' || first == 'I' || first == 'O' || first == 'U';
  std::string out = vowel ? "an " : "a ";
  out += noun;
  return out;
}

bool EnterNestedRead(ParseState& s) {
  if (s.ReadDepth < MaxNesting) {
    ++s.ReadDepth;
    return true;
  }
  AddError(s, "Error: Code nested too deeply at position " + std::to_string(s.Cursor));
  const std::int32_t next = ScanToTerminator(s, TerminatorSet(" "), false, s.Cursor);
  s.Cursor = next == 0 ? CodeLength(s) + 1 : next;
  return false;
}

}  // namespace zendric
