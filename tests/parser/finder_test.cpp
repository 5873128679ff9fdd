// Finding codes in text: each rule at its boundary, then texts as people send
// them. Every case is also fed to the streaming finder in pieces of every size
// from 1 byte, which must find the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "Finder.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

using namespace std::string_view_literals;

struct Found {
  std::string_view code;
  int line;
  int column;
};

struct FindCase {
  std::string_view name;
  std::string_view text;
  std::vector<Found> found;
};

const FindCase Cases[] = {
    // 1: the quote prefix and its depth
    {"prefix of blanks and tabs", " \t ZN2.Dw Gm", {{"ZN2.Dw Gm", 1, 4}}},
    {"'>' right before the code", ">ZN2.Dw", {{"ZN2.Dw", 1, 2}}},
    {"'>' inside the text is no prefix", "a>ZN2.Dw", {}},
    {"depth counts '>' only", "> > ZN2.Dw Gm\n>>L12m", {{"ZN2.Dw Gm L12m", 1, 5}}},
    {"deeper line ends the code", "> ZN2.Dw Gm\n>> L12m", {{"ZN2.Dw Gm", 1, 3}}},
    {"shallower line ends the code", ">> ZN2.Dw Gm\n> L12m", {{"ZN2.Dw Gm", 1, 4}}},
    {"unquoted line after a quoted code", "> ZN2.Dw Gm\nL12m", {{"ZN2.Dw Gm", 1, 3}}},
    // 2: where a code starts
    {"after a blank", "My code: ZN2.Dw Gm", {{"ZN2.Dw Gm", 1, 10}}},
    {"after a tab", "x\tZN2.Dw", {{"ZN2.Dw", 1, 3}}},
    {"after a colon", "My code:ZN2.Dw", {}},
    {"after a letter", "aZN2.Dw Gm", {}},
    {"lower case", "zn2.Dw Gm", {}},
    {"without the point", "ZN2 Dw Gm", {}},
    {"the prefix alone", "ZN2.", {{"ZN2.", 1, 1}}},
    {"after a no-break space", "x\xC2\xA0ZN2.Dw", {}},
    {"a near miss, then a code", "xZN2.Dw ZN2.Dx", {{"ZN2.Dx", 1, 9}}},
    {"ZN2. inside a code starts nothing", "ZN2.ZN2.Dw", {{"ZN2.ZN2.Dw", 1, 1}}},
    // 3: where a code ends
    {"trailing blanks and tabs dropped", "ZN2.Dw Gm \t ", {{"ZN2.Dw Gm", 1, 1}}},
    {"two codes on a line", "ZN2.Dw Gm \t ZN2.Dx Gf", {{"ZN2.Dw Gm", 1, 1}, {"ZN2.Dx Gf", 1, 13}}},
    {"only the last code goes on", "ZN2.Dw ZN2.Dx\nGm", {{"ZN2.Dw", 1, 1}, {"ZN2.Dx Gm", 1, 8}}},
    {"trailing no-break space kept", "ZN2.Dw\xC2\xA0", {{"ZN2.Dw\xC2\xA0", 1, 1}}},
    // 4: continuation lines
    {"wrapped over two lines", "ZN2.Dw Gm\nL12m", {{"ZN2.Dw Gm L12m", 1, 1}}},
    {"wrapped over three lines", "ZN2.Dw Gm\nL12m\nCbl|wh\n\nCheers", {{"ZN2.Dw Gm L12m Cbl|wh", 1, 1}}},
    {"prose that adds messages", "ZN2.Dw Gm\nCheers,\nAlex", {{"ZN2.Dw Gm", 1, 1}}},
    {"as many messages as before", "ZN2.Dw X\nGm\nY", {{"ZN2.Dw X Gm", 1, 1}}},
    {"fewer messages than before", "ZN2.Dw B\"sparks\nand\" Gm", {{"ZN2.Dw B\"sparks and\" Gm", 1, 1}}},
    {"continuation trimmed both ends", "ZN2.Dw Gm\n  L12m \t", {{"ZN2.Dw Gm L12m", 1, 1}}},
    {"empty line ends the code", "ZN2.Dw B\"sparks\n\nAlex", {{"ZN2.Dw B\"sparks", 1, 1}}},
    {"line of prefix only ends the code", "> ZN2.Dw B\"sparks\n> \t\n> Alex", {{"ZN2.Dw B\"sparks", 1, 3}}},
    {"signature delimiter ends the code", "ZN2.Dw B\"sparks\n-- \nAlex", {{"ZN2.Dw B\"sparks", 1, 1}}},
    {"quoted signature delimiter", "> ZN2.Dw B\"sparks\n> -- \n> Alex", {{"ZN2.Dw B\"sparks", 1, 3}}},
    {"'--' without its blank is text", "ZN2.Dw B\"sparks\n--\nAlex", {{"ZN2.Dw B\"sparks -- Alex", 1, 1}}},
    {"a line holding ZN2. ends the code", "ZN2.Dw B\"sparks\nxZN2.y", {{"ZN2.Dw B\"sparks", 1, 1}}},
    {"the next code's line", "ZN2.Dw Gm\nZN2.Dx Gf\nL12m", {{"ZN2.Dw Gm", 1, 1}, {"ZN2.Dx Gf L12m", 2, 1}}},
    // 5: lines and columns
    {"CR LF line ends", "Hi\r\n\r\nZN2.Dw Gm\r\nL12m\r\n", {{"ZN2.Dw Gm L12m", 3, 1}}},
    {"CR line ends", "Hi\rZN2.Dw Gm\rL12m", {{"ZN2.Dw Gm L12m", 2, 1}}},
    {"LF CR is two line ends", "Hi\n\rZN2.Dw", {{"ZN2.Dw", 3, 1}}},
    {"a tab is one column", "\t\tZN2.Dw", {{"ZN2.Dw", 1, 3}}},
    {"Unicode before the code", "Mon code \xE2\x86\x92 ZN2.Dw Gm", {{"ZN2.Dw Gm", 1, 12}}},
    {"a code point past U+FFFF is one column", "\xF0\x9F\x90\x89 ZN2.Dw", {{"ZN2.Dw", 1, 3}}},
    // 6: encoding
    {"two bad bytes, two columns", "\xFF\xC0 ZN2.Dw", {{"ZN2.Dw", 1, 4}}},
    {"UTF-16LE by its mark", "\xFF\xFE \0Z\0N\0" "2\0.\0D\0w\0\n\0Z\0N\0" "2\0.\0"sv,
     {{"ZN2.Dw", 1, 2}, {"ZN2.", 2, 1}}},
    {"UTF-16BE by its mark", "\xFE\xFF\0>\0Z\0N\0" "2\0.\xD8\x3D\xDC\x09"sv, {{"ZN2.\xF0\x9F\x90\x89", 1, 2}}},
    {"a cut sequence is one column", "\xE2\x82 ZN2.Dw", {{"ZN2.Dw", 1, 3}}},
    {"bad bytes in the code", "ZN2.Dw \xFF", {{"ZN2.Dw \xEF\xBF\xBD", 1, 1}}},
    {"byte-order mark at the start", "\xEF\xBB\xBFZN2.Dw Gm", {{"ZN2.Dw Gm", 1, 1}}},
    {"byte-order mark later is a character", "x\n\xEF\xBB\xBFZN2.Dw", {}},
    {"byte-order mark, then a blank", "\xEF\xBB\xBF ZN2.Dw", {{"ZN2.Dw", 1, 2}}},
    // texts as they arrive
    {"signature",
     "Thanks for the help!\n\n-- \nAlex Smith\nZN2.Dw Gm L12m\nCbl|wh B\"sparks\"\n",
     {{"ZN2.Dw Gm L12m Cbl|wh B\"sparks\"", 5, 1}}},
    {"quoted reply",
     "On Monday Alex wrote:\n> My code is\n> ZN2.Dw Gm\n> L12m\n\nNice! Mine:\nZN2.Dx Gf\n",
     {{"ZN2.Dw Gm L12m", 3, 3}, {"ZN2.Dx Gf", 7, 1}}},
    {"reply to a reply",
     ">> ZN2.Dw Gm\n>> L12m\n> Is that you?\n>> Cbl|wh\n",
     {{"ZN2.Dw Gm L12m", 1, 4}}},
    {"forum post", "My code: ZN2.Dw Gm L12m Cbl|wh\nWhat do you think?\n",
     {{"ZN2.Dw Gm L12m Cbl|wh", 1, 10}}},
    {"mail with CR LF and tabs",
     "Hello,\r\n\r\n\tmy code:\r\n\tZN2.Dw Gm\r\n\tL12m\r\n\r\nBye\r\n",
     {{"ZN2.Dw Gm L12m", 4, 2}}},
    {"no code", "", {}},
    {"no code in prose", "Nothing here.\nzn2.Dw aZN2.Dw ZN2-Dw\n", {}},
};

