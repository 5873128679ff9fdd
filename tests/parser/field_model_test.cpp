// The code field's model, over one table of field texts: what is read, where positions
// land, the caret's item, where a message puts the caret and its wave, and the offer of
// found codes. Every row is also checked for what must hold of any text.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "FieldModel.h"
#include "Fixes.h"

namespace zendric {

void PrintTo(const FieldRange& range, std::ostream* out) { *out << "{" << range.Start << ", " << range.End << "}"; }
void PrintTo(const AlikeEnds& ends, std::ostream* out) { *out << "{" << ends.Head << ", " << ends.Tail << "}"; }

void PrintTo(const MarkedMessage& mark, std::ostream* out) {
  *out << "{{" << mark.Mark.Start << ", " << mark.Mark.End << "}, " << mark.Message << "}";
}

void PrintTo(const MessagePlace& place, std::ostream* out) {
  *out << "{" << place.Caret << ", {" << place.Mark.Start << ", " << place.Mark.End << "}}";
}

namespace {

struct Row {
  const char* name;
  std::u16string field;
  std::string code;
  std::vector<std::pair<std::int32_t, std::int32_t>> offsets;  // {code position, field offset after it}
  std::vector<std::pair<std::int32_t, std::u16string>> items;  // {caret, the caret's item as the field has it}
  std::vector<MessagePlace> messages;                          // every message's, in order
  std::vector<std::string> offer;                              // its entries; empty: no offer
};

const Row Rows[] = {
    {"every line end", u"ZN2.Dw\n Gm\r L4m\r\n Xq\n\r", "ZN2.Dw Gm L4m Xq",
     {{0, 0}, {6, 6}, {7, 8}, {10, 12}, {14, 18}, {16, 20}, {17, 22}},
     // either side of the blank before Gm, and either side of the line end after it
     {{6, u"ZN2.Dw"}, {7, u"ZN2.Dw"}, {8, u"Gm"}, {10, u"Gm"}, {11, u"Gm"}, {12, u"L4m"}, {19, u""}},
     {{19, {18, 19}}, {20, {19, 20}}},
     {}},
    {"U+2028 and U+2029 are characters", u"ZN2.Dw\u2028 Gm\u2029 Xq", "ZN2.Dw\u2028 Gm\u2029 Xq",
     {{7, 7}, {11, 11}, {12, 12}},
     {{7, u"ZN2.Dw\u2028"}, {10, u"Gm"}},
     // the blank after the species takes the caret back to its end
     {{7, {7, 8}}, {11, {10, 11}}, {13, {12, 13}}, {14, {13, 14}}},
     {}},
    {"a character above U+FFFF", u"ZN2.Dw \U0001F409 \nGm Xq", "ZN2.Dw \U0001F409 Gm Xq",
     {{7, 7}, {8, 9}, {9, 10}, {10, 12}, {13, 15}},
     {{8, u""}, {11, u"Gm"}, {13, u"Gm"}},
     {{9, {7, 9}}, {15, {14, 15}}, {16, {15, 16}}},
     {}},
    {"a message on a blank after a line end", u"ZN2.Dw L12\n Gm", "ZN2.Dw L12 Gm",
     {{10, 10}, {11, 12}},
     {{10, u"L12\n "}, {12, u"L12\n "}, {13, u"Gm"}},
     {{10, {11, 12}}},
     {}},
    {"two messages on a blank", u"ZN2.D[  ]", "ZN2.D[  ]",
     {},
     {{6, u"ZN2.D["}},
     {{6, {6, 7}}, {6, {6, 7}}, {9, {8, 9}}},
     {}},
    {"a message past the end", u"ZN2.Dw L12 \n\n", "ZN2.Dw L12 ",
     {{11, 11}, {12, 13}},
     {},
     {{10, {10, 11}}},
     {}},
    {"a lone surrogate", u"ZN2.\xD800 Gm", "ZN2.\uFFFD Gm",
     {{5, 5}, {8, 8}},
     {{5, u"ZN2.\xD800"}},
     {{5, {5, 6}}, {5, {5, 6}}},
     {}},
    {"empty", u"", "", {{1, 0}}, {{0, u""}}, {{0, {0, 0}}}, {}},
    {"a signature", u"Cheers,\n-- \nZN2.Dw Gm\n", "Cheers,-- ZN2.Dw Gm", {}, {}, {{1, {0, 1}}},
     {"Line 3, column 1: I am a Western Dragon (0 messages)"}},
    {"a blank in front", u" ZN2.Dw", " ZN2.Dw", {}, {}, {{0, {0, 1}}}, {"Line 1, column 2: I am a Western Dragon (0 messages)"}},
    {"codes, one a line", u"ZN2.Dw Gq\rZN2.Hd L4m\r\n", "ZN2.Dw GqZN2.Hd L4m", {}, {}, {{9, {8, 9}}, {9, {8, 9}}, {11, {10, 11}}, {13, {12, 13}}, {16, {15, 16}}},
     {"Line 1, column 1: I am a Western Dragon (2 messages)", "Line 2, column 1: I am a Dwarf (0 messages)"}},
    {"a code over two lines", u"ZN2.Dw Gm\nL4m", "ZN2.Dw GmL4m", {}, {}, {}, {}},
    {"codes apart by U+2028: one line", u"ZN2.Dw\u2028ZN2.Hd", "ZN2.Dw\u2028ZN2.Hd", {}, {},
     {{8, {7, 8}}, {8, {7, 8}}, {10, {9, 10}}, {13, {12, 13}}}, {}},
};

// The code's code points, each with the UTF-16 units it takes in the field.
std::u16string FieldTextOf(const FieldModel& model, FieldRange range) {
  return std::u16string(model.Text().substr(range.Start, range.End - range.Start));
}

TEST(FieldModel, Table) {
  for (const Row& row : Rows) {
    SCOPED_TRACE(row.name);
    const FieldModel model(row.field);
    EXPECT_EQ(model.Code(), row.code);
    EXPECT_EQ(CodeOfField(row.field), row.code);
    EXPECT_EQ(model.Reading(), ParseCode(row.code));
    for (const auto& [position, offset] : row.offsets) EXPECT_EQ(model.OffsetAfter(position), offset) << position;
    for (const auto& [caret, item] : row.items) EXPECT_EQ(FieldTextOf(model, model.ItemAt(caret).Where), item) << caret;
    std::vector<MessagePlace> places = model.Places();
    ASSERT_EQ(places.size(), row.messages.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(places[i], row.messages[i]);
      EXPECT_EQ(model.PlaceOf(i), row.messages[i]);
    }
    std::vector<std::string> offer;
    for (const OfferedCode& code : model.Offer()) offer.push_back(OfferEntry(code));
    EXPECT_EQ(offer, row.offer);
  }
}

// What holds for any text: each position maps to the field just after its own
// character and back; an item's field range holds its code; the caret's item names the
// reading's lines of that item.
TEST(FieldModel, BothWaysOnEveryRow) {
  for (const Row& row : Rows) {
    SCOPED_TRACE(row.name);
    const FieldModel model(row.field);
    const std::u32string code = [&] {
      std::u32string points;
      for (std::size_t i = 0; i < row.field.size(); ++i) {
        const char16_t u = row.field[i];
        if (IsLineEnd(u)) continue;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < row.field.size() && row.field[i + 1] >= 0xDC00 && row.field[i + 1] < 0xE000)
          points += 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(row.field[++i]) - 0xDC00);
        else
          points += u;
      }
      return points;
    }();
    for (std::int32_t p = 1; p <= static_cast<std::int32_t>(code.size()); ++p) {
      const std::int32_t offset = model.OffsetAfter(p);
      EXPECT_EQ(model.PositionsBefore(offset), p);
      const bool pair = code[p - 1] > 0xFFFF;
      ASSERT_GE(offset, pair ? 2 : 1);
      const char16_t last = row.field[offset - 1];
      EXPECT_EQ(pair ? 0x10000 + ((char32_t(row.field[offset - 2]) - 0xD800) << 10) + (last - 0xDC00) : char32_t(last),
                code[p - 1])
          << p;
    }
    const ParseResult& reading = model.Reading();
    for (std::size_t line = 0; line < reading.LineCount(); ++line) {
      const FieldRange where = model.LineItem(line);
      EXPECT_EQ(CodeOfField(model.Text().substr(where.Start, where.End - where.Start)), model.CodeOf(reading.LineSpan(line)));
      const CaretItem item = model.ItemAt(where.End);
      EXPECT_LE(item.FirstLine, line);
      EXPECT_GT(item.LastLine, line);
      EXPECT_EQ(item.Where, where);
    }
  }
}

