// What the front ends say about a text too large for the field, and the finder fed
// its pieces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldModel.h"
#include "LargeText.h"

namespace zendric {
namespace {

TEST(LargeText, Words) {
  constexpr std::uintmax_t MB = 1 << 20;
  const struct {
    std::string got, expected;
  } rows[] = {
      {MegabytesOf(0), "0.0 MB"},
      {MegabytesOf(MB / 4), "0.3 MB"},  // a half rounds up, as the page rounds
      {MegabytesOf(MB / 4 - 1), "0.2 MB"},
      {MegabytesOf(50.0 * MB), "50.0 MB"},
      {MegabytesOf(9.96 * MB), "10.0 MB"},
      {CountOfCodes(1), "a Zendric 2 code"},
      {CountOfCodes(0), "0 Zendric 2 codes"},
      {CountOfCodes(200000), "200,000 Zendric 2 codes"},
      {CountOfCodes(1234567), "1,234,567 Zendric 2 codes"},
      {LargeTextNote("file big.txt"), "The file big.txt is too large for the code field (over 4.0 MB): choose a code "
                                      "to read it alone."},
      {LookingHeading(5 * MB, 1000), "Looking for Zendric 2 codes in 5.0 MB of text: 1,000 found so far"},
      {FoundHeading(5 * MB, 0, 0), "No Zendric 2 code in 5.0 MB of text"},
      {FoundHeading(5 * MB, 1, 12), "Found a Zendric 2 code on line 12 of 5.0 MB of text"},
      {FoundHeading(5 * MB, 3, 12), "Found 3 Zendric 2 codes in 5.0 MB of text"},
      {StoppedHeading(40 * MB, 1, 4, 1), "Stopped after 10.0 MB of 40.0 MB: a Zendric 2 code found"},
      {TakenNote("pasted text", 8 * MB + MB / 2, 12345),
       "The pasted text was 8.5 MB: only the code from line 12,345 was taken into the field."},
  };
  for (const auto& row : rows) EXPECT_EQ(row.got, row.expected);
  EXPECT_FALSE(TooLargeForField(MaxReadingBytes));
  EXPECT_TRUE(TooLargeForField(MaxReadingBytes + 1));
}

// Cut anywhere, a pair included, the units give the codes the whole text gives.
TEST(LargeText, FinderOverUnitsCutAnywhere) {
  const std::u16string text = u"\U0001F409 ZN2.Dw Gm\n\U0001F409\U0001F409 ZN2.Hd\r\n> ZN2.Dw\n> L4m\n";
  const std::vector<FoundCode> whole = FindCodes(FieldAsUtf8(text));
  ASSERT_EQ(whole.size(), 3u);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    SCOPED_TRACE(cut);
    LargeTextFinder finder;
    finder.FeedUnits(std::u16string_view(text).substr(0, cut));
    finder.FeedUnits(std::u16string_view(text).substr(cut));
    finder.Finish();
    ASSERT_EQ(finder.Found().size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(finder.Found()[i].Code, whole[i].Code);
      EXPECT_EQ(finder.Found()[i].Line, whole[i].Line);
      EXPECT_EQ(finder.Found()[i].Column, whole[i].Column);
    }
  }
}

}  // namespace
}  // namespace zendric
