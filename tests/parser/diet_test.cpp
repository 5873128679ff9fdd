// The F tag: food letters before and after the rating, joined into one sentence.
#include <gtest/gtest.h>

#include <string>

#include "Diet.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::ExpectReadings;

// The ratings the cases meet, as written behind "I'm ".
#define D0 "insatiable - 'More! More! More!'"
#define D3 "overindulgent - 'Just one more helping, then!'"
#define D4 "eating normal for my species - 'I have three square meals a day!'"
#define D6 "efficient - 'One good meal lasts me a week!'"
#define D10 "unknown - 'I've never paid attention to it!'"

TEST(Diet, RatingAndFoods) {
  ExpectReadings({
      {"ZN2. F", {"I'm " D4}, {}},
      {"ZN2. F?", {"I'm " D10}, {}},
      {"ZN2. Fc", {"I'm " D4 "\rI eat meat"}, {}},
      {"ZN2. F+c/v", {"I'm " D3 "\rI eat meat, eat vegetables"}, {}},
      {"ZN2. Fc/f/j", {"I'm " D4 "\rI eat meat, drink fluids, eat junk food"}, {}},
      {"ZN2. Fo--", {"I'm " D6 "\rI eat everything"}, {}},
      {"ZN2. Fc~", {"I'm " D4 "\rI eat any meat"}, {}},
      {"ZN2. Fp", {"I'm " D4 "\rI am a photosynthesiser"}, {}},
      {"ZN2. F+++!m", {"I'm " D0 "\rI eat minerals"}, {}},
      // Food letters with or without "/" between them read the same.
      {"ZN2. Fcv Fc/v", {"I'm " D4 "\rI eat meat, eat vegetables", "I'm " D4 "\rI eat meat, eat vegetables"}, {}},
      {"ZN2. Fc/", {"I'm " D4 "\rI eat meat"}, {}},
      // Lists before and after the rating make one sentence, in the order written.
      {"ZN2. Fc+v", {"I'm " D3 "\rI eat meat, eat vegetables"}, {}},
      {"ZN2. Fc~/v~--o", {"I'm " D6 "\rI eat any meat, eat any vegetables, eat everything"}, {}},
      // A "~" where the rating would begin is the food "anything", never the rating.
      {"ZN2. F~", {"I'm " D4 "\rI eat anything"}, {}},
      {"ZN2. F~~", {"I'm " D4 "\rI eat any anything"}, {}},
      {"ZN2. F?W", {"I'm " D10, "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
  });
}

TEST(Diet, Errors) {
  ExpectReadings({
      // Only one "/" is skipped: the second is taken as the rating and rejected,
      // so the line starts with the food sentence's line break.
      {"ZN2. Fc//v", {"\rI eat meat, eat vegetables"}, {{"Error: invalid code in diet tag", 9}}},
      {"ZN2. F-~", {}, {{"Error: invalid code in diet tag", 7}}},
      {"ZN2. F+~v", {"\rI eat vegetables"}, {{"Error: invalid code in diet tag", 7}}},
      {"ZN2. Fx W", {"Concerning my width: 'I'm of perfectly normal girth!'"}, {{"Error: invalid code in diet tag", 7}}},
      // Food letters after a blank belong to no item.
      {"ZN2. F-- c", {"I'm " D6}, {{"Error: Invalid code at position 10 (c)", 10}}},
  });
}

TEST(Diet, Tables) {
  std::u32string letters;
  for (const FoodEntry& f : FoodTable) letters += f.Letter;
  EXPECT_EQ(letters, U"~cfjmopv");
  // Built from the two tables: every food letter but the one that is a rating.
  EXPECT_EQ(FoodLetters, TerminatorSet("cfjmopv"));
  constexpr std::string_view Keys[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!", "~", "?"};
  ASSERT_EQ(std::size(DietScale), std::size(Keys));
  for (std::size_t i = 0; i < std::size(DietScale); ++i) {
    EXPECT_EQ(DietScale[i].Key, Keys[i]);
    // Every rating reads "meaning - 'saying'".
    const std::string_view text = DietScale[i].Text;
    EXPECT_NE(text.find(" - '"), std::string_view::npos) << text;
    EXPECT_EQ(text.back(), '\'') << text;
  }
}

#undef D0
#undef D3
#undef D4
#undef D6
#undef D10

}  // namespace
}  // namespace zendric
