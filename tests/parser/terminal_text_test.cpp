#include <gtest/gtest.h>

#include <string>

#include "TerminalText.h"

namespace zendric {
namespace {

TEST(TerminalText, NothingReachesTheTerminalThatItWouldActOn) {
  const struct {
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"ZN2.Dw Gm", "ZN2.Dw Gm"},
      {"a\x1B]0;x\a\x1B[2J", "a\u241B]0;x\u2407\u241B[2J"},
      {"tab\there\r\n", "tab\u2409here\u240D\u240A"},
      {"del\x7F", "del\u2421"},
      {"\xC2\x9B" "31m", "\u241B[31m"},  // a C1 control: its 7-bit equivalent
      {"left\u202Eright", "left<U+202E>right"},
      {"\u2066\u200F\u061C", "<U+2066><U+200F><U+061C>"},
      {"bad \xFF\xC3", "bad \uFFFD\uFFFD"},
      {"\u00E9\U0001F409", "\u00E9\U0001F409"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(VisibleText(c.bytes), c.shown);
  }
}

TEST(TerminalText, ColumnsCountWhatIsShown) {
  const struct {
    std::string text;
    int columns;
  } cases[] = {{"a", 1}, {"\x1B", 1}, {"\u202E", 8}, {"\xC2\x9B", 2}, {"\u00E9", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(VisibleColumns(c.text, 0), c.columns);
  }
}

}  // namespace
}  // namespace zendric
