// Fixes: the first fix offered for each kind of slip, and on mistyped random codes,
// every fix offered mends what it promises.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "Builder.h"
#include "Fixes.h"

namespace zendric {
namespace {

struct FirstFix {
  std::string_view Code;
  std::size_t Message;  // the message whose fixes are asked for
  Fix Expected;
};

TEST(Fixes, FirstFixForEachKindOfSlip) {
  const FirstFix cases[] = {
      // letter case: the prefix, a tag, a species code, a body-part letter
      {"zn2.Dw", 0, {1, 4, "ZN2.", "Write ZN2. in capitals"}},
      {"ZN2.Dw gm", 0, {8, 8, "G", "Write G (gender) in capitals"}},
      {"ZN2.dw", 0, {5, 6, "Dw", "Write dw as Dw (Western Dragon)"}},
      {"ZN2.Dw Cbl,Wre", 0, {12, 12, "w", "Write W as w (wings)"}},
      // the prefix's case and the species' case at once: one edit
      {"zn2.dw", 0, {1, 5, "ZN2.D", "Write ZN2. in capitals and write dw as Dw (Western Dragon)"}},
      // a missing dot, closing mark or unit
      {"ZN2Dw", 0, {4, 3, ".", "Insert . after ZN2"}},
      {"ZN2.Dw A(r+v- Gm", 0, {14, 13, ")", "Insert ) to close the age group"}},
      {"ZN2.Dw{Gm", 0, {10, 9, "}", "Insert } to close the form block"}},
      {"ZN2.Dw Tc+[x", 0, {13, 12, "]", "Insert ] to close the technology specialist field after x"}},
      {"ZN2.Dw Bfl\"blue Gm", 0, {16, 15, "\"", "Insert \" to close the breath weapon name modifier after blue"}},
      {"ZN2.Dw L12", 0, {11, 10, "m", "Insert m (metres)"}},
      {"Dw Gm", 0, {1, 0, "ZN2.", "Insert ZN2. at the start"}},
      // one letter changed, dropped, added or swapped
      {"ZN2.Dw Cgt", 0, {9, 10, "gr", "Replace gt with gr (green)"}},
      {"ZN2.Dw Bf", 0, {9, 9, "fl", "Replace f with fl (flames or fire)"}},
      {"ZN2.Dw W++++", 0, {9, 12, "+++", "Replace ++++ with +++ ('I have to enter my cave sideways!')"}},
      {"ZN2.Dw Clb", 0, {9, 10, "bl", "Replace lb with bl (blue)"}},
      // equally near: the key beside the one typed, or struck twice, before others
      {"ZN2.Dx", 0, {5, 6, "Dc", "Replace Dx with Dc (Draconid)"}},
      {"ZN2.Dw Gj", 0, {9, 9, "h", "Replace j with h (hermaphrodite)"}},
      // a code wrong in every letter: the nearest of its vocabulary
      {"ZN2.Dw Gm L12m Cbl|zz B-", 0, {20, 21, "bz", "Replace zz with bz (bronze)"}},
      // removals, when nothing else mends
      {"ZN2.Dw X Gm", 0, {8, 8, "", "Remove the stray X"}},
      {"ZN2.Dw Pa99999999999", 0, {7, 20, "", "Remove the item Pa99999999999"}},
  };
  for (const FirstFix& c : cases) {
    SCOPED_TRACE(c.Code);
    const ParseResult r = ParseCode(c.Code);
    ASSERT_LT(c.Message, r.MessageCount());
    const std::vector<Fix> fixes = FixesFor(c.Code, r, c.Message);
    ASSERT_FALSE(fixes.empty());
    EXPECT_EQ(fixes[0].From, c.Expected.From);
    EXPECT_EQ(fixes[0].To, c.Expected.To);
    EXPECT_EQ(fixes[0].Text, c.Expected.Text);
    EXPECT_EQ(fixes[0].Label, c.Expected.Label);
    EXPECT_LE(fixes.size(), MaxFixes);
  }
}

TEST(Fixes, NoneWhereNothingMends) {
  // the prefix mended, the rest still says something: not fewer messages
  for (std::string_view code : {"zn2.Dw Pa99999999999", "", "xyz"}) {
    SCOPED_TRACE(code);
    const ParseResult r = ParseCode(code);
    ASSERT_EQ(r.MessageCount(), 1u);
    EXPECT_TRUE(FixesFor(code, r, 0).empty());
  }
}

TEST(Fixes, KindLeavesOutWhatIsQuoted) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Error: Invalid colour code (zz)", "Error: Invalid colour code ()"},
      {"Error: Invalid code at position 12 ())", "Error: Invalid code at position  ()"},
      {"Error: Species code Dx is invalid", "Error: Species code  is invalid"},
      {"Hint: Species code D?w can be cut off after the ?", "Hint: Species code  can be cut off after the ?"},
      {"Error: missing } at position 10", "Error: missing } at position "},
      {"Error: Missing ) in age tag", "Error: Missing ) in age tag"},
  };
  for (const auto& [message, kind] : cases) EXPECT_EQ(MessageKind(message), kind) << message;
}

