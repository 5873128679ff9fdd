// The page's field rules: which characters the join removes, how a lone surrogate
// reads, and where positions land in UTF-16 offsets.
#include <gtest/gtest.h>

#include <vector>

#include "FieldText.h"

namespace zendric {
namespace {

TEST(FieldText, CodeOfField) {
  struct Case {
    std::u16string field;
    std::string code;
  };
  const Case cases[] = {
      {u"", ""},
      {u"ZN2.Dw\nGm", "ZN2.DwGm"},
      {u"\r\nZN2.\u2028Dw\u2029", "ZN2.Dw"},
      {u"\u00e9\u4e2d\U0001F409", "\xc3\xa9\xe4\xb8\xad\xf0\x9f\x90\x89"},
      {u"a\xD800" u"b", "a\xef\xbf\xbd" "b"},       // lone high surrogate
      {u"\xDC00\xD83D", "\xef\xbf\xbd\xef\xbf\xbd"},  // low before high: two lone ones
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(CodeOfField(c.field), c.code) << std::string(c.code);
}

TEST(FieldText, OffsetsAndMarks) {
  // Positions in the joined code; the field has a line break and a pair before "X".
  const std::u16string field = u"ZN2.Dw \U0001F409\nGm Xq\n";
  struct Case {
    std::int32_t position, offset, markFrom, markTo;
  };
  const Case cases[] = {
      {-3, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 0, 1},      {7, 7, 6, 7},
      {8, 9, 7, 9},  {9, 11, 10, 11},                  // the break before G is skipped
      {12, 14, 13, 14}, {13, 15, 14, 15}, {14, 16, 14, 15}, {1000, 16, 14, 15},
  };
  std::vector<std::int32_t> positions;
  for (auto it = std::rbegin(cases); it != std::rend(cases); ++it) positions.push_back(it->position);
  const std::vector<std::int32_t> offsets = FieldOffsetsForCodePositions(field, positions);
  ASSERT_EQ(offsets.size(), positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const Case& c = cases[std::size(cases) - 1 - i];
    SCOPED_TRACE(c.position);
    EXPECT_EQ(offsets[i], c.offset);
    EXPECT_EQ(CharacterBefore(field, offsets[i]), std::make_pair(c.markFrom, c.markTo));
  }
}

TEST(FieldText, PositionsAndRanges) {
  const std::u16string field = u"ZN2.Dw\n\U0001F409Gm \nL12m";
  // {field offset, code positions before it}
  const std::pair<std::int32_t, std::int32_t> before[] = {
      {-1, 0}, {0, 0}, {6, 6}, {7, 6}, {8, 7}, {9, 7}, {11, 9}, {13, 10}, {17, 14}, {99, 14}};
  for (const auto& [offset, count] : before) EXPECT_EQ(CodePositionsBefore(field, offset), count) << offset;
  // {from, to, field range}: a range starts after the line breaks in front of it.
  struct Case {
    std::int32_t from, to;
    std::pair<std::int32_t, std::int32_t> range;
  };
  const Case ranges[] = {
      {5, 6, {4, 6}}, {7, 9, {7, 11}}, {8, 9, {9, 11}}, {11, 14, {13, 17}}, {7, 7, {7, 9}}, {14, 20, {16, 17}},
  };
  for (const Case& c : ranges) EXPECT_EQ(FieldRangeOfPositions(field, c.from, c.to), c.range) << c.from << "-" << c.to;
}

}  // namespace
}  // namespace zendric
