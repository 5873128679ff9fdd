// Age, joviality, mating status and offspring: plain entries, real/virtual groups,
// the mating modifiers and the offspring counts. Codes start "ZN2. " so that the
// species reader plays no part.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "ParseState.h"
#include "ReadingCases.h"
#include "Readers.h"
#include "SplitItems.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

constexpr std::string_view Width = "Concerning my width: 'I'm of perfectly normal girth!'";
constexpr std::string_view WidthPlus = "Concerning my width: 'I'm a little on the broad side!'";

std::string TextOf(const TagRow& tag, std::string_view key) {
  const ScaleEntry* row = FindRow(tag.Scale, &ScaleEntry::Key, key);
  EXPECT_NE(row, nullptr) << tag.Letters << " has no key " << key;
  return row == nullptr ? std::string() : std::string(row->Text);
}

TEST(SplitItems, AgeAndJoviality) {
  ExpectReadings({
      {"ZN2. A+++!", {"My age: Ancient"}, {}},
      {"ZN2. A", {"My age: Mature adult"}, {}},
      {"ZN2. A()", {"My age: Mature adult"}, {}},
      {"ZN2. A---", {"My age: Hatchling"}, {}},
      {"ZN2. A(r+++!v---)", {"My age: \rMy real life age: Ancient\rMy virtual age: Hatchling"}, {}},
      {"ZN2. Ar+++!", {"My age: \rMy real life age: Ancient"}, {}},
      // Without brackets only one entry is read; the "v" goes to the item loop.
      {"ZN2. A+++!v---", {"My age: Ancient"},
       {{"Error: Invalid code at position 11 (v)", 11}, {"Error: Invalid code at position 12 (-)", 12},
        {"Error: Invalid code at position 13 (-)", 13}, {"Error: Invalid code at position 14 (-)", 14}}},
      // Markers with nothing behind them give the empty key.
      {"ZN2. A(rv)", {"My age: \rMy real life age: Mature adult\rMy virtual age: Mature adult"}, {}},
      // Entries need no marker, and a marker may come twice.
      {"ZN2. A(---r)", {"My age: Hatchling\rMy real life age: Mature adult"}, {}},
      {"ZN2. A(+++!+++!) W", {"My age: ", std::string(Width)}, {{"Error: invalid code in age tag", 8}}},
      {"ZN2. J~", {"My joviality: It depends on my mood"}, {}},
      {"ZN2. J?", {"My joviality: I have no idea"}, {}},
      {"ZN2. J(r~v?)", {"My joviality: \rMy real life joviality: It depends on my mood\rMy virtual joviality: I have no idea"}, {}},
      {"ZN2. Jx", {"My joviality: "}, {{"Error: invalid code in joviality tag", 7}}},
      // No quoted description here: the quote ends the modifier and goes to the item loop.
      {"ZN2. A\"x", {"My age: Mature adult"},
       {{"Error: Invalid code at position 7 (\")", 7}, {"Error: Invalid code at position 8 (x)", 8}}},
  });
}

TEST(SplitItems, MissingBracket) {
  ExpectReadings({
      {"ZN2. A(r+++! W", {"My age: \rMy real life age: Ancient", std::string(Width)}, {{"Error: Missing ) in age tag", 13}}},
      {"ZN2. A(r+++!", {"My age: \rMy real life age: Ancient"}, {{"Error: Missing ) in age tag", 13}}},
      {"ZN2. A(", {"My age: Mature adult"}, {{"Error: Missing ) in age tag", 8}}},
      // An entry that cannot start ends the group as at a blank; the capital is the next item.
      {"ZN2. A(W+", {"My age: Mature adult", std::string(WidthPlus)}, {{"Error: Missing ) in age tag", 8}}},
      {"ZN2. A(---W+", {"My age: HatchlingMature adult", std::string(WidthPlus)}, {{"Error: Missing ) in age tag", 11}}},
      {"ZN2. A(---$", {"My age: HatchlingMature adult", "My monetary philosophy: I spend what I earn and earn what I spend."},
       {{"Error: Missing ) in age tag", 11}}},
      {"ZN2. A(---\"", {"My age: HatchlingMature adult"},
       {{"Error: Missing ) in age tag", 11}, {"Error: Invalid code at position 11 (\")", 11}}},
  });
}