TEST(FieldModel, HeadingsAndLongTexts) {
  const FieldModel one(u"-- \nZN2.Dw");
  EXPECT_EQ(OfferHeading(one.Offer()), "Found a Zendric 2 code on line 2");
  const FieldModel two(u"ZN2.Dw\nZN2.Hd");
  EXPECT_EQ(OfferHeading(two.Offer()), "Found 2 Zendric 2 codes");

  // Far into a long text, past many of the model's resting places, with line ends and
  // pairs among them: the same answers as a walk from the start.
  std::u16string field = u"ZN2.Dw";
  for (int i = 0; i < 3000; ++i) field += i % 7 == 0 ? u" \U0001F409\r\n" : u" Gm\n";
  const FieldModel model(field);
  for (std::int32_t offset : {0, 1023, 1024, 1025, 5000, 9999, static_cast<std::int32_t>(field.size())}) {
    std::int32_t before = 0;
    for (std::int32_t i = 0; i < offset; ++i) {
      if (IsLineEnd(field[i])) continue;
      if (field[i] >= 0xD800 && field[i] < 0xDC00) ++i;
      ++before;
    }
    EXPECT_EQ(model.PositionsBefore(offset), before) << offset;
    EXPECT_EQ(model.PositionsBefore(model.OffsetAfter(before)), before) << offset;
  }
  const std::vector<MessagePlace> places = model.Places();
  ASSERT_FALSE(places.empty());
  for (std::size_t i = 0; i < places.size(); i += 97) EXPECT_EQ(places[i], model.PlaceOf(i)) << i;
}