std::vector<FoundCode> Expected(const FindCase& c) {
  std::vector<FoundCode> out;
  for (const Found& f : c.found) out.push_back({std::string(f.code), f.line, f.column});
  return out;
}

void ExpectSame(const std::vector<FoundCode>& got, const std::vector<FoundCode>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(testing::Visible(got[i].Code), testing::Visible(want[i].Code)) << "code " << i;
    EXPECT_EQ(got[i].Line, want[i].Line) << "code " << i;
    EXPECT_EQ(got[i].Column, want[i].Column) << "code " << i;
  }
}

TEST(Finder, Rules) {
  for (const FindCase& c : Cases) {
    SCOPED_TRACE(::testing::Message() << c.name << ": " << testing::Visible(c.text));
    ExpectSame(FindCodes(c.text), Expected(c));
  }
}

TEST(Finder, StreamingInPiecesFindsTheSame) {
  for (const FindCase& c : Cases) {
    const std::vector<FoundCode> want = Expected(c);
    for (std::size_t piece = 1; piece <= c.text.size(); ++piece) {
      SCOPED_TRACE(::testing::Message() << c.name << ", pieces of " << piece);
      std::vector<FoundCode> got;
      CodeFinder finder([&got](const FoundCode& code) { got.push_back(code); });
      for (std::size_t at = 0; at < c.text.size(); at += piece) finder.Feed(c.text.substr(at, piece));
      finder.Finish();
      ExpectSame(got, want);
    }
  }
}

