#include "ParseState.h"

#include <algorithm>

namespace zendric {

void AppendUtf8(std::string& out, char32_t ch) {
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

std::string CharText(char32_t ch) {
  std::string out;
  AppendUtf8(out, ch);
  return out;
}

std::u32string DecodeUtf8(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      // Codes are mostly ASCII: take the whole run at once.
      std::size_t j = i + 1;
      while (j < n && p[j] < 0x80) ++j;
      out.append(p + i, p + j);
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
      out += U'\uFFFD';  // stray continuation byte or a byte that never leads
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
    out += complete ? cp : U'\uFFFD';
  }
  return out;
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
  out.reserve(static_cast<std::size_t>(to - from));
  for (std::int32_t p = from; p < to; ++p) AppendUtf8(out, s.CodeText[static_cast<std::size_t>(p - 1)]);
  return out;
}

void AppendText(ParseState& s, std::string_view text) {
  const auto line = static_cast<std::size_t>(s.CurrentLine);
  if (s.CurrentLine >= 0 && line < s.ResultLines.size()) {
    s.ResultLines[line] += text;
  } else {
    // Most items write a heading and then more; room for a typical line up front
    // spares growing it piece by piece.
    std::string& line = s.ResultLines.emplace_back();
    line.reserve(std::max<std::size_t>(text.size(), 120));
    line += text;
  }
}

void InsertText(ParseState& s, std::int32_t position, std::string_view text) {
  if (s.CurrentLine < 0 || static_cast<std::size_t>(s.CurrentLine) >= s.ResultLines.size()) {
    AppendText(s, text);  // the entry must exist; make it rather than write out of range
    return;
  }
  std::string& line = s.ResultLines[static_cast<std::size_t>(s.CurrentLine)];
  if (position <= 0 || static_cast<std::size_t>(position) > line.size()) {
    line += text;
  } else {
    // Positions count bytes of the line. One that falls inside a character of several
    // bytes (a position recorded before the end of a name that stands in front of it)
    // inserts before that whole character, as the one-byte reading inserts before the
    // one byte, instead of cutting it in two.
    auto at = static_cast<std::size_t>(position - 1);
    while (at > 0 && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) --at;
    line.insert(at, text);
  }
}

void AddError(ParseState& s, std::string message) {
  s.ErrorMessages.push_back(std::move(message));
  s.ErrorPositions.push_back(s.Cursor);
}

void ClearErrorPositions(ParseState& s) { s.ErrorPositions.clear(); }

std::int32_t ScanToTerminator(const ParseState& s, TerminatorSet set, bool StopAtTag,
                              std::int32_t start) {
  if (s.OpenFormBlocks > 0) set = set.With('}');
  const std::int32_t length = CodeLength(s);
  for (std::int32_t i = std::max(start, 1); i <= length; ++i) {
    const char32_t ch = s.CodeText[static_cast<std::size_t>(i - 1)];
    if (set.Contains(ch) || (StopAtTag && (IsTagLetter(ch) || ch == U'$'))) return i;
  }
  return 0;
}

bool AcceptChar(ParseState& s, char32_t ch) {
  if (s.Cursor <= CodeLength(s) && CurrentChar(s) == ch) {
    ++s.Cursor;
    return true;
  }
  return false;
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

bool IsTagLetter(char32_t ch) { return ch >= U'A' && ch <= U'Z'; }

bool IsDigit(char32_t ch) { return ch >= U'0' && ch <= U'9'; }

bool AtItemBoundary(const ParseState& s) {
  const char32_t ch = CurrentChar(s);
  return IsTagLetter(ch) || ch == U' ' || (s.OpenFormBlocks > 0 && ch == U'}');
}

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