// The message Ctrl+. opens: the wave before the caret, then the one after it, then the
// caret's item; the first of several.
TEST(FieldModel, MessageAtCaret) {
  struct Case {
    std::u16string field;
    std::int32_t caret;
    std::int32_t message;
  };
  const std::u16string code = u"ZN2.Dw Gm L12q Cbl|zz B- A(r+v-) Q";  // at 14 (q), at 22 (the blank after zz)
  const Case cases[] = {
      {code, 14, 0},          // just after the q
      {code, 13, 0},          // just before it
      {code, 21, 1},          // after zz: the wave on the blank
      {code, 22, 1},          // after the blank
      {code, 17, 1},          // inside Cbl|zz, no wave
      {code, 15, 1},          // after the blank behind L12q: the next item's start
      {code, 3, -1},          // in the prefix, which has no message
      {u"ZN2.Dw Gx A(r+v-", 9, 0},   // two messages on the x: the first
      {u"ZN2.Dw Gx A(r+v-", 16, 2},  // past the end: the wave on the last character
      {u"zn2.dw Gm", 5, 0},           // a message of no item
      {u"ZN2.Dw Gm", 4, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.field.begin(), c.field.end()) << " caret " << c.caret);
    EXPECT_EQ(FieldModel(c.field).MessageAt(c.caret), c.message);
  }
}

