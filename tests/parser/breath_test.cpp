// The breath weapon item: codes, quoted names and adjectives, shapes and chains.
// Codes start "ZN2. " so that the species reader plays no part.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "Breath.h"
#include "ParseState.h"
#include "ReadingCases.h"
#include "Readers.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

constexpr std::string_view Width = "Concerning my width: 'I'm of perfectly normal girth!'";

TEST(Breath, CodesAndShapes) {
  ExpectReadings({
      {"ZN2. Bfl", {"I breathe flames or fire"}, {}},
      {"ZN2. B-", {"I breathe nothing special"}, {}},
      {"ZN2. Bfl|", {"I breathe beams of flames or fire"}, {}},
      {"ZN2. Bic#", {"I breathe clouds of ice"}, {}},
      // The newest shape wraps around everything before it.
      {"ZN2. Bzz|#", {"I breathe clouds of beams of electricity or lightning"}, {}},
      {"ZN2. Bzz#|", {"I breathe beams of clouds of electricity or lightning"}, {}},
      {"ZN2. Bfl|#|", {"I breathe beams of clouds of beams of flames or fire"}, {}},
      {"ZN2. Bfl/ic", {"I breathe flames or fire, ice"}, {}},
      // "/" closes a weapon: its shapes stay with it.
      {"ZN2. Bfl#/wa|", {"I breathe clouds of flames or fire, beams of water"}, {}},
      {"ZN2. Bac|/co/-#/zz", {"I breathe beams of acid, cold or frost, clouds of nothing special, electricity or lightning"}, {}},
      {"ZN2. Bfl W", {"I breathe flames or fire", std::string(Width)}, {}},
      {"ZN2. Bfl|W", {"I breathe beams of flames or fire", std::string(Width)}, {}},
      {"ZN2. Bsm$", {"I breathe smoke", "My monetary philosophy: I spend what I earn and earn what I spend."}, {}},
  });
}

TEST(Breath, InvalidCodes) {
  ExpectReadings({
      {"ZN2. Bxx", {"I breathe "}, {{"Error: Invalid breath weapon code (xx)", 9}}},
      // Modifiers that end nothing belong to the code.
      {"ZN2. Bfl+", {"I breathe "}, {{"Error: Invalid breath weapon code (fl+)", 10}}},
      // Codes are case-sensitive and a capital ends them at once.
      {"ZN2. BW-", {"I breathe ", "Concerning my width: 'I'm slightly on the slim side!'"}, {{"Error: Invalid breath weapon code ()", 7}}},
      {"ZN2. B", {"I breathe "}, {{"Error: Invalid breath weapon code ()", 7}}},
      {"ZN2. B W", {"I breathe ", std::string(Width)}, {{"Error: Invalid breath weapon code ()", 7}}},
      {"ZN2. B#", {"I breathe clouds of "}, {{"Error: Invalid breath weapon code ()", 7}}},
      {"ZN2. Bfl/", {"I breathe flames or fire, "}, {{"Error: Invalid breath weapon code ()", 10}}},
      {"ZN2. Bfl//ic", {"I breathe flames or fire, , ice"}, {{"Error: Invalid breath weapon code ()", 10}}},
      {"ZN2. Bxx|/ic", {"I breathe beams of , ice"}, {{"Error: Invalid breath weapon code (xx)", 9}}},
      {"ZN2. Bf\xC3\xA9|", {"I breathe beams of "}, {{"Error: Invalid breath weapon code (f\xC3\xA9)", 9}}},
  });
}

TEST(Breath, QuotedNamesAndAdjectives) {
  ExpectReadings({
      {"ZN2. B\"sparkles\"", {"I breathe sparkles"}, {}},
      {"ZN2. B\"Bad Puns\"|", {"I breathe beams of Bad Puns"}, {}},
      {"ZN2. B\"\"", {"I breathe "}, {}},
      {"ZN2. Bfl\"blue\"", {"I breathe blue flames or fire"}, {}},
      {"ZN2. Bfl\"blue\"|", {"I breathe beams of blue flames or fire"}, {}},
      {"ZN2. B\"mist\"\"cold\"#/ic\"thin\"", {"I breathe clouds of cold mist, thin ice"}, {}},
      // An invalid code still takes its adjective and shapes.
      {"ZN2. Bxx\"hot\"#", {"I breathe clouds of hot "}, {{"Error: Invalid breath weapon code (xx)", 9}}},
      // Only one adjective; a second quote is left for the item loop.
      {"ZN2. Bfl\"a\"\"b\"", {"I breathe a flames or fire"},
       {{"Error: Invalid code at position 12 (\")", 12}, {"Error: Invalid code at position 13 (b)", 13},
        {"Error: Invalid code at position 14 (\")", 14}}},
      // After a shape a quote is no adjective.
      {"ZN2. Bfl#\"a\"", {"I breathe clouds of flames or fire"},
       {{"Error: Invalid code at position 10 (\")", 10}, {"Error: Invalid code at position 11 (a)", 11},
        {"Error: Invalid code at position 12 (\")", 12}}},
      // Without a closing quote the rest of the code is taken and the item ends.
      {"ZN2. B\"hot air W+", {"I breathe hot air W+"}, {{"Errors: Missing \" in breath weapon name", 7}}},
      {"ZN2. Bfl\"very hot W+", {"I breathe very hot W+ flames or fire"},
       {{"Errors: Missing \" in breath weapon name modifier", 9}}},
      {"ZN2. B\"fog\"\"grey", {"I breathe grey fog"}, {{"Errors: Missing \" in breath weapon name modifier", 12}}},
  });
}

// Inside a form block a "}" closes quotes and codes; the species reader is not
// needed for that, so the item is read by hand with one block open.
TEST(Breath, InsideAFormBlock) {
  struct BlockCase {
    std::u32string code;
    std::string line;
    std::vector<std::string> errors;
    std::int32_t cursor;
  };
  const BlockCase cases[] = {
      {U"fl|}x", "I breathe beams of flames or fire", {}, 4},
      // A quote that reaches the "}" ends there without an error and takes it.
      {U"\"fog}x", "I breathe fog", {}, 6},
      {U"fl\"hot}|", "I breathe beams of hot flames or fire", {}, 9},
      {U"fl}", "I breathe flames or fire", {}, 3},
      {U"}", "I breathe ", {"1: Error: Invalid breath weapon code ()"}, 1},
  };
  for (const BlockCase& c : cases) {
    const testing::BlockReading r = testing::ReadInFormBlock("B", c.code);
    ASSERT_EQ(r.lineCount, 1u);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.errors, c.errors);
    EXPECT_EQ(r.cursor, c.cursor) << r.line;
  }
}

TEST(Breath, EveryCode) {
  for (const BreathWeapon& weapon : BreathWeapons) {
    const std::string code = "ZN2. B" + std::string(weapon.Code) + "|/" + std::string(weapon.Code);
    const std::string name(weapon.Name);
    ExpectReadings({{code, {"I breathe beams of " + name + ", " + name}, {}}});
  }
}

TEST(Breath, LongShapeRunFinishes) {
  constexpr int Count = 300'000;
  std::string code = "ZN2. Bfl";
  std::string line = "I breathe ";
  for (int i = 0; i < Count; ++i) {
    code += i % 2 == 0 ? "|" : "#";
    line += (Count - 1 - i) % 2 == 0 ? "beams of " : "clouds of ";
  }
  line += "flames or fire";
  ExpectReadings({{code, {line}, {}}});
}

}  // namespace
}  // namespace zendric
