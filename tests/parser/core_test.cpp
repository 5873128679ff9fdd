// The item loop, the primitives every reader uses, the shared scale and the
// plainly scaled tags. Codes start "ZN2. " (a blank where the species would be)
// so that these cases do not depend on the species reader.
#include <gtest/gtest.h>

#include "ParseState.h"
#include "ReadingCases.h"
#include "ScaledTags.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

TEST(ItemLoop, PrefixAndDispatch) {
  ExpectReadings({
      {"", {}, {{"Error - this isn't a Zendric 2", 1}}},
      {"zn2.Dw", {}, {{"Error - this isn't a Zendric 2", 1}}},
      {"ZN2", {}, {{"Error - this isn't a Zendric 2", 1}}},
      {"ZN2:Dw W", {}, {{"Error - this isn't a Zendric 2", 1}}},
      {"ZN2. X", {}, {{"Error: Invalid code at position 6 (X)", 6}}},
      {"ZN2. xyz", {},
       {{"Error: Invalid code at position 6 (x)", 6},
        {"Error: Invalid code at position 7 (y)", 7},
        {"Error: Invalid code at position 8 (z)", 8}}},
      // Runs of blanks between items and at the end produce nothing.
      {"ZN2.  W+   H-   ", {"Concerning my width: 'I'm a little on the broad side!'", "My hoard: Me and the bank own my lair."}, {}},
      // An item that writes nothing gives its line back: no gap, no split.
      {"ZN2. W++++ H- X W", {"My hoard: Me and the bank own my lair.", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: invalid code in width tag", 7}, {"Error: Invalid code at position 15 (X)", 15}}},
      // A second prefix means nothing: its Z is an unknown tag, the rest reads on.
      {"ZN2. ZN2.", {}, {{"Error: Invalid code at position 6 (Z)", 6}, {"Error: invalid code in native land tag", 8}}},
      {"ZN2. D E K Y", {},
       {{"Error: Invalid code at position 6 (D)", 6}, {"Error: Invalid code at position 8 (E)", 8},
        {"Error: Invalid code at position 10 (K)", 10}, {"Error: Invalid code at position 12 (Y)", 12}}},
      // Items may follow one another without a blank where a reader stops at a capital.
      {"ZN2. W+H-", {"Concerning my width: 'I'm a little on the broad side!'", "My hoard: Me and the bank own my lair."}, {}},
      // Two-letter tags win over one-letter ones.
      {"ZN2. Ac--", {"My activity index:\rI can barely manage to connect once a week."}, {}},
      {"ZN2. Df+", {"My dragon friend status:\rPolite acquaintance - you exchange social pleasantries."}, {}},
  });
}

TEST(Scale, ModifierEndsAndMatches) {
  ExpectReadings({
      {"ZN2. W+++!", {"Concerning my width: 'I am a perfect sphere!'"}, {}},
      {"ZN2. W+++ !", {"Concerning my width: 'I have to enter my cave sideways!'"},
       {{"Error: Invalid code at position 11 (!)", 11}}},
      {"ZN2. W++++", {}, {{"Error: invalid code in width tag", 7}}},
      {"ZN2. W+w", {}, {{"Error: invalid code in width tag", 7}}},
      {"ZN2. W--", {"Concerning my width: 'Ever heard of serpentine?'"}, {}},
      {"ZN2. W", {"Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      // "$" and capitals end a modifier and start the next item.
      {"ZN2. W-$~", {"Concerning my width: 'I'm slightly on the slim side!'", "My monetary philosophy: It varies over time."}, {}},
      // Without a quote in its set a tag leaves the quote to the item loop.
      {"ZN2. W+\"x\"", {"Concerning my width: 'I'm a little on the broad side!'"},
       {{"Error: Invalid code at position 8 (\")", 8}, {"Error: Invalid code at position 9 (x)", 9},
        {"Error: Invalid code at position 10 (\")", 10}}},
      {"ZN2. N", {}, {{"Error: invalid code in native land tag", 7}}},
      {"ZN2. Nfw", {}, {{"Error: invalid code in native land tag", 7}}},
      {"ZN2. Nf", {"My native land is fire - 'I was hatched in the heart of a volcano!'"}, {}},
      {"ZN2. N!", {"My native land is imaginary - 'I am a figment of my imagination!'"}, {}},
      {"ZN2. U2 U3", {"Concerning my ubiquity: This is my second life!"}, {{"Error: invalid code in ubiquity tag", 10}}},
      {"ZN2. Df++++ H?", {"My hoard: I've never counted my hoard."}, {{"Error: invalid code in Dragon friend tag", 8}}},
      {"ZN2. H~ $? R* S~", {"My hoard: My hoard size varies...", "My monetary philosophy: I've never thought about it.",
                            "My reality index: Don't ask, don't tell.",
                            "Concerning my social life: It varies... sometimes I'm open, sometimes closed."}, {}},
      {"ZN2. R~ U! U* S?", {"My reality index: Strange but true - it varies", "Concerning my ubiquity: This is my first life!",
                            "Concerning my ubiquity: I've been around a bit, I'm just not saying how many times!",
                            "Concerning my social life: I don't know."}, {}},
  });
}

TEST(Scale, QuotedDescriptions) {
  ExpectReadings({
      {"ZN2. Fr\"Big Apple\" W", {"My fruitiness:\rBig Apple", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      // Whatever modifier stands before the quote is neither described nor reported.
      {"ZN2. Frzz\"kiwi\"", {"My fruitiness:\rkiwi"}, {}},
      {"ZN2. Fr+\"\"", {"My fruitiness:\r"}, {}},
      // No closing quote: the rest of the code is the description.
      {"ZN2. Fr\"ripe W+", {"My fruitiness:\rripe W+"}, {{"Error: Missing \" in fruitiness tag", 8}}},
  });
}

TEST(ScaledTags, FruitinessAndIrritability) {
  ExpectReadings({
      {"ZN2. Fr", {"My fruitiness:\rOld fruits know my name and what I'm like. / Squeeze me! I'm ripe!"}, {}},
      {"ZN2. Fr+^*",
       {"My fruitiness:\rThere's a hint of citrus about me. / Lemons wink at me in the market!"
        "\rI have joined, left, returned, etc.\rI once got flamed off the newsgroup - and came back for more!"},
       {}},
      {"ZN2. Fr^\"apple\"",
       {"My fruitiness:\rOld fruits know my name and what I'm like. / Squeeze me! I'm ripe!"
        "\rI have joined, left, returned, etc.\rMy fruitiness is like an apple"},
       {}},
      {"ZN2. Fr~^\"\"", {"My fruitiness:\rMy fruitiness varies...\rI have joined, left, returned, etc.\rMy fruitiness is like "}, {}},
      {"ZN2. Fr^\"pear", {"My fruitiness:\rOld fruits know my name and what I'm like. / Squeeze me! I'm ripe!\rI have joined, left, returned, etc.\rMy fruitiness is like a pear"},
       {{"Error: Missing \" in fruitiness description", 9}}},
      // "$" is no boundary of the modifier run: each character is reported.
      {"ZN2. Fr+$+ W",
       {"My fruitiness:\rThere's a hint of citrus about me. / Lemons wink at me in the market!",
        "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid fruitiness modifier", 9}, {"Error: Invalid fruitiness modifier", 10}}},
      {"ZN2. Fr?*x", {"My fruitiness:\rI have no idea how fruity I am.\rI once got flamed off the newsgroup - and came back for more!"},
       {{"Error: Invalid fruitiness modifier", 10}}},
      // Letters are no terminators of the scale: "?x" is one modifier.
      {"ZN2. Fr?x", {}, {{"Error: invalid code in fruitiness tag", 8}}},
      {"ZN2. I-#", {"Concerning my irritability: It takes a lot to annoy me. But when I do get angry, I hope you like barbeque!"}, {}},
      {"ZN2. I-##", {"Concerning my irritability: It takes a lot to annoy me. But when I do get angry, I hope you like barbeque!"},
       {{"Error: Invalid code at position 9 (#)", 9}}},
      // The "#" is read even when the modifier matched nothing.
      {"ZN2. Iq#", {" But when I do get angry, I hope you like barbeque!"}, {{"Error: invalid code in irritability tag", 7}}},
  });
}

TEST(ScaledTags, CatalogueRowsShareTheCommonScale) {
  constexpr std::string_view Common[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!"};
  const auto rows = testing::RowsOf({TagKind::Scaled, TagKind::Fruitiness, TagKind::Irritability});
  ASSERT_EQ(rows.size(), 11u);
  for (const TagRow* row : rows) {
    const TagRow& tag = *row;
    SCOPED_TRACE(tag.Letters);
    std::vector<std::string_view> keys;
    for (const ScaleEntry& e : tag.Scale) {
      EXPECT_FALSE(e.Text.empty());
      EXPECT_EQ(std::count(keys.begin(), keys.end(), e.Key), 0) << "duplicate key " << e.Key;
      keys.push_back(e.Key);
    }
    if (tag.Letters == "N") continue;
    ASSERT_GE(keys.size(), 11u);
    for (std::size_t i = 0; i < std::size(Common); ++i) EXPECT_EQ(keys[i], Common[i]);
  }
}

// The primitives on a state set up by hand.
ParseState StateFor(std::u32string code, std::int32_t cursor = 1) {
  ParseState s;
  s.CodeText = std::move(code);
  s.Cursor = cursor;
  return s;
}

TEST(Primitives, ScanToTerminator) {
  ParseState s = StateFor(U"ab}c d");
  EXPECT_EQ(ScanToTerminator(s, TerminatorSet(" "), false, 1), 5);
  s.OpenFormBlocks = 1;
  EXPECT_EQ(ScanToTerminator(s, TerminatorSet(" "), false, 1), 3);
  EXPECT_EQ(ScanToTerminator(s, TerminatorSet(" "), false, 3), 3);  // the start itself is tested
  EXPECT_EQ(ScanToTerminator(s, TerminatorSet(" "), false, 7), 0);  // past the end
  ParseState t = StateFor(U"ab$cD");
  EXPECT_EQ(ScanToTerminator(t, TerminatorSet(), true, 1), 3);
  EXPECT_EQ(ScanToTerminator(t, TerminatorSet(), false, 1), 0);
  // Code points above 255 are never members, even where their low byte is.
  ParseState u = StateFor(U"a\u0120b ");
  EXPECT_EQ(ScanToTerminator(u, TerminatorSet(" "), false, 1), 4);
}

TEST(Primitives, ReadNumber) {
  ParseState s = StateFor(U"12.5m");
  EXPECT_EQ(ReadNumber(s, false), "12.5");
  EXPECT_EQ(s.Cursor, 5);
  s.Cursor = 1;
  EXPECT_EQ(ReadNumber(s, true), "12");
  EXPECT_EQ(s.Cursor, 3);
  s.Cursor = 5;
  EXPECT_EQ(ReadNumber(s, false), "");
  EXPECT_EQ(s.Cursor, 5);
  ParseState dots = StateFor(U"1.2.3");
  EXPECT_EQ(ReadNumber(dots, false), "1.2.3");
  EXPECT_EQ(dots.Cursor, 6);
}

TEST(Primitives, WithArticleAndAcceptChar) {
  EXPECT_EQ(WithArticle("Elf"), "an Elf");
  EXPECT_EQ(WithArticle("elf"), "an elf");
  EXPECT_EQ(WithArticle("Unicorn"), "an Unicorn");
  EXPECT_EQ(WithArticle("Wyrm"), "a Wyrm");
  EXPECT_EQ(WithArticle(""), "");
  EXPECT_EQ(WithArticle("\xC3\x89lan"), "a \xC3\x89lan");  // only a-z change case
  ParseState s = StateFor(U"x");
  EXPECT_FALSE(AcceptChar(s, U'y'));
  EXPECT_TRUE(AcceptChar(s, U'x'));
  EXPECT_EQ(s.Cursor, 2);
  EXPECT_FALSE(AcceptChar(s, U'\0'));  // past the end nothing is accepted, not even NUL
  EXPECT_EQ(s.Cursor, 2);
}

TEST(Primitives, AppendAndInsertText) {
  ParseState s;
  s.CurrentLine = 0;
  AppendText(s, "");
  ASSERT_EQ(testing::Lines(s).size(), 1u);  // an empty text still creates the entry
  AppendText(s, "I am a Dragon");
  InsertText(s, 5, " a mix of");
  EXPECT_EQ(testing::Lines(s)[0], "I am a mix of a Dragon");
  InsertText(s, 0, "!");
  InsertText(s, 1000, "?");
  EXPECT_EQ(testing::Lines(s)[0], "I am a mix of a Dragon!?");

  // A position inside a character of several bytes inserts before the character.
  struct InsideCase {
    std::string line;
    std::int32_t position;
    std::string want;
  };
  const InsideCase inside[] = {
      {"a \xC3\xA9", 4, "a [\xC3\xA9"},               // second byte of a two-byte character
      {"a \xEF\xBF\xBD", 5, "a [\xEF\xBF\xBD"},       // last byte of U+FFFD
      {"a \xF0\x9F\x90\x89!", 4, "a [\xF0\x9F\x90\x89!"},  // second byte of four
      {"a \xC3\xA9", 3, "a [\xC3\xA9"},               // the lead byte itself
      {"\xC3\xA9", 2, "[\xC3\xA9"},                   // at the start of the line
  };
  for (const InsideCase& c : inside) {
    ParseState t;
    t.CurrentLine = 0;
    AppendText(t, c.line);
    InsertText(t, c.position, "[");
    EXPECT_EQ(testing::Lines(t)[0], c.want) << "position " << c.position;
  }
}

TEST(Primitives, NestingLimit) {
  ParseState s = StateFor(U"abc def");
  s.Cursor = 2;
  s.ReadDepth = MaxNesting - 1;
  ASSERT_TRUE(EnterNestedRead(s));
  EXPECT_EQ(s.ReadDepth, MaxNesting);
  EXPECT_FALSE(EnterNestedRead(s));
  EXPECT_EQ(s.Cursor, 4);  // skipped to the blank
  ASSERT_EQ(testing::Messages(s).size(), 1u);
  EXPECT_EQ(testing::Messages(s)[0], "Error: Code nested too deeply at position 2");
  EXPECT_EQ(testing::Positions(s)[0], 2);
  LeaveNestedRead(s);
  EXPECT_EQ(s.ReadDepth, MaxNesting - 1);
}

TEST(Unicode, DecodingReplacesEachMaximalIllFormedPart) {
  EXPECT_EQ(DecodeUtf8("a\xE2\x82"), U"a\uFFFD");        // truncated sequence: one
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");     // overlong: two
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  EXPECT_EQ(DecodeUtf8("\xE2\x41"), U"\uFFFDA");          // the breaking byte is read afresh
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x90\x89!"), U"\U0001F409!");
  EXPECT_EQ(DecodeUtf8(std::string_view("\0x", 2)), std::u32string(U"\0x", 2));
  EXPECT_EQ(ToValidUtf8("\xFF" "a"), "\xEF\xBF\xBD" "a");
}

TEST(Unicode, PositionsCountCodePoints) {
  ExpectReadings({
      // Two-byte and four-byte characters are one position each.
      {"ZN2. \xC3\xA9 X", {},
       {{"Error: Invalid code at position 6 (\xC3\xA9)", 6}, {"Error: Invalid code at position 8 (X)", 8}}},
      {"ZN2. \xF0\x9F\x90\x89 W+", {"Concerning my width: 'I'm a little on the broad side!'"},
       {{"Error: Invalid code at position 6 (\xF0\x9F\x90\x89)", 6}}},
      // Ill-formed bytes read as U+FFFD, one position per maximal subpart.
      {"ZN2. \xC0\xAF" "X", {},
       {{"Error: Invalid code at position 6 (\xEF\xBF\xBD)", 6}, {"Error: Invalid code at position 7 (\xEF\xBF\xBD)", 7},
        {"Error: Invalid code at position 8 (X)", 8}}},
      // Quoted text keeps any script.
      {"ZN2. Fr\"\xE6\x9D\x8E\xE5\xAD\x90\"", {"My fruitiness:\r\xE6\x9D\x8E\xE5\xAD\x90"}, {}},
      // U+0120 is no blank although its low byte is 0x20: the modifier runs through it.
      {"ZN2. W+\xC4\xA0H-", {"My hoard: Me and the bank own my lair."}, {{"Error: invalid code in width tag", 7}}},
  });
}

}  // namespace
}  // namespace zendric