TEST(SplitItems, EveryTagSharesTheWrapper) {
  const std::string_view Headings[] = {"My age: ", "My joviality: ", "My mating status: ", "My offspring: "};
  const std::string_view Nouns[] = {"age", "joviality", "mating status", "offspring"};
  const auto rows = testing::RowsOf({TagKind::Split});
  ASSERT_EQ(rows.size(), 4u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TagRow& tag = *rows[i];
    SCOPED_TRACE(tag.Letters);
    EXPECT_EQ(tag.Heading, Headings[i]);
    const std::string heading(tag.Heading);
    const std::string real = std::string(tag.RealLife);
    const std::string virt = std::string(tag.Virtual);
    const std::string missing = "Error: Missing ) in " + std::string(Nouns[i]) + " tag";
    const std::string t = "ZN2. " + std::string(tag.Letters);
    EXPECT_EQ(real, "\rMy real life " + std::string(Nouns[i]) + ": ");
    EXPECT_EQ(virt, "\rMy virtual " + std::string(Nouns[i]) + ": ");
    ExpectReadings({
        {t + "(r---v~)", {heading + real + TextOf(tag, "---") + virt + TextOf(tag, "~")}, {}},
        {t + "?", {heading + TextOf(tag, "?")}, {}},
        {t + "(r--- W", {heading + real + TextOf(tag, "---"), std::string(Width)}, {{missing, 12}}},
        {t + "(W+", {heading + TextOf(tag, ""), std::string(WidthPlus)}, {{missing, 8}}},
        {t + "+++++", {heading}, {{"Error: invalid code in " + std::string(Nouns[i]) + " tag", 7}}},
    });
  }
}

TEST(SplitItems, ScalesHoldTheCommonKeys) {
  constexpr std::string_view Common[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!"};
  const std::string_view Extra[] = {"?~", "~?", "/~?", "?~/"};
  const auto rows = testing::RowsOf({TagKind::Split});
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TagRow& tag = *rows[i];
    SCOPED_TRACE(tag.Letters);
    ASSERT_EQ(tag.Scale.size(), std::size(Common) + Extra[i].size());
    for (std::size_t k = 0; k < tag.Scale.size(); ++k) {
      const std::string_view want = k < std::size(Common) ? Common[k] : Extra[i].substr(k - std::size(Common), 1);
      EXPECT_EQ(tag.Scale[k].Key, want);
      EXPECT_FALSE(tag.Scale[k].Text.empty());
    }
  }
}

TEST(SplitItems, MatingSpaceModifier) {
  const std::string far = "\rI'm far from my mate";
  ExpectReadings({
      {"ZN2. M +++", {"My mating status: I'm mated for life, and happily so!" + far}, {}},
      // Far-away goes after the scale text and before the trailing modifiers.
      {"ZN2. M +2_", {"My mating status: I'm seeing someone." + far + "\rI have 2 mates\rMy mate is dead"}, {}},
      // A blank in front of a capital only separates the items.
      {"ZN2. M W+", {"My mating status: I'm looking for a mate.", std::string(WidthPlus)}, {}},
      {"ZN2. M   W+", {"My mating status: I'm looking for a mate.", std::string(WidthPlus)}, {}},
      {"ZN2. M -", {"My mating status: Don't ask!"},
       {{"Error: space modifier only allowed before plusses in mating status", 8}}},
      // At the end of the code the blank still counts as a space modifier.
      {"ZN2. M ", {"My mating status: I'm looking for a mate."},
       {{"Error: space modifier only allowed before plusses in mating status", 8}}},
      // Only one blank is taken: the second stops the entry.
      {"ZN2. M  +", {"My mating status: I'm looking for a mate."},
       {{"Error: space modifier only allowed before plusses in mating status", 8}, {"Error: Invalid code at position 9 (+)", 9}}},
      {"ZN2. M $", {"My mating status: I'm looking for a mate.", "My monetary philosophy: I spend what I earn and earn what I spend."},
       {{"Error: space modifier only allowed before plusses in mating status", 8}}},
      {"ZN2. Mr +", {"My mating status: \rMy real life mating status: I'm seeing someone." + far}, {}},
  });
}

