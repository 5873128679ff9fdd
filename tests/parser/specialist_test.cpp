// Technology, magic and psionics: the rating, then an optional bracketed field.
#include <gtest/gtest.h>

#include <algorithm>

#include "ReadingCases.h"
#include "Specialist.h"

namespace zendric {
namespace {

using testing::ExpectReadings;

TEST(Specialist, RatingAndField) {
  ExpectReadings({
      {"ZN2. Tc+[electronics]",
       {"My technology index: I can find my way around most gadgets.\rMy specialist field is: electronics"}, {}},
      {"ZN2. Tc[electronics]",
       {"My technology index: I can use a computer without breaking it.\rMy specialist field is: electronics"}, {}},
      {"ZN2. V++[]", {"My magical abilities: I know a number of spells.\rMy specialist field is: "}, {}},
      // A field runs over blanks and capitals up to its "]".
      {"ZN2. Q--[Mind Reading, Mostly] W",
       {"My psionical abilities: Only my very outer thoughts are exposed.\rMy specialist field is: Mind Reading, Mostly",
        "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. Tc+++!", {"My technology index: I write microcode in my spare time!"}, {}},
      {"ZN2. Tc? Tc~", {"My technology index: I don't know how good I am with technology", "My technology index: My tech skills vary"}, {}},
      {"ZN2. V---! V~ Q~ Q?",
       {"My magical abilities: Magic? What's that?", "My magical abilities: Sometimes I'm good at it, sometimes not.",
        "My psionical abilities: Sometimes I'm good at it, sometimes not.", "My psionical abilities: I have no idea!"}, {}},
      {"ZN2. V[\xCE\xA9mega]", {"My magical abilities: I can manage a charm or two.\rMy specialist field is: \xCE\xA9mega"}, {}},
      // The rating stops at a capital, so the next item may follow directly.
      {"ZN2. Tc+W-", {"My technology index: I can find my way around most gadgets.", "Concerning my width: 'I'm slightly on the slim side!'"}, {}},
  });
}

TEST(Specialist, Errors) {
  ExpectReadings({
      // A missing "]" swallows the rest of the code, later tags included.
      {"ZN2. Tc+[electronics W+",
       {"My technology index: I can find my way around most gadgets.\rMy specialist field is: electronics W+"},
       {{"Error: Missing ] in technology specialist field", 9}}},
      {"ZN2. V[runes", {"My magical abilities: I can manage a charm or two.\rMy specialist field is: runes"},
       {{"Error: Missing ] in magic specialist field", 7}}},
      {"ZN2. Q-[", {"My psionical abilities: My mind is fairly well shielded.\rMy specialist field is: "},
       {{"Error: Missing ] in psionics specialist field", 8}}},
      // An invalid rating is reported; the field is still read.
      {"ZN2. Tc++++[x]", {"\rMy specialist field is: x"}, {{"Error: invalid code in technology tag", 8}}},
      {"ZN2. Tc+x[y]", {"\rMy specialist field is: y"}, {{"Error: invalid code in technology tag", 8}}},
      {"ZN2. V?? Q+!", {}, {{"Error: invalid code in magic tag", 7}, {"Error: invalid code in psionics tag", 11}}},
      // A blank before "[" ends the item: the brackets go to the item loop.
      {"ZN2. Tc+ [x]", {"My technology index: I can find my way around most gadgets."},
       {{"Error: Invalid code at position 10 ([)", 10}, {"Error: Invalid code at position 11 (x)", 11},
        {"Error: Invalid code at position 12 (])", 12}}},
      // Only one field per tag.
      {"ZN2. Tc+[a][b]", {"My technology index: I can find my way around most gadgets.\rMy specialist field is: a"},
       {{"Error: Invalid code at position 12 ([)", 12}, {"Error: Invalid code at position 13 (b)", 13},
        {"Error: Invalid code at position 14 (])", 14}}},
  });
}

TEST(Specialist, TagsRateOnTheCommonScale) {
  constexpr std::string_view Common[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!"};
  constexpr std::string_view LastTwo[][2] = {{"?", "~"}, {"~", "?"}, {"~", "?"}};
  const auto rows = testing::RowsOf({TagKind::Specialist});
  ASSERT_EQ(rows.size(), 3u);
  for (std::size_t t = 0; t < rows.size(); ++t) {
    const TagRow& tag = *rows[t];
    SCOPED_TRACE(tag.Letters);
    ASSERT_EQ(tag.Scale.size(), 11u);
    for (std::size_t i = 0; i < std::size(Common); ++i) EXPECT_EQ(tag.Scale[i].Key, Common[i]);
    EXPECT_EQ(tag.Scale[9].Key, LastTwo[t][0]);
    EXPECT_EQ(tag.Scale[10].Key, LastTwo[t][1]);
    EXPECT_TRUE(std::none_of(tag.Scale.begin(), tag.Scale.end(), [](const ScaleEntry& e) { return e.Text.empty(); }));
  }
}

}  // namespace
}  // namespace zendric
