// The colour item: codes, modifiers, nesting patterns with their list contexts,
// changes, body parts, and how deep patterns may nest. Codes start "ZN2. " so
// that the species reader plays no part.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "Colour.h"
#include "ParseState.h"
#include "ReadingCases.h"
#include "Readers.h"

namespace zendric {
namespace {

using namespace std::string_view_literals;
using testing::Case;
using testing::ExpectReadings;

TEST(Colour, CodesAndModifiers) {
  ExpectReadings({
      {"ZN2. Cbl", {"My colour: I am blue"}, {}},
      {"ZN2. C~", {"My colour: I am chameleonic"}, {}},
      {"ZN2. C?", {"My colour: I am unknown"}, {}},
      {"ZN2. Cmb", {"My colour: I am umber"}, {}},
      {"ZN2. C", {"My colour: I am colourless"}, {}},
      {"ZN2. C W", {"My colour: I am colourless", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. Cbl+", {"My colour: I am light blue"}, {}},
      {"ZN2. Cbl-", {"My colour: I am dark blue"}, {}},
      {"ZN2. Cbl--", {"My colour: I am very dark blue"}, {}},
      {"ZN2. Cbl-+", {"My colour: I am very dark blue"}, {}},
      {"ZN2. Cbl++-", {"My colour: I am very very light blue"}, {}},
      {"ZN2. Cre!^", {"My colour: I am metallic glittery red"}, {}},
      {"ZN2. Cre%'_", {"My colour: I am transparent luminescent pearlescent red"}, {}},
      // Other modifiers between shades do not reset the "very " rule.
      {"ZN2. Cbl+!-", {"My colour: I am very glittery light blue"}, {}},
      {"ZN2. Cbl!+", {"My colour: I am light glittery blue"}, {}},
      // Modifiers shade the colour before any pattern; a colour's shades are its own.
      {"ZN2. Cbl+|re+", {"My colour: I am light blue with light red stripes"}, {}},
      {"ZN2. Cbl+|re-", {"My colour: I am light blue with dark red stripes"}, {}},
      {"ZN2. Cbl|re+", {"My colour: I am blue with light red stripes"}, {}},
      // A modifier with no code in front shades the empty code.
      {"ZN2. C+", {"My colour: I am light colourless"}, {}},
  });
}

TEST(Colour, InvalidCodes) {
  ExpectReadings({
      {"ZN2. Cxx", {"My colour: I am "}, {{"Error: Invalid colour code (xx)", 9}}},
      // The failed read leaves the "+"; the next read shades an empty code.
      {"ZN2. Cxx+", {"My colour: I am light colourless"}, {{"Error: Invalid colour code (xx)", 9}}},
      // Digits, "~" and "?" belong to the code; capitals and "$" end it.
      {"ZN2. Cbl2", {"My colour: I am "}, {{"Error: Invalid colour code (bl2)", 10}}},
      {"ZN2. Cbl~ W", {"My colour: I am ", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid colour code (bl~)", 10}}},
      {"ZN2. CBl", {"My colour: I am colourless", "I breathe "}, {{"Error: Invalid breath weapon code (l)", 9}}},
      {"ZN2. CB", {"My colour: I am colourless", "I breathe "}, {{"Error: Invalid breath weapon code ()", 8}}},
      // Tabs are no blanks; positions count code points, not bytes.
      {"ZN2. Cbl\tre", {"My colour: I am "}, {{"Error: Invalid colour code (bl\tre)", 12}}},
      {"ZN2. Cbl\xC3\xA9|re W", {"My colour: I am colourless with red stripes", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid colour code (bl\xC3\xA9)", 10}}},
      // A colour straight after another is appended with nothing between.
      {"ZN2. Cbl+re", {"My colour: I am light bluered"}, {}},
  });
}

TEST(Colour, Patterns) {
  ExpectReadings({
      {"ZN2. Cbl|wh", {"My colour: I am blue with white stripes"}, {}},
      {"ZN2. Cbl:wh", {"My colour: I am blue with white spots"}, {}},
      {"ZN2. Cbl=wh", {"My colour: I am blue with white bands"}, {}},
      {"ZN2. Cbl*wh", {"My colour: I am blue with white stars"}, {}},
      {"ZN2. Cbk\\rb", {"My colour: I am black with rainbow iridescence"}, {}},
      {"ZN2. Cbl@gr", {"My colour: I am blue mottled with green"}, {}},
      {"ZN2. Cbl#gr", {"My colour: I am blue plaid with green"}, {}},
      {"ZN2. Cbl&gr", {"My colour: I am blue patterned with green"}, {}},
      {"ZN2. Cbl/gr", {"My colour: I am a mix of blue, green"}, {}},
      // Patterns nest to the right.
      {"ZN2. Cbl|re:gr", {"My colour: I am blue with red with green spots stripes"}, {}},
      {"ZN2. Cbl|re|gr|wh", {"My colour: I am blue with red with green with white stripes stripes stripes"}, {}},
      // "#", "&" and "/" inside their own kind continue a list.
      {"ZN2. Cre#bk#wh", {"My colour: I am red plaid with black, white"}, {}},
      {"ZN2. Cre&bk&wh", {"My colour: I am red patterned with black, white"}, {}},
      {"ZN2. Cre/bk/wh", {"My colour: I am a mix of red, black, white"}, {}},
      {"ZN2. Cre/bk#wh/ye", {"My colour: I am a mix of red, black plaid with a mix of white, yellow"}, {}},
      {"ZN2. Cre#bk&wh#ye", {"My colour: I am red plaid with black patterned with white plaid with yellow"}, {}},
      // The other six pass no context on, so a list starts afresh beneath them.
      {"ZN2. Cre/bk|wh/ye", {"My colour: I am a mix of red, black with a mix of white, yellow stripes"}, {}},
      {"ZN2. Cre|bk/wh", {"My colour: I am red with a mix of black, white stripes"}, {}},
      // A nested colour may be empty, or stop at a capital.
      {"ZN2. Cbl|", {"My colour: I am blue with colourless stripes"}, {}},
      {"ZN2. Cbl|W", {"My colour: I am blue with colourless stripes", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
  });
}

TEST(Colour, InvalidCodesInsidePatterns) {
  ExpectReadings({
      // The failed nested read stops on ":", which the outer colour takes as its next pattern.
      {"ZN2. Cbl|xx:re", {"My colour: I am blue with  stripes with red spots"}, {{"Error: Invalid colour code (xx)", 12}}},
      // A second "/" wraps the whole phrase read so far.
      {"ZN2. Cbl/xx/re", {"My colour: I am a mix of a mix of blue, , red"}, {{"Error: Invalid colour code (xx)", 12}}},
      {"ZN2. Cbl/q#re", {"My colour: I am a mix of blue,  plaid with red"}, {{"Error: Invalid colour code (q)", 11}}},
      {"ZN2. Cbl|xx", {"My colour: I am blue with  stripes"}, {{"Error: Invalid colour code (xx)", 12}}},
  });
}

TEST(Colour, Changes) {
  ExpectReadings({
      {"ZN2. Cbl>re", {"My colour: I am blue changing to red"}, {}},
      {"ZN2. Cbl+>re-", {"My colour: I am light blue changing to dark red"}, {}},
      {"ZN2. Cbl|wh>re", {"My colour: I am blue with white stripes changing to red"}, {}},
      // Only one ">" per colour: the second ends an empty code first.
      {"ZN2. Cbl>re>gr", {"My colour: I am blue changing to redcolourless changing to green"}, {}},
      {"ZN2. Cbl>xx", {"My colour: I am blue changing to "}, {{"Error: Invalid colour code (xx)", 12}}},
      {"ZN2. Cbl> W", {"My colour: I am blue changing to colourless", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. Cbl>re,wgr", {"My colour: I am blue changing to red\rMy wings are green"}, {}},
  });
}

TEST(Colour, BodyParts) {
  ExpectReadings({
      {"ZN2. Cbl,wre,bye", {"My colour: I am blue\rMy wings are red\rMy belly is yellow"}, {}},
      {"ZN2. Cbl,x", {"My colour: I am blue"}, {{"Error: Invalid body part in colour tag (x)", 10}}},
      // The NUL past the end is named as it is.
      {"ZN2. Cbl,", {"My colour: I am blue"}, {{"Error: Invalid body part in colour tag (\0)"sv, 10}}},
      // The letter after "," is always taken, even a capital or a blank.
      {"ZN2. Cbl,Bfl", {"My colour: I am blue"},
       {{"Error: Invalid body part in colour tag (B)", 10}, {"Error: Invalid colour code (fl)", 13}}},
      {"ZN2. Cbl, W", {"My colour: I am blue", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid body part in colour tag ( )", 10}}},
      // After a body part a colour is always read, even at the end or at a blank.
      {"ZN2. Cbl,a", {"My colour: I am blue\rMy arms are colourless"}, {}},
      {"ZN2. Cbl,t W-", {"My colour: I am blue\rMy tail is colourless", "Concerning my width: 'I'm slightly on the slim side!'"}, {}},
      {"ZN2. C,wbl,hre+|ye", {"My colour: I am colourless\rMy wings are blue\rMy head is light red with yellow stripes"}, {}},
      {"ZN2. Cbl,w>re", {"My colour: I am blue\rMy wings are colourless changing to red"}, {}},
      // An invalid body part lets the item go on only inside the code and off a boundary.
      {"ZN2. Cbl,qre", {"My colour: I am bluered"}, {{"Error: Invalid body part in colour tag (q)", 10}}},
  });
}

TEST(Colour, EveryBodyPartLetter) {
  for (const ColourBodyPart& part : ColourBodyParts) {
    const std::string code = std::string("ZN2. Cbl,") + part.Letter + "re";
    const std::string line = "My colour: I am blue" + std::string(part.Heading) + "red";
    ExpectReadings({{code, {line}, {}}});
  }
}

TEST(Colour, EveryCodeAndEveryTerminator) {
  for (const ColourEntry& colour : ColourTable) {
    const std::string code = "ZN2. C" + std::string(colour.Code) + "|wh";
    const std::string line = "My colour: I am " + std::string(colour.Name) + " with white stripes";
    ExpectReadings({{code, {line}, {}}});
  }
  // The set built from the modifiers and patterns is exactly this list.
  constexpr std::string_view Terminators = " !#%&'*+,-/:=>@\\^_|";
  EXPECT_EQ(ColourTerminators, TerminatorSet(Terminators));
  for (char32_t ch = 0; ch < 256; ++ch)
    EXPECT_EQ(ColourTerminators.Contains(ch), Terminators.find(static_cast<char>(ch)) != std::string_view::npos) << static_cast<int>(ch);
  // Each terminator ends a code: no "bl" plus terminator is reported as a code.
  for (char t : Terminators) {
    const std::string code = std::string("ZN2. Cbl") + t;
    const ParseResult r = ParseCode(code);
    for (const std::string& m : testing::Messages(r)) EXPECT_EQ(m.find("colour code (bl"), std::string::npos) << code << ": " << m;
    ASSERT_FALSE(testing::Lines(r).empty()) << code;
    EXPECT_EQ(testing::Lines(r)[0].rfind("My colour: I am ", 0), 0u) << code;
    EXPECT_NE(testing::Lines(r)[0].find("blue"), std::string::npos) << code;
  }
}

TEST(Colour, DollarEndsTheItem) {
  ExpectReadings({
      {"ZN2. C$", {"My colour: I am colourless", "My monetary philosophy: I spend what I earn and earn what I spend."}, {}},
      {"ZN2. Cbl$-", {"My colour: I am blue", "My monetary philosophy: Money comes and goes - mostly goes."}, {}},
      {"ZN2. Cbl,w$", {"My colour: I am blue\rMy wings are colourless", "My monetary philosophy: I spend what I earn and earn what I spend."}, {}},
      {"ZN2. Cbl|$", {"My colour: I am blue with colourless stripes", "My monetary philosophy: I spend what I earn and earn what I spend."}, {}},
  });
}

// The colour item read by hand inside one open form block.
testing::BlockReading ReadInFormBlock(std::u32string code) {
  return testing::ReadInFormBlock("C", std::move(code));
}

TEST(Colour, InsideAFormBlock) {
  // "}" ends a code and the item, and is left for the block.
  testing::BlockReading r = ReadInFormBlock(U"bl|re}x");
  EXPECT_EQ(r.line, "My colour: I am blue with red stripes");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.cursor, 6);
  r = ReadInFormBlock(U"bl,w}");
  EXPECT_EQ(r.line, "My colour: I am blue\rMy wings are colourless");
  EXPECT_EQ(r.cursor, 5);
  // The letter after "," is taken even when it is the "}".
  r = ReadInFormBlock(U"bl,}");
  EXPECT_EQ(r.line, "My colour: I am blue");
  EXPECT_EQ(r.errors, std::vector<std::string>{"4: Error: Invalid body part in colour tag (})"});
  EXPECT_EQ(r.cursor, 5);
  // Too deep a pattern skips only up to the "}".
  std::u32string deep = U"bl";
  for (int i = 0; i < 260; ++i) deep += U"|bl";
  r = ReadInFormBlock(deep + U"} W");
  EXPECT_EQ(r.errors, std::vector<std::string>{"772: Error: Code nested too deeply at position 772"});
  EXPECT_EQ(r.cursor, 3 * 260 + 3);
}

// "bl" followed by `depth` patterns "|bl", and what it reads as when every level is read.
std::string Stripes(int depth) {
  std::string code = "bl";
  for (int i = 0; i < depth; ++i) code += "|bl";
  return code;
}
std::string StripesText(int depth, bool innermostEmpty = false) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "blue with ";
  if (!innermostEmpty) text += "blue";
  for (int i = 0; i < depth; ++i) text += " stripes";
  return text;
}

TEST(ColourNesting, DeepestPatternIsRead) {
  ExpectReadings({{"ZN2. C" + Stripes(256), {"My colour: I am " + StripesText(256)}, {}}});
}

TEST(ColourNesting, OneLevelTooDeepIsReportedAndSkipped) {
  // The 257th nested read would start at 7 + 3 * 257; it skips to the blank.
  const std::string code = "ZN2. C" + Stripes(300) + "+>re W+";
  ExpectReadings({{code,
                   {"My colour: I am " + StripesText(257, true), "Concerning my width: 'I'm a little on the broad side!'"},
                   {{"Error: Code nested too deeply at position 778", 778}}}});
}

TEST(ColourNesting, TheColourAfterAChangeStartsAtLevelZero) {
  const std::string code = "ZN2. C" + Stripes(256) + ">" + Stripes(256) + ",w" + Stripes(256);
  const std::string text = StripesText(256);
  ExpectReadings({{code, {"My colour: I am " + text + " changing to " + text + "\rMy wings are " + text}, {}}});
}

TEST(ColourNesting, ItemCountsItsOwnLevels) {
  // A colour item inside a deep read starts again at level 0 and gives the depth back.
  ParseState s;
  s.CodeText = DecodeUtf8(Stripes(256));
  s.Cursor = 1;
  s.CurrentLine = 0;
  s.ReadDepth = 200;
  ReadColourItem(s, *FindTag("C"));
  EXPECT_TRUE(testing::Messages(s).empty());
  EXPECT_EQ(s.ReadDepth, 200);
  ASSERT_EQ(testing::Lines(s).size(), 1u);
  EXPECT_EQ(testing::Lines(s)[0], "My colour: I am " + StripesText(256));
}

TEST(ColourNesting, MegabyteOfDeepPatternsFinishes) {
  const std::string item = "C" + Stripes(250) + " ";
  std::string code = "ZN2. ";
  int items = 0;
  while (code.size() < 1'000'000) {
    code += item;
    ++items;
  }
  const ParseResult r = ParseCode(code);
  EXPECT_TRUE(testing::Messages(r).empty());
  ASSERT_EQ(testing::Lines(r).size(), static_cast<std::size_t>(items));
  const std::string line = "My colour: I am " + StripesText(250);
  EXPECT_EQ(testing::Lines(r).front(), line);
  EXPECT_EQ(testing::Lines(r).back(), line);
}

TEST(ColourNesting, MegabyteRunOfStripesFinishes) {
  std::string code = "ZN2. C";
  while (code.size() < 1'000'000) code += "bl|";
  code += " W";
  const ParseResult r = ParseCode(code);
  ASSERT_EQ(testing::Messages(r).size(), 1u);
  EXPECT_EQ(testing::Messages(r)[0], "Error: Code nested too deeply at position 778");
  EXPECT_EQ(testing::Positions(r)[0], 778);
  ASSERT_EQ(testing::Lines(r).size(), 2u);
  EXPECT_EQ(testing::Lines(r)[0], "My colour: I am " + StripesText(257, true));
}

TEST(ColourNesting, LongFlatListsFinish) {
  // Every "/" after an invalid code wraps the whole phrase again: a front insert each time.
  constexpr int Count = 200'000;
  std::string code = "ZN2. Cbl";
  for (int i = 0; i < Count; ++i) code += "/x";
  const ParseResult r = ParseCode(code);
  ASSERT_EQ(testing::Messages(r).size(), static_cast<std::size_t>(Count));
  EXPECT_EQ(testing::Positions(r).back(), 9 + 2 * Count);  // one past the end
  ASSERT_EQ(testing::Lines(r).size(), 1u);
  std::string line = "My colour: I am ";
  for (int i = 0; i < Count; ++i) line += "a mix of ";
  line += "blue";
  for (int i = 0; i < Count; ++i) line += ", ";
  EXPECT_EQ(testing::Lines(r)[0], line);

  // A long run of shades does the same to the front.
  std::string shades = "ZN2. Cbl+";
  std::string text;
  for (int i = 0; i < Count; ++i) {
    shades += "-";
    text += "very ";
  }
  text += "light blue";
  ExpectReadings({{shades, {"My colour: I am " + text}, {}}});
}

}  // namespace
}  // namespace zendric