TEST(Fixes, ExplanationNamesTheTagAndSomeCodes) {
  const std::string code = "ZN2.Dw Cbl|zz";
  const ParseResult r = ParseCode(code);
  const std::string text = ExplainMessage(code, r, 0);
  EXPECT_TRUE(text.starts_with("Colour (C):")) << text;
  EXPECT_NE(text.find("bl (blue)"), std::string::npos) << text;
}

// A persona's code with one to three slips typed into it.
std::string Mistyped(std::mt19937& random, std::string code) {
  static constexpr std::string_view Typed = "abcdefghijklmnopqrstuvwxyzABCDGLMTW+-~!?*#^/|,:()[]{}\" .0123456789";
  const int slips = 1 + static_cast<int>(random() % 3);
  for (int k = 0; k < slips && !code.empty(); ++k) {
    const std::size_t at = random() % code.size();
    const char ch = Typed[random() % Typed.size()];
    switch (random() % 4) {
      case 0: code.erase(at, 1); break;
      case 1: code.insert(at, 1, ch); break;
      case 2: code[at] = ch; break;
      default:
        if (at + 1 < code.size()) std::swap(code[at], code[at + 1]);
    }
  }
  return code;
}

std::multiset<std::string> Kinds(const ParseResult& r) {
  std::multiset<std::string> kinds;
  for (std::size_t i = 0; i < r.MessageCount(); ++i) kinds.insert(MessageKind(r.Message(i)));
  return kinds;
}

TEST(Fixes, EveryFixOfferedOnRandomCodesMends) {
  std::mt19937 random(22);
  std::size_t messages = 0, fixed = 0;
  for (int n = 0; n < 150; ++n) {
    const std::string code = Mistyped(random, BuildCode(RandomPersona(random)));
    const ParseResult r = ParseCode(code);
    const std::multiset<std::string> before = Kinds(r);
    const auto length = static_cast<std::int32_t>(DecodeUtf8(code).size());
    const std::vector<std::vector<Fix>> each = FixesForEach(code, r);
    ASSERT_EQ(each.size(), r.MessageCount());
    for (std::size_t i = 0; i < r.MessageCount(); ++i) {
      const std::vector<Fix> fixes = FixesFor(code, r, i);
      EXPECT_EQ(each[i], fixes) << code << " message " << i;  // the whole code's fixes are the same fixes
      ++messages;
      fixed += fixes.empty() ? 0 : 1;
      for (const Fix& f : fixes) {
        SCOPED_TRACE(code + " | " + f.Label);
        ASSERT_GE(f.From, 1);
        ASSERT_GE(f.To, f.From - 1);
        ASSERT_LE(f.To, length);
        const ParseResult after = ParseCode(ApplyFix(code, f));
        EXPECT_LT(after.MessageCount(), r.MessageCount());
        for (const std::string& kind : Kinds(after)) EXPECT_TRUE(before.contains(kind)) << kind;
      }
    }
  }
  // most slips are mended: a rule that stopped offering anything would show here
  EXPECT_GT(fixed * 10, messages * 8) << fixed << " of " << messages;
}

TEST(Fixes, ACodeFullOfErrorsGetsFixesForItsFirstMessagesOnly) {
  // thousands of messages: checking each one's fixes would read the code thousands of times
  const std::string code = "ZN2.Dw" + std::string(8000, '{');
  const ParseResult r = ParseCode(code);
  const std::vector<std::vector<Fix>> each = FixesForEach(code, r);
  ASSERT_EQ(each.size(), r.MessageCount());
  EXPECT_EQ(each.front(), FixesFor(code, r, 0));
  EXPECT_FALSE(each.front().empty());
  EXPECT_TRUE(each.back().empty());
}

TEST(Fixes, RepeatedFixesEndWithFewerMessages) {
  std::mt19937 random(7);
  for (int n = 0; n < 40; ++n) {
    const std::string code = Mistyped(random, BuildCode(RandomPersona(random)));
    SCOPED_TRACE(code);
    const std::size_t before = ParseCode(code).MessageCount();
    const FixRun run = FixRepeatedly(code);
    EXPECT_EQ(run.Reading, ParseCode(run.Fixed));
    if (before > 0 && !run.Applied.empty()) {
      EXPECT_LT(run.Reading.MessageCount(), before);
    }
    if (before == 0) {
      EXPECT_TRUE(run.Applied.empty());
    }
  }
}

}  // namespace
}  // namespace zendric