TEST(SplitItems, MatingModifiersWithPlus) {
  const std::string plus = "My mating status: I'm seeing someone.";
  ExpectReadings({
      {"ZN2. M+++2", {"My mating status: I'm mated for life, and happily so!\rI have 2 mates"}, {}},
      {"ZN2. M+++!12", {"My mating status: I have more mates than I have claws!\rI have 12 mates"}, {}},
      {"ZN2. M+_", {plus + "\rMy mate is dead"}, {}},
      {"ZN2. M+_2", {plus + "\r2 of my mates are dead"}, {}},
      {"ZN2. M+*3", {plus + "\rI'm divorced from 3 mates, and one was bitter about it"}, {}},
      {"ZN2. M+*", {plus + "\rI'm divorced , and one was bitter about it"}, {}},
      {"ZN2. M+|2", {plus + "\rI'm divorced from 2 mates"}, {}},
      {"ZN2. M+|", {plus + "\rI'm divorced"}, {}},
      {"ZN2. M+\"far away\"", {plus + "\rOther info: far away"}, {}},
      {"ZN2. M+\"\"", {plus + "\rOther info: "}, {}},
      {"ZN2. M+\"Nessie W+", {plus + "\rOther info: Nessie W+"}, {{"Error: Missing \" in mating status description", 8}}},
      // Any number, any order; the count after "_", "*" and "|" is theirs.
      {"ZN2. M+2_xx", {plus + "\rI have 2 mates\rMy mate is dead\rI'm a member of the XX conspiracy!"}, {}},
      {"ZN2. M++_3*|4\"x\"2", {"My mating status: I have a mate.\r3 of my mates are dead\rI'm divorced , and one was bitter about it"
                             "\rI'm divorced from 4 mates\rOther info: x\rI have 2 mates"}, {}},
      {"ZN2. M+xyxx", {plus + "\rI'm a member of the XY conspiracy!\rI'm a member of the XX conspiracy!"}, {}},
      {"ZN2. M+x", {plus}, {{"Error: Invalid modifier x in mating status tag", 8}}},
      // The run stops at anything else, which the item loop reads next.
      {"ZN2. M+_W+", {plus + "\rMy mate is dead", std::string(WidthPlus)}, {}},
      {"ZN2. M/", {"My mating status: Ask me, and I'll ask your snout to meet your kidneys!"}, {}},
  });
}

TEST(SplitItems, MatingModifiersWithoutPlus) {
  ExpectReadings({
      {"ZN2. M-2", {"My mating status: Don't ask!"}, {{"Error: number modifier only allowed after plusses in mating status", 9}}},
      {"ZN2. M~12 W", {"My mating status: It changes from one season to the next.", std::string(Width)},
       {{"Error: number modifier only allowed after plusses in mating status", 10}}},
      {"ZN2. M_*|", {"My mating status: I'm looking for a mate."},
       {{"Error: _ modifier only allowed after plusses in mating status", 7},
        {"Error: * modifier only allowed after plusses in mating status", 8},
        {"Error: | modifier only allowed after plusses in mating status", 9}}},
      // The marks are taken alone: the digits after them are a bare count.
      {"ZN2. M-_2", {"My mating status: Don't ask!"},
       {{"Error: _ modifier only allowed after plusses in mating status", 8},
        {"Error: number modifier only allowed after plusses in mating status", 10}}},
      // Quotes and conspiracies need no plus.
      {"ZN2. M-\"x\"", {"My mating status: Don't ask!\rOther info: x"}, {}},
      {"ZN2. Mxx", {"My mating status: I'm looking for a mate.\rI'm a member of the XX conspiracy!"}, {}},
      {"ZN2. Mxy", {"My mating status: I'm looking for a mate.\rI'm a member of the XY conspiracy!"}, {}},
      {"ZN2. Mxz", {"My mating status: I'm looking for a mate."},
       {{"Error: Invalid modifier x in mating status tag", 7}, {"Error: Invalid code at position 8 (z)", 8}}},
      // The plus flag is the first character of the scale modifier, valid or not.
      {"ZN2. M+q2", {"My mating status: \rI have 2 mates"}, {{"Error: invalid code in mating status tag", 7}}},
  });
}

TEST(SplitItems, MatingGroups) {
  ExpectReadings({
      {"ZN2. M(+_2)", {"My mating status: I'm seeing someone.\r2 of my mates are dead"}, {}},
      // The plus flag belongs to each entry.
      {"ZN2. M(r+2v-_)", {"My mating status: \rMy real life mating status: I'm seeing someone.\rI have 2 mates"
                          "\rMy virtual mating status: Don't ask!"},
       {{"Error: _ modifier only allowed after plusses in mating status", 13}}},
      {"ZN2. M(r+\"a\"v--)", {"My mating status: \rMy real life mating status: I'm seeing someone.\rOther info: a"
                             "\rMy virtual mating status: I'm single."}, {}},
      {"ZN2. M(+ W", {"My mating status: I'm seeing someone.", std::string(Width)}, {{"Error: Missing ) in mating status tag", 9}}},
  });
}

