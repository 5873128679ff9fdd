// The map between a code and its reading: the span of code each result line and each
// message came from, worked out by hand for each code.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ReadingCases.h"
#include "ZNParser.h"

namespace zendric {
namespace {

struct MessageAt {
  std::int32_t position;
  Span item;
};

struct SpanCase {
  std::string_view code;
  std::vector<Span> lines;
  std::vector<MessageAt> messages;
};

std::string Show(Span s) {
  std::string out = "[";
  out += std::to_string(s.From);
  out += ", ";
  out += std::to_string(s.To);
  out += ']';
  return out;
}

void ExpectSpans(const SpanCase& c) {
  SCOPED_TRACE(::testing::Message() << "code: " << testing::Visible(c.code));
  const ParseResult r = ParseCode(c.code);
  std::vector<std::string> want, got;
  for (Span s : c.lines) want.push_back(Show(s));
  for (std::size_t i = 0; i < r.LineCount(); ++i) got.push_back(Show(r.LineSpan(i)));
  EXPECT_EQ(got, want) << "line spans";
  want.clear();
  got.clear();
  for (const MessageAt& m : c.messages) want.push_back(std::to_string(m.position) + " " + Show(m.item));
  for (std::size_t i = 0; i < r.MessageCount(); ++i)
    got.push_back(std::to_string(r.MessagePosition(i)) + " " + Show(r.MessageItem(i)));
  EXPECT_EQ(got, want) << "message positions and items";
}

TEST(Spans, HandWorkedCodes) {
  const SpanCase cases[] = {
      // the species item starts at 1 with the prefix
      {"ZN2.Dw Gm", {{1, 6}, {8, 9}}, {}},
      // the species item reads nothing and gives its line back: Gm writes line 0
      {"ZN2. Gm", {{6, 7}}, {}},
      {"ZN2.   ", {}, {}},
      // the species item alone: it ends with the code, the message points past it
      {"ZN2.", {{1, 4}}, {{5, {1, 4}}}},
      // no prefix: the one message belongs to no item
      {"ZN1.Dw Gm", {}, {{1, {0, 0}}}},
      {"", {}, {{1, {0, 0}}}},
      // an unrecognised character is an item of its own that writes no line
      {"ZN2.Dw x Gm", {{1, 6}, {10, 11}}, {{8, {8, 8}}}},
      {"ZN2.Dw xy", {{1, 6}}, {{8, {8, 8}}, {9, {9, 9}}}},
      // runs of blanks between items and at the end belong to no item
      {"ZN2.Dw   W+   H-  ", {{1, 6}, {10, 11}, {15, 16}}, {}},
      // items without a blank between them
      {"ZN2.Dw W+H-", {{1, 6}, {8, 9}, {10, 11}}, {}},
      // a form block and the items in it belong to the species item
      {"ZN2.Dw{Gm L12m} W+", {{1, 15}, {17, 18}}, {}},
      {"ZN2.Dw{x} W+", {{1, 9}, {11, 12}}, {{8, {1, 9}}}},
      {"ZN2.Dw{Gm", {{1, 9}}, {{10, {1, 9}}}},
      // nested colour patterns and body parts: one item
      {"ZN2.Dw Cbl|re:gr,wre W+", {{1, 6}, {8, 20}, {22, 23}}, {}},
      // a message in the middle of an item carries the whole item
      {"ZN2.Dw L12x", {{1, 6}, {8, 11}}, {{11, {8, 11}}}},
      // a missing closing quote reads to the end; the span stops at the code's end
      {"ZN2.Dw Fr\"apple", {{1, 6}, {8, 15}}, {{10, {8, 15}}}},
      // a code point above U+FFFF is one position
      {"ZN2.Dw \xF0\x9F\x90\x89 W+", {{1, 6}, {10, 11}}, {{8, {8, 8}}}},
      {"ZN2.Dw Fr\"\xF0\x9F\x90\x89\" W+", {{1, 6}, {8, 12}, {14, 15}}, {}},
      {"ZN2.\xF0\x9F\x90\x89 W+", {{1, 5}, {7, 8}}, {{6, {1, 5}}, {6, {1, 5}}}},
  };
  for (const SpanCase& c : cases) ExpectSpans(c);
}

// Every kind of item, each written as one word between single blanks: each line's span
// is its word, found here from the blanks alone.
TEST(Spans, EveryKindOfItemSpansItsWord) {
  const std::string_view code =
      "ZN2.Dw+Hd^Mfps{Gm} Gm>f/h L3.5m2a2l4w T1.5t W+ Cbl+|re:gr,wre,bye Bfl\"blue\"|/ic# A(r+v-) "
      "M+*3 O(ra+2v--) J~ N! H- $~ Tc+[electronics] V++[healing] Q--[telepathy] F+c/v Pw'l2^t "
      "Sks,wf,bh Fr+^*\"apple\" Ac+ Df~ R* S? U2 I-# G~(fm) Cwh/bk@gr+,tgr>re O+2 J+ B- L- T~ W~ "
      "H+++ A+ Pa4!h";
  std::vector<Span> words;
  std::int32_t from = 1;
  for (std::size_t i = 0; i <= code.size(); ++i) {
    if (i == code.size() || code[i] == ' ') {
      words.push_back({from, static_cast<std::int32_t>(i)});
      from = static_cast<std::int32_t>(i) + 2;
    }
  }
  ASSERT_EQ(words.size(), 38u);
  ExpectSpans({code, words, {}});
}

TEST(Spans, LinesAtAPosition) {
  const ParseResult r = ParseCode("ZN2.Dw x  W+H-");
  struct Row {
    std::int32_t position;
    std::size_t first, last;  // lines [first, last)
  };
  const Row rows[] = {
      {0, 0, 0},   {1, 0, 1},  {6, 0, 1},    // the species item
      {7, 1, 1},   {8, 1, 1},  {9, 1, 1},    // a blank, an item without a line, blanks
      {11, 1, 2},  {12, 1, 2}, {13, 2, 3},   // W+ then H-, no blank between them
      {14, 2, 3},  {15, 3, 3}, {1000, 3, 3}, // past the end
  };
  for (const Row& row : rows) {
    const auto [first, last] = r.LinesAt(row.position);
    EXPECT_EQ(first, row.first) << "position " << row.position;
    EXPECT_EQ(last, row.last) << "position " << row.position;
  }
}

// The buffer keeps the lines in order whichever line is written; copies stand alone.
TEST(Spans, ResultBuiltOutOfOrder) {
  ParseResult r;
  r.AddLine("ab", {1, 2});
  r.AddLine("cd", {3, 4});
  r.AppendToLine(0, "X");
  r.InsertInLine(1, 1, "Y");
  r.InsertInLine(0, 0, "Z");
  r.AddMessage("m", 7, {5, 6});
  ASSERT_EQ(r.LineCount(), 2u);
  EXPECT_EQ(r.Line(0), "ZabX");
  EXPECT_EQ(r.Line(1), "cYd");
  EXPECT_EQ(r.LineSpan(1), (Span{3, 4}));
  EXPECT_EQ(r.Message(0), "m");
  EXPECT_EQ(r.MessageItem(0), (Span{5, 6}));

  ParseResult copy = r;
  r.AppendToLine(1, "!");
  EXPECT_EQ(copy.Line(1), "cYd");
  EXPECT_FALSE(copy == r);
  copy.AppendToLine(1, "!");
  EXPECT_TRUE(copy == r);
  copy.SetLineSpan(0, {1, 3});
  EXPECT_FALSE(copy == r);
}

// The longest message and the largest position are kept as messages come: the first
// of equally long ones, positions in any order, nothing left over from before a Clear.
TEST(Spans, LongestMessageAndLargestPosition) {
  struct Message {
    const char* text;
    std::int32_t position;
  };
  struct Row {
    std::vector<Message> messages;
    std::size_t longest;
    std::int32_t largest;
  };
  const Row rows[] = {
      {{}, 0, 0},
      {{{"", 0}}, 0, 0},
      {{{"ab", 9}, {"abc", 3}, {"x", 5}}, 1, 9},
      {{{"abc", 2}, {"xyz", 12}, {"ab", 7}}, 0, 12},
      {{{"a", 4}, {"b", 4}, {"long one", 1}, {"long two", 30}}, 2, 30},
  };
  ParseResult r;
  r.AddMessage("left over from before", 1000);
  for (const Row& row : rows) {
    r.Clear();
    for (const Message& m : row.messages) r.AddMessage(m.text, m.position);
    EXPECT_EQ(r.LongestMessage(), row.longest) << row.messages.size() << " messages";
    EXPECT_EQ(r.LargestMessagePosition(), row.largest) << row.messages.size() << " messages";
  }
}

}  // namespace
}  // namespace zendric
