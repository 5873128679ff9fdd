// A reading holds its texts and little else, and reads the same whatever memory it was
// made in: room reserved for the worst case goes back, and the last reading's serves.
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

const std::string Braces = "ZN2.Dw" + std::string(200000, '{');
const std::string Items = "ZN2." + std::string(20000, ' ') + "Dw Gm L12m/4t W3t Cbk|wh B~ Dw Gf";

// Room reserved, a line written out of order, the room given back, more written.
TEST(ReadingRoom, FitKeepsEveryText) {
  const std::size_t counts[] = {0, 1, 3000, 100000};
  for (const std::size_t count : counts) {
    ParseResult r;
    r.Reserve(8 << 20, 1 << 20);
    r.ReserveMessages(8 << 20, 1 << 20);
    std::vector<std::string> lines, messages;
    for (std::size_t i = 0; i <= count; ++i) {
      lines.push_back(i == count ? "after" : "line " + std::to_string(i));
      messages.push_back(std::string(i % 7, 'm'));
      if (i == count) r.Fit();
      r.AddLine(lines.back());
      r.AddMessage(messages.back(), static_cast<std::int32_t>(i));
    }
    r.InsertInLine(0, 2, "<");
    lines[0].insert(lines[0].begin() + 2, '<');
    std::vector<std::string> gotLines, gotMessages;
    for (std::size_t i = 0; i < r.LineCount(); ++i) gotLines.emplace_back(r.Line(i));
    for (std::size_t i = 0; i < r.MessageCount(); ++i) gotMessages.emplace_back(r.Message(i));
    EXPECT_EQ(gotLines, lines) << count;
    EXPECT_EQ(gotMessages, messages) << count;
  }
}

// Made in the memory of a reading of more, of less, or of the same code a key earlier.
TEST(ReadingRoom, ReadInTheRoomOfAnother) {
  const std::pair<std::string, std::string> cases[] = {
      {Braces, Braces + "x"}, {Braces + "x", Braces}, {Braces, "ZN2.Dw Gm"}, {"ZN2.Dw Gm", Braces},
      {Braces, Items},        {Items, Braces},        {"", "ZN2.Dw Gm L12m"},
  };
  for (const auto& [room, code] : cases) {
    const ParseResult fresh = ParseCode(code);
    const ParseResult reused = ParseCode(code, ParseCode(room));
    EXPECT_TRUE(reused == fresh) << room.size() << " then " << code.size();
    EXPECT_EQ(reused.LongestMessage(), fresh.LongestMessage());
    EXPECT_EQ(reused.LargestMessagePosition(), fresh.LargestMessagePosition());
  }
}

#if defined(__GLIBC__) && !defined(ZENDRIC_ASAN)
// The heap a kept reading takes: its texts and a quarter more, 24 bytes an entry and a
// little slack. The room reserved at the first message, 48 bytes per code byte, would
// be 48 MB for the one message of a megabyte of quotes.
TEST(ReadingRoom, KeptReadingHoldsItsTexts) {
  std::string items = "ZN2.";
  while (items.size() < 1000000) items += "Dw Gm L12m/4t W3t Cbk|wh B~ ";
  const std::string codes[] = {"ZN2.Dw" + std::string(1000000, '"'), "ZN2.Dw" + std::string(1000000, '{'), items,
                               std::string(1000000, 'x')};
  for (const std::string& code : codes) {
    const struct mallinfo2 before = mallinfo2();
    const ParseResult r = ParseCode(code);
    const struct mallinfo2 after = mallinfo2();
    const std::size_t held = (after.uordblks + after.hblkhd) - (before.uordblks + before.hblkhd);
    std::size_t text = 0;
    for (std::size_t i = 0; i < r.LineCount(); ++i) text += r.Line(i).size();
    for (std::size_t i = 0; i < r.MessageCount(); ++i) text += r.Message(i).size();
    const std::size_t entries = r.LineCount() + r.MessageCount();
    EXPECT_GT(text, 0u);
    EXPECT_LE(held, text + text / 4 + 24 * entries + (1 << 20)) << code.substr(0, 8) << ": " << text << " bytes";
  }
}

// Room mostly used but a good part not still goes back, but for a thirty-second kept for
// the next reading of the same code.
TEST(ReadingRoom, FitGivesBackRoomPartlyUsed) {
  const std::size_t reserved = 8 << 20;
  for (const std::size_t used : {reserved / 2, reserved * 3 / 4, reserved * 7 / 8}) {
    const std::string line(used, 'a');
    const struct mallinfo2 before = mallinfo2();
    {
      ParseResult r;
      r.Reserve(reserved, 1);
      r.AddLine(line);
      r.Fit();
      const struct mallinfo2 after = mallinfo2();
      const std::size_t held = (after.uordblks + after.hblkhd) - (before.uordblks + before.hblkhd);
      EXPECT_LE(held, used + used / 32 + (64 << 10)) << used << " of " << reserved;
    }
  }
}
#endif

}  // namespace
}  // namespace zendric