// Inside a form block "}" ends a modifier, a group and a description; the item is
// read by hand with one block open, as the species reader would read it.
TEST(SplitItems, InsideAFormBlock) {
  struct BlockCase {
    std::string_view tag;
    std::u32string code;
    std::string line;
    std::vector<std::string> errors;
    std::int32_t cursor;
  };
  const BlockCase cases[] = {
      {"A", U"+}", "My age: Old", {}, 2},
      // A group cut off by the "}" is missing its bracket there.
      {"A", U"(r---}", "My age: \rMy real life age: HatchlingMature adult", {"6: Error: Missing ) in age tag"}, 6},
      // A description that reaches the "}" is reported, and the "}" is taken.
      {"M", U"+\"far}y", "My mating status: I'm seeing someone.\rOther info: far",
       {"2: Error: Missing \" in mating status description"}, 7},
      {"M", U"+2}", "My mating status: I'm seeing someone.\rI have 2 mates", {}, 3},
      // A blank before the "}" is a space modifier: "}" is no capital.
      {"M", U" }", "My mating status: I'm looking for a mate.",
       {"2: Error: space modifier only allowed before plusses in mating status"}, 2},
      {"O", U"a+3}", "My offspring: I have 3 hatchlings that are still home.\rMy hatchlings are adopted.", {}, 4},
  };
  for (const BlockCase& c : cases) {
    const testing::BlockReading r = testing::ReadInFormBlock(c.tag, c.code);
    ASSERT_EQ(r.lineCount, 1u);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.errors, c.errors);
    EXPECT_EQ(r.cursor, c.cursor) << r.line;
  }
}

TEST(SplitItems, Offspring) {
  ExpectReadings({
      {"ZN2. O+3", {"My offspring: I have 3 hatchlings that are still home."}, {}},
      {"ZN2. O-2", {"My offspring: I have 2 hatchlings that have flown the coop."}, {}},
      {"ZN2. O-0", {"My offspring: I have 0 hatchlings that have flown the coop."}, {}},
      {"ZN2. O+", {"My offspring: I've got one still in the nest."}, {}},
      {"ZN2. O--", {"My offspring: Hatchlings? Not for me."}, {}},
      {"ZN2. O?", {"My offspring: I lost track long ago. If it meeps, I feed it."}, {}},
      {"ZN2. O/", {"My offspring: If I ever heard one was my fault, I'd faint!"}, {}},
      {"ZN2. O-x", {"My offspring: "}, {{"Error: invalid code in offspring tag", 7}}},
      // Only the first sign takes a count; "++3" is a modifier like any other.
      {"ZN2. O++3", {"My offspring: "}, {{"Error: invalid code in offspring tag", 7}}},
      // A count stops at the first non-digit, which the item loop reads.
      {"ZN2. O+12W", {"My offspring: I have 12 hatchlings that are still home.", std::string(Width)}, {}},
      {"ZN2. O+1.5", {"My offspring: I have 1 hatchlings that are still home."},
       {{"Error: Invalid code at position 9 (.)", 9}, {"Error: Invalid code at position 10 (5)", 10}}},
      {"ZN2. Oa--", {"My offspring: Hatchlings? Not for me.\rMy hatchlings are adopted."}, {}},
      {"ZN2. Oa", {"My offspring: None yet, but I'd like some one day.\rMy hatchlings are adopted."}, {}},
      {"ZN2. Oa-4", {"My offspring: I have 4 hatchlings that have flown the coop.\rMy hatchlings are adopted."}, {}},
      {"ZN2. Oax", {"My offspring: \rMy hatchlings are adopted."}, {{"Error: invalid code in offspring tag", 8}}},
      {"ZN2. O(ra+2v--)", {"My offspring: \rMy real life offspring: I have 2 hatchlings that are still home."
                           "\rMy hatchlings are adopted.\rMy virtual offspring: Hatchlings? Not for me."}, {}},
      // The adoption marker comes after the life marker only.
      {"ZN2. Oar+", {"My offspring: None yet, but I'd like some one day.\rMy hatchlings are adopted."}, {{"Error: Invalid code at position 8 (r)", 8}, {"Error: Invalid code at position 9 (+)", 9}}},
  });
}

}  // namespace
}  // namespace zendric
