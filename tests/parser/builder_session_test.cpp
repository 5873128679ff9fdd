// A sitting at the builder: the code opened from a post goes back into its own place
// with the rest of the post unchanged, and every step undoes and redoes exactly.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "BuilderSession.h"

namespace zendric {
namespace {

std::string Utf8(std::u16string_view text) { return FieldAsUtf8(text); }

void RemoveLast(BuilderSession& s) { s.Remove(s.Current().Items.size() - 1); }

TEST(BuilderSession, UsesTheCodeInItsPlace) {
  struct Case {
    std::u16string field;
    std::ptrdiff_t chosen;
    std::string opened;  // the code the sitting starts from
    bool change;         // the last item removed
    std::u16string expected;
  };
  const std::u16string post = u"Hi all!\r\nMy code: ZN2.Dw Gm L12m\r\nand mine:\r\nZN2.Dv Gf\r\nbye";
  const std::u16string quoted = u"> ZN2.Dw Gm\n> L12m Cbl  \n> \nthanks";
  const Case cases[] = {
      {post, -1, "ZN2.Dw Gm L12m", false, post},
      {post, 0, "ZN2.Dw Gm L12m", true, u"Hi all!\r\nMy code: ZN2.Dw Gm\r\nand mine:\r\nZN2.Dv Gf\r\nbye"},
      {post, 1, "ZN2.Dv Gf", false, post},
      {post, 1, "ZN2.Dv Gf", true, u"Hi all!\r\nMy code: ZN2.Dw Gm L12m\r\nand mine:\r\nZN2.Dv\r\nbye"},
      {post, 7, "ZN2.Dw Gm L12m", true, u"Hi all!\r\nMy code: ZN2.Dw Gm\r\nand mine:\r\nZN2.Dv Gf\r\nbye"},
      // A code of two quoted lines comes back as one; used unchanged, the lines stay.
      {quoted, -1, "ZN2.Dw Gm L12m Cbl", false, quoted},
      {quoted, -1, "ZN2.Dw Gm L12m Cbl", true, u"> ZN2.Dw Gm L12m  \n> \nthanks"},
      // Two codes on a line: the first ends before the second.
      {u"a ZN2.Dw Gm ZN2.Dv Gf", 0, "ZN2.Dw Gm", true, u"a ZN2.Dw ZN2.Dv Gf"},
      {u"a ZN2.Dw Gm ZN2.Dv Gf", 1, "ZN2.Dv Gf", true, u"a ZN2.Dw Gm ZN2.Dv"},
      // Columns count characters: a pair of surrogates is one.
      {u"\U0001F600 ZN2.Dw Gm", -1, "ZN2.Dw Gm", true, u"\U0001F600 ZN2.Dw"},
      // A code typed in the field opens whole, its lines joined as the reader joins them.
      {u"ZN2.Dw Gm\nL12m", -1, "ZN2.Dw GmL12m", false, u"ZN2.Dw Gm\nL12m"},
      {u"ZN2.Dw Gm L12m", -1, "ZN2.Dw Gm L12m", true, u"ZN2.Dw Gm"},
      // Text with no code is kept as one item; a new item makes it a code.
      {u"hello", -1, "hello", false, u"hello"},
  };
  for (const Case& c : cases) {
    BuilderSession s;
    s.Start(c.field, c.chosen);
    EXPECT_EQ(s.Code(), c.opened) << Utf8(c.field);
    // The field as the front end read it opens the same, and so does a reading of
    // another text, which is not taken for this one's.
    const FieldModel read(c.field), other(u"ZN2.Hd Gm Q");
    for (const FieldModel* given : {&read, &other}) {
      BuilderSession same;
      same.Start(c.field, c.chosen, given);
      EXPECT_EQ(same.Code(), c.opened) << Utf8(c.field);
      EXPECT_EQ(same.Listing().Lines, s.Listing().Lines) << Utf8(c.field);
      EXPECT_EQ(same.Listing().Messages, s.Listing().Messages) << Utf8(c.field);
    }
    EXPECT_FALSE(s.Changed());
    if (c.change) RemoveLast(s);
    EXPECT_EQ(s.Changed(), c.change);
    EXPECT_EQ(s.Used(c.field), c.expected) << Utf8(c.field) << " -> " << Utf8(s.Used(c.field));
    EXPECT_EQ(s.Use(c.field).has_value(), c.change);
  }
}

TEST(BuilderSession, AFieldEditedSinceOpeningKeepsTheEdit) {
  struct Case {
    std::u16string opened, now, expected;
  };
  const Case cases[] = {
      // The code moved: it is found where it stands now.
      {u"x ZN2.Dw Gm", u"PS: x ZN2.Dw Gm", u"PS: x ZN2.Dw"},
      // It is gone: the new code goes on a line of its own at the end.
      {u"x ZN2.Dw Gm", u"x", u"x\nZN2.Dw"},
      {u"x ZN2.Dw Gm", u"", u"ZN2.Dw"},
  };
  for (const Case& c : cases) {
    BuilderSession s;
    s.Start(c.opened);
    RemoveLast(s);
    EXPECT_EQ(s.Used(c.now), c.expected) << Utf8(c.now);
  }
}

TEST(BuilderSession, AnEmptyFieldTakesTheNewPersona) {
  BuilderSession s;
  s.Start(u"");
  EXPECT_FALSE(s.Changed());
  ASSERT_FALSE(s.Code().empty());
  EXPECT_EQ(Utf8(s.Used(u"")), s.Code());
}

// Every kind of step, undone to the start and redone to the end; the typed keys of one
// field are one step.
TEST(BuilderSession, EveryStepUndoesAndRedoes) {
  BuilderSession s;
  s.Start(u"ZN2.Dw Gm L12m");
  std::mt19937 random(7);
  const TagRow* tech = FindRow(TagCatalogue, &TagRow::Letters, std::string_view("Tc"));
  ASSERT_NE(tech, nullptr);
  struct Step {
    std::function<void()> take;
    std::string code;  // empty: not known before (random)
  };
  const std::vector<Step> steps = {
      {[&] {
         for (const char* typed : {"1", "13", "130", "130."}) s.Type(2, "Number", typed);
         s.EndTyping();
       },
       "ZN2.Dw Gm L130m"},
      {[&] { EXPECT_TRUE(s.Choose(2, "Given as", "number").Taken); }, ""},  // the same choice: no step
      {[&] { s.Type(2, "Number", "14"); }, "ZN2.Dw Gm L14m"},  // a new step after EndTyping
      {[&] { EXPECT_EQ(s.Add(tech, 2), 3u); }, "ZN2.Dw Gm L14m Tc+++!"},
      {[&] { EXPECT_EQ(s.Move(3, -1), 2u); }, "ZN2.Dw Gm Tc+++! L14m"},
      {[&] { s.Remove(1); }, "ZN2.Dw Tc+++! L14m"},
      {[&] { s.Random(random); }, ""},
      {[&] { s.Open(u"see ZN2.Dv Gf"); }, "ZN2.Dv Gf"},
  };
  std::vector<std::string> codes{s.Code()};
  for (const Step& step : steps) {
    const std::string before = s.Code();
    step.take();
    if (!step.code.empty()) {
      EXPECT_EQ(s.Code(), step.code);
    }
    if (s.Code() != before) codes.push_back(s.Code());
  }
  ASSERT_EQ(codes.size(), 8u);  // the repeated choice made no step
  for (std::size_t i = codes.size() - 1; i > 0; --i) {
    ASSERT_TRUE(s.Undo().has_value());
    EXPECT_EQ(s.Code(), codes[i - 1]);
  }
  EXPECT_FALSE(s.CanUndo());
  EXPECT_FALSE(s.Undo().has_value());
  EXPECT_FALSE(s.Changed());
  for (std::size_t i = 1; i < codes.size(); ++i) {
    ASSERT_TRUE(s.Redo().has_value());
    EXPECT_EQ(s.Code(), codes[i]);
  }
  EXPECT_FALSE(s.CanRedo());
  // A new step after undoing drops what could be redone.
  s.Undo();
  s.Remove(1);
  EXPECT_FALSE(s.CanRedo());
}

TEST(BuilderSession, UndoSelectsTheItemOfTheStep) {
  BuilderSession s;
  s.Start(u"ZN2.Dw Gm L12m Cbl");
  s.Move(3, -1);
  s.Type(1, "I'm", "0");
  EXPECT_EQ(s.Undo(), std::optional<std::size_t>(1));
  EXPECT_EQ(s.Undo(), std::optional<std::size_t>(2));
  EXPECT_EQ(s.Redo(), std::optional<std::size_t>(2));
}

}  // namespace
}  // namespace zendric