TEST(Finder, ContinuationStopsAt32LinesOr8Kilobytes) {
  // Each "Gm" line would go on for ever; the bounds keep the time linear.
  std::string lines = "ZN2.Dw", joined = "ZN2.Dw";
  for (int i = 0; i < 40; ++i) lines += "\nGm";
  for (int i = 0; i < 32; ++i) joined += " Gm";
  ExpectSame(FindCodes(lines), {{joined, 1, 1}});

  const std::string item = std::string("Gm") + std::string(1000, ' ') + "L1m";
  std::string text = "ZN2.Dw", within = "ZN2.Dw";
  for (int i = 0; i < 10; ++i) {
    text += '\n';
    text += item;
  }
  for (int i = 0; i < 8; ++i) {  // 6 + 8 * 1006 bytes; a ninth line would pass 8192
    within += ' ';
    within += item;
  }
  ExpectSame(FindCodes(text), {{within, 1, 1}});
}

// A code takes at most 8 KB of its line, cut after a whole character; lines of any
// length around it change neither the codes nor where they are found.
TEST(Finder, LongLines) {
  const std::string euro = "\xE2\x82\xAC";
  std::string cut = "ZN2.Dw";
  while (cut.size() + euro.size() <= 8192) cut += cut.size() % 2 == 0 ? std::string(" Gm") : euro;
  std::string longCode = cut;
  while (longCode.size() < 20000) longCode += euro;
  const std::string blanks(100000, ' '), stray(100000, 'x');
  const auto characters = [](std::string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  const struct {
    std::string_view name;
    std::string text;
    std::vector<FoundCode> found;
  } cases[] = {
      {"a code past 8 KB", longCode + "  ", {{cut, 1, 1}}},
      {"a code past 8 KB, then another", longCode + " ZN2.Dx", {{cut, 1, 1}, {"ZN2.Dx", 1, characters(longCode) + 2}}},
      {"a long line before a code", stray + "\nZN2.Dw Gm\nGf", {{"ZN2.Dw Gm Gf", 2, 1}}},
      {"a code after a long prefix", ">" + blanks + "ZN2.Dw\n>Gm", {{"ZN2.Dw Gm", 1, 100002}}},
      {"a code after a long run", stray + " ZN2.Dw", {{"ZN2.Dw", 1, 100002}}},
      {"a continuation line with long trailing blanks", "ZN2.Dw\nGm" + blanks, {{"ZN2.Dw Gm", 1, 1}}},
      {"a continuation line past 8 KB", "ZN2.Dw\n" + stray, {{"ZN2.Dw", 1, 1}}},
      // Two bytes of room are left where the euro sign is cut; nothing behind it fits in.
      {"a code cut before a character, then letters", std::string(8190, 'x').replace(0, 4, "ZN2.") + euro + "Gm",
       {{std::string(8190, 'x').replace(0, 4, "ZN2."), 1, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSame(FindCodes(c.text), c.found);
    for (std::size_t piece : {1, 7, 4096}) {
      std::vector<FoundCode> got;
      CodeFinder finder([&got](const FoundCode& code) { got.push_back(code); });
      for (std::size_t at = 0; at < c.text.size(); at += piece) finder.Feed(std::string_view(c.text).substr(at, piece));
      finder.Finish();
      ExpectSame(got, c.found);
    }
  }
}

TEST(Finder, ReadyForANewInputAfterFinish) {
  // Nothing of the first input (its open code, line count, pending CR) leaks.
  std::vector<FoundCode> got;
  CodeFinder finder([&got](const FoundCode& code) { got.push_back(code); });
  finder.Feed("x\nZN2.Dw Gm\r");
  finder.Finish();
  finder.Feed("\nZN2.Dx");
  finder.Finish();
  ExpectSame(got, {{"ZN2.Dw Gm", 2, 1}, {"ZN2.Dx", 2, 1}});
}

}  // namespace
}  // namespace zendric
