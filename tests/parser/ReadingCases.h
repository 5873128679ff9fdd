// Table-driven checks of whole readings: every case names a code, every result line
// it must give and every message with its position. A failure prints the code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Catalogue.h"
#include "ParseState.h"
#include "ZNParser.h"
#include "../ui/ReadingLists.h"

namespace zendric::testing {

// The plain lists of a reading, shared with the window's tests, and the same for a
// parse state.
using zendric::Lines;
using zendric::Messages;
using zendric::Positions;
inline std::vector<std::string> Lines(const ParseState& s) { return Lines(s.Result); }
inline std::vector<std::string> Messages(const ParseState& s) { return Messages(s.Result); }
inline std::vector<std::int32_t> Positions(const ParseState& s) { return Positions(s.Result); }

struct Msg {
  std::string_view text;
  int position;
};

struct Case {
  std::string_view code;
  std::vector<std::string_view> lines;
  std::vector<Msg> errors;
};

// Shows carriage returns and NULs so that a mismatch is readable.
inline std::string Visible(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "[CR]";
    else if (c == '\0') out += "[NUL]";
    else out += c;
  }
  return out;
}

inline void ExpectReading(const Case& c) {
  SCOPED_TRACE(::testing::Message() << "code: " << Visible(c.code));
  const ParseResult r = ParseCode(c.code);
  std::vector<std::string> want_lines, got_lines;
  for (auto l : c.lines) want_lines.push_back(Visible(l));
  for (auto& l : Lines(r)) got_lines.push_back(Visible(l));
  EXPECT_EQ(got_lines, want_lines);

  std::vector<std::string> want_errors, got_errors;
  for (const Msg& m : c.errors) want_errors.push_back(std::to_string(m.position) + ": " + Visible(m.text));
  for (std::size_t i = 0; i < r.MessageCount(); ++i)
    got_errors.push_back(std::to_string(r.MessagePosition(i)) + ": " + Visible(r.Message(i)));
  EXPECT_EQ(got_errors, want_errors);
}

inline void ExpectReadings(const std::vector<Case>& cases) {
  for (const Case& c : cases) ExpectReading(c);
}

// The rows of the tag catalogue of the given kinds, in catalogue order.
inline std::vector<const TagRow*> RowsOf(std::initializer_list<TagKind> kinds) {
  std::vector<const TagRow*> rows;
  for (const TagRow& row : TagCatalogue)
    for (TagKind kind : kinds)
      if (row.Kind == kind) rows.push_back(&row);
  return rows;
}

// An item of a tag read by hand inside one open form block, as the species reader reads it:
// the first line it writes, how many it writes, its messages as "position: message",
// and where it stops.
struct BlockReading {
  std::string line;
  std::size_t lineCount;
  std::vector<std::string> errors;
  std::int32_t cursor;
};

inline BlockReading ReadInFormBlock(std::string_view tag, std::u32string code) {
  const TagRow* row = FindTag(tag);
  EXPECT_NE(row, nullptr) << tag;
  if (row == nullptr) return {};
  ParseState s;
  s.CodeText = std::move(code);
  s.Cursor = 1;
  s.CurrentLine = 0;
  s.OpenFormBlocks = 1;
  row->Read(s, *row);
  const ParseResult& out = s.Result;
  BlockReading r{out.LineCount() == 0 ? "" : std::string(out.Line(0)), out.LineCount(), {}, s.Cursor};
  for (std::size_t i = 0; i < out.MessageCount(); ++i)
    r.errors.push_back(std::to_string(out.MessagePosition(i)) + ": " + std::string(out.Message(i)));
  return r;
}

}  // namespace zendric::testing
