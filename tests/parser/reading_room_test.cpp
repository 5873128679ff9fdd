// A reading holds its texts and little else: the room made up front for the worst case
// goes back once it is whole, and the entries stay small.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "Sanitizers.h"
#include "ZNParser.h"

namespace zendric {
namespace {

// Room reserved, texts written out of order, the room given back, then more written:
// the texts read the same whatever the room.
TEST(ReadingRoom, FitKeepsEveryText) {
  const std::size_t sizes[] = {0, 1, 3000, 100000};
  for (std::size_t count : sizes) {
    SCOPED_TRACE(count);
    ParseResult r;
    r.Reserve(8 << 20, 1 << 20);
    r.ReserveMessages(8 << 20, 1 << 20);
    std::vector<std::string> lines, messages;
    for (std::size_t i = 0; i < count; ++i) {
      lines.push_back("line " + std::to_string(i));
      r.AddLine(lines.back(), {static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(i + 1)});
      messages.push_back(std::string(i % 7, 'm'));
      r.AddMessage(messages.back(), static_cast<std::int32_t>(i));
    }
    if (count > 1) {
      r.InsertInLine(0, 2, "<");
      lines[0] = "li<ne 0";
    }
    r.Fit();
    r.AddLine("after");
    lines.push_back("after");
    r.AppendToLine(0, ">");
    lines[0] += ">";
    r.AddMessage("after", 5);
    messages.push_back("after");
    ASSERT_EQ(r.LineCount(), lines.size());
    ASSERT_EQ(r.MessageCount(), messages.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(r.Line(i), lines[i]) << "line " << i;
    }
    for (std::size_t i = 0; i < messages.size(); ++i) {
      ASSERT_EQ(r.Message(i), messages[i]) << "message " << i;
    }
    if (count > 1) {
      EXPECT_EQ(r.LineSpan(1), (Span{2, 2}));
    }
  }
}

// A reading made in the memory of another reads as one made afresh, whatever the other
// held: more, less, or the same code a key earlier.
TEST(ReadingRoom, ReadInTheRoomOfAnother) {
  const std::string braces = "ZN2.Dw" + std::string(200000, '{');
  const std::string items = "ZN2." + std::string(20000, ' ') + "Dw Gm L12m/4t W3t Cbk|wh B~ Dw Gf";
  const struct {
    std::string room, code;
  } cases[] = {
      {braces, braces + "x"},
      {braces + "x", braces},
      {braces, "ZN2.Dw Gm"},
      {"ZN2.Dw Gm", braces},
      {braces, items},
      {items, braces},
      {"", "ZN2.Dw Gm L12m"},
      {"ZN2.Dw Gm L12m", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.room.size());
    SCOPED_TRACE(c.code.size());
    const ParseResult fresh = ParseCode(c.code);
    const ParseResult reused = ParseCode(c.code, ParseCode(c.room));
    EXPECT_TRUE(reused == fresh);
    EXPECT_EQ(reused.LongestMessage(), fresh.LongestMessage());
    EXPECT_EQ(reused.LargestMessagePosition(), fresh.LargestMessagePosition());
  }
}

#if defined(__GLIBC__) && !defined(ZENDRIC_ASAN)
std::string Repeat(const std::string& piece, std::size_t size) {
  std::string out;
  while (out.size() < size) out += piece;
  return out;
}

// Blocks in the heap and blocks mapped on their own alike.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The heap a kept reading takes, against its texts: at most the texts and a quarter
// more, 24 bytes an entry and a little slack. The interpreter reserves 48 bytes of message text per code
// byte at the first message; a reading that kept that room would hold 48 MB for the
// one message of a megabyte of quotes.
TEST(ReadingRoom, KeptReadingHoldsItsTexts) {
  struct Case {
    const char* label;
    std::string code;
  };
  const Case cases[] = {
      {"a quote run", "ZN2.Dw" + std::string(1000000, '"')},
      {"a brace run", "ZN2.Dw" + std::string(1000000, '{')},
      {"items", "ZN2." + Repeat("Dw Gm L12m/4t W3t Cbk|wh B~ ", 1000000)},
      {"no prefix", std::string(1000000, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::size_t before = HeapInUse();
    const ParseResult r = ParseCode(c.code);
    const std::size_t held = HeapInUse() - before;
    std::size_t text = 0;
    for (std::size_t i = 0; i < r.LineCount(); ++i) text += r.Line(i).size();
    for (std::size_t i = 0; i < r.MessageCount(); ++i) text += r.Message(i).size();
    const std::size_t entries = r.LineCount() + r.MessageCount();
    EXPECT_GT(text, 0u);
    EXPECT_LE(held, text + text / 4 + 24 * entries + (1 << 20)) << "text " << text << ", entries " << entries;
  }
}
#endif

}  // namespace
}  // namespace zendric