// An edit's field range, across line ends and a pair; and every fix of a field with
// line ends, put into the field at its range, gives the code ApplyFix gives.
TEST(FieldModel, EditRanges) {
  struct Case {
    std::u16string field;
    std::int32_t from, to;
    FieldRange range;
  };
  const std::u16string broken = u"ZN2.Dw Gm L12q\nCbl|zz B-";
  const Case cases[] = {
      {broken, 14, 14, {13, 14}},
      {broken, 15, 14, {14, 14}},  // an insertion after the q: in front of the line end
      {broken, 15, 17, {15, 18}},  // Cbl: the line end before it is not replaced
      {broken, 24, 23, {24, 24}},  // an insertion at the end
      {broken, 1, 0, {0, 0}},
      {u"ZN2.Dw \U0001F409 Gm", 8, 8, {7, 9}},
      {u"ZN2.Dw \U0001F409 Gm", 9, 8, {9, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << ".." << c.to);
    EXPECT_EQ(FieldModel(c.field).EditRange(c.from, c.to), c.range);
  }

  for (const std::u16string& field : {std::u16string(u"ZN2.Dw Gx A(r+v-\r\n L12q\nCbl|zz"), std::u16string(u"zn2.dw\n Gm"),
                                     std::u16string(u"ZN2.Dw \U0001F409\nGx Cbl|zz")}) {
    const FieldModel model(field);
    std::size_t fixes = 0;
    for (const std::vector<Fix>& offered : FixesForEach(model.Code(), model.Reading())) {
      for (const Fix& fix : offered) {
        SCOPED_TRACE(fix.Label);
        ++fixes;
        ASSERT_TRUE(std::all_of(fix.Text.begin(), fix.Text.end(), [](char b) { return (b & 0x80) == 0; }));
        const FieldRange range = model.EditRange(fix.From, fix.To);
        std::u16string edited = field;
        edited.replace(range.Start, range.End - range.Start, std::u16string(fix.Text.begin(), fix.Text.end()));
        EXPECT_EQ(CodeOfField(edited), ApplyFix(model.Code(), fix));
      }
    }
    EXPECT_GE(fixes, 1u);
  }
}

// Fields with messages on blanks, on characters of two units, past line ends, and
// several on one character.
std::vector<std::u16string> MarkedFields() {
  std::u16string many = u"ZN2.Dw";
  for (int i = 0; i < 400; ++i) many += i % 5 == 0 ? u" \U0001F409{{\r\n" : i % 3 ? u" W+ Xq" : u" ]]]  [[";
  return {u"ZN2.Dw {{{{ L4q Xq", u"ZN2.D[  ] ]]] W~~ \n Gm Gm", many};
}

// The waves drawn: the marks of the messages in field order, those that overlap or
// touch joined, then those wholly in the range kept, the first `most`; found by a walk
// over part of the field, they must be those of all the marks.
TEST(FieldModel, WavesIn) {
  const struct {
    std::u16string field;
    FieldRange within;
    std::vector<FieldRange> waves;
  } rows[] = {
      {u"ZN2.D[  ]", {0, 100}, {{6, 7}, {8, 9}}},  // two messages on one blank: one wave
      {u"ZN2.D[  ]", {0, 8}, {{6, 7}}},            // the one past the end left out
      {u"ZN2.D[  ]", {7, 100}, {{8, 9}}},
      {u"ZN2.Dw Gm", {0, 100}, {}},
  };
  for (const auto& row : rows) EXPECT_EQ(FieldModel(row.field).WavesIn(row.within), row.waves);

  for (const std::u16string& field : MarkedFields()) {
    const FieldModel model(field);
    std::vector<FieldRange> marks, all;
    for (const MessagePlace& place : model.Places())
      if (place.Mark.End > place.Mark.Start) marks.push_back(place.Mark);
    std::ranges::stable_sort(marks, {}, &FieldRange::Start);
    for (FieldRange mark : marks) {
      if (!all.empty() && mark.Start <= all.back().End) all.back().End = std::max(all.back().End, mark.End);
      else all.push_back(mark);
    }
    const std::int32_t size = static_cast<std::int32_t>(field.size());
    for (const FieldRange within : {FieldRange{0, size}, {0, size / 3}, {7, size}, {size / 4, size / 2}, {9, 9}}) {
      std::vector<FieldRange> in;
      std::ranges::copy_if(all, std::back_inserter(in), [&](FieldRange w) { return w.Start >= within.Start && w.End <= within.End; });
      for (const std::size_t most : {std::size_t{0}, std::size_t{1}, std::size_t{7}, SIZE_MAX}) {
        std::vector<FieldRange> want(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(std::min(most, in.size())));
        EXPECT_EQ(model.WavesIn(within, most), want) << within.Start << ".." << within.End << " most " << most;
      }
    }
  }
}

// The marks of the part of the field drawn: found by a walk from a halving, they must be
// those of every message whose character overlaps the part, in field order and, on one
// character, in the order of the messages.
TEST(FieldModel, MarksIn) {
  const struct {
    std::u16string field;
    FieldRange within;
    std::vector<MarkedMessage> marks;
  } rows[] = {
      {u"ZN2.D[  ]", {0, 100}, {{{6, 7}, 0}, {{6, 7}, 1}, {{8, 9}, 2}}},  // two on one blank
      {u"ZN2.D[  ]", {7, 8}, {}},                                         // between the marks
      {u"ZN2.D[  ]", {8, 9}, {{{8, 9}, 2}}},
      {u"ZN2.Dw Gm", {0, 100}, {}},
  };
  for (const auto& row : rows) EXPECT_EQ(FieldModel(row.field).MarksIn(row.within), row.marks);

  for (const std::u16string& field : MarkedFields()) {
    const FieldModel model(field);
    const std::vector<MessagePlace> places = model.Places();
    const std::int32_t size = static_cast<std::int32_t>(field.size());
    for (const FieldRange within : {FieldRange{0, size}, {0, size / 3}, {7, size}, {size / 4, size / 2}, {9, 10}}) {
      std::vector<MarkedMessage> want;
      for (std::size_t i = 0; i < places.size(); ++i) {
        const FieldRange mark = places[i].Mark;
        if (mark.End > mark.Start && mark.End > within.Start && mark.Start < within.End)
          want.push_back({mark, static_cast<std::uint32_t>(i)});
      }
      std::ranges::stable_sort(want, {}, [](const MarkedMessage& m) { return m.Mark.Start; });
      EXPECT_EQ(model.MarksIn(within), want) << within.Start << ".." << within.End;
    }
  }
}

// The lines and messages two readings share at either end: every one counted is the
// same, and the first one past each end is not (which leaves one answer).
TEST(FieldModel, AlikeEnds) {
  const std::pair<const char*, const char*> rows[] = {
      {"ZN2.Dw Gm Xq", "ZN2.Dw Gm Xq"},
      {"", "ZN2.Dw Gm"},
      {"ZN2.Dw Gm Xq", ""},
      {"ZN2.Dw Gm", "ZN2.Dw Gm Gm"},  // all of before alike at the start: no tail left
      {"ZN2.Dw Gm L4m Xq", "ZN2.Dw Gm L5m Xq"},
      {"ZN2.Dw Gm Xq", "ZN2.Hd Gm Xq"},
      {"ZN2.Dw L4q Gm [[ Xq", "ZN2.Dw L4q Gm [[ Xq W~"},
  };
  for (const auto& [from, to] : rows) {
    SCOPED_TRACE(std::string(from) + " -> " + to);
    const ParseResult before = ParseCode(from), now = ParseCode(to);
    const auto check = [](AlikeEnds ends, std::size_t a, std::size_t b, auto alike) {
      const std::size_t bound = std::min(a, b);
      ASSERT_LE(ends.Head + ends.Tail, bound);
      for (std::size_t i = 0; i < ends.Head; ++i) EXPECT_TRUE(alike(i, i)) << i;
      for (std::size_t i = 0; i < ends.Tail; ++i) EXPECT_TRUE(alike(a - 1 - i, b - 1 - i)) << i;
      if (ends.Head < bound) {
        EXPECT_FALSE(alike(ends.Head, ends.Head));
      }
      if (ends.Head + ends.Tail < bound) {
        EXPECT_FALSE(alike(a - 1 - ends.Tail, b - 1 - ends.Tail));
      }
    };
    check(AlikeLines(before, now), before.LineCount(), now.LineCount(),
          [&](std::size_t i, std::size_t k) { return before.Line(i) == now.Line(k); });
    check(AlikeMessages(before, now), before.MessageCount(), now.MessageCount(), [&](std::size_t i, std::size_t k) {
      return before.Message(i) == now.Message(k) && before.MessagePosition(i) == now.MessagePosition(k);
    });
  }
}

// The found codes a list keeps from one offer to the next, and the code chosen before
// found again.
TEST(FieldModel, OffersAlikeAndAgain) {
  const std::vector<OfferedCode> before = FindOffered(u"ZN2.Dw\nZN2.Hd\nZN2.Dw");
  ASSERT_EQ(before.size(), 3u);
  const struct {
    std::u16string now;
    AlikeEnds alike;
  } rows[] = {
      {u"ZN2.Dw\nZN2.Hd\nZN2.Dw", {3, 0}},
      {u"ZN2.Dw\nZN2.Hd Gm\nZN2.Dw", {1, 1}},
      {u"ZN2.Dw\n\nZN2.Hd\nZN2.Dw", {1, 0}},  // the codes below moved a line down
      {u"ZN2.Dw", {1, 0}},
      {u"", {0, 0}},
  };
  for (const auto& row : rows) EXPECT_EQ(AlikeOffers(before, FindOffered(row.now)), row.alike);

  const std::int32_t column = before[2].Found.Column;
  EXPECT_EQ(OfferedAgain(before, "ZN2.Dw", 3, column), 2);
  EXPECT_EQ(OfferedAgain(before, "ZN2.Dw", 4, column), 0);  // no longer at its place: the first like it
  EXPECT_EQ(OfferedAgain(before, "ZN2.Hd", 2, column), 1);
  EXPECT_EQ(OfferedAgain(before, "ZN2.Gm", 2, column), -1);
}

}  // namespace
}  // namespace zendric
