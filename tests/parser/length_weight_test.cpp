// The L and T items: measurements with units and body parts, and the size scales.
#include <gtest/gtest.h>

#include <string>

#include "LengthWeight.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

TEST(LengthItem, Measurements) {
  ExpectReadings({
      {"ZN2. L12m", {"I am about 12 metres long"}, {}},
      {"ZN2. L40f6t", {"I am about 40 feet long with a 6 feet long tail"}, {}},
      {"ZN2. L3.5m2a2l4w", {"I am about 3.5 metres long with 2 metres long arms, 2 metres long legs, a 4 metres wingspan"}, {}},
      {"ZN2. L3c1n", {"I am about 3 centimetres long with a 1 centimetres long neck and head"}, {}},
      {"ZN2. L5i", {"I am about 5 inch long"}, {}},
      {"ZN2. L2y", {"I am about 2 yard long"}, {}},
      {"ZN2. L7k", {"I am about 7 kilometres long"}, {}},
      {"ZN2. L1.2.3m", {"I am about 1.2.3 metres long"}, {}},
      {"ZN2. L007m", {"I am about 007 metres long"}, {}},
      {"ZN2. L12m3a3a", {"I am about 12 metres long with 3 metres long arms, 3 metres long arms"}, {}},
      // The body parts end at the first non-digit, which is the next item.
      {"ZN2. L40f6tW+", {"I am about 40 feet long with a 6 feet long tail", "Concerning my width: 'I'm a little on the broad side!'"}, {}},
      {"ZN2. L12m-", {"I am about 12 metres long"}, {{"Error: Invalid code at position 10 (-)", 10}}},
  });
}

TEST(LengthItem, UnitAndBodyPartErrors) {
  ExpectReadings({
      {"ZN2. L12", {"I am about 12 metres long"}, {{"Error: missing unit identifier in length tag", 9}}},
      {"ZN2. L12x", {"I am about 12 metres long"}, {{"Error: invalid unit identifier in length tag", 9}}},
      // A blank is rejected and consumed like any other character.
      {"ZN2. L12 W", {"I am about 12 metres long", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: invalid unit identifier in length tag", 9}}},
      {"ZN2. L12g", {"I am about 12 metres long"}, {{"Error: invalid unit identifier in length tag", 9}}},
      {"ZN2. L12M", {"I am about 12 metres long"}, {{"Error: invalid unit identifier in length tag", 9}}},
      {"ZN2. L10m3x", {"I am about 10 metres long"}, {{"Error: Invalid body part code in length tag", 11}}},
      // After an invalid body part the first valid one still says " with ".
      {"ZN2. L10m3x4t", {"I am about 10 metres long with a 4 metres long tail"},
       {{"Error: Invalid body part code in length tag", 11}}},
      {"ZN2. L10m3", {"I am about 10 metres long"}, {{"Error: Invalid body part code in length tag", 11}}},
      {"ZN2. L10m3.", {"I am about 10 metres long"}, {{"Error: Invalid body part code in length tag", 12}}},
      {"ZN2. L12\u0169", {"I am about 12 metres long"}, {{"Error: invalid unit identifier in length tag", 9}}},
      // Inside a form block a "}" after a number is consumed as a bad letter.
      {"ZN2.Dw{L12}", {"I am a Western Dragon\rSpecific to this form:\rI am about 12 metres long"},
       {{"Error: invalid unit identifier in length tag", 11}, {"Error: missing } at position 12", 12}}},
      {"ZN2.Dw{L12m3}", {"I am a Western Dragon\rSpecific to this form:\rI am about 12 metres long"},
       {{"Error: Invalid body part code in length tag", 13}, {"Error: missing } at position 14", 14}}},
      {"ZN2.Dw{L12m3t T80k}", {"I am a Western Dragon\rSpecific to this form:\rI am about 12 metres long with a 3 metres long tail"
                               "\rI am about 80 kilogrammes"}, {}},
  });
}

TEST(LengthItem, Scale) {
  ExpectReadings({
      {"ZN2. L-", {"Concerning my length, I'm human-sized - 'Please, don't step on the tail...'"}, {}},
      {"ZN2. L~", {"Concerning my length, I'm variable - 'I change size on a whim!'"}, {}},
      {"ZN2. L?", {"Concerning my length, I'm unknown - 'I don't know how long I am!'"}, {}},
      {"ZN2. L", {"Concerning my length, I'm " + std::string(LengthScale[4].Text)}, {}},
      {"ZN2. L W", {"Concerning my length, I'm " + std::string(LengthScale[4].Text),
                    "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. L^", {"Concerning my length, I'm " + std::string(LengthScale[10].Text)}, {}},
      {"ZN2. L++++", {}, {{"Error: invalid code in length tag", 7}}},
      // A leading point is no digit: the scale reader rejects ".5m".
      {"ZN2. L.5m", {}, {{"Error: invalid code in length tag", 7}}},
      // No quoted description for this scale.
      {"ZN2. L+\"x\"", {"Concerning my length, I'm " + std::string(LengthScale[3].Text)},
       {{"Error: Invalid code at position 8 (\")", 8}, {"Error: Invalid code at position 9 (x)", 9},
        {"Error: Invalid code at position 10 (\")", 10}}},
  });
}

TEST(WeightItem, MeasurementsAndScale) {
  ExpectReadings({
      {"ZN2. T80k", {"I am about 80 kilogrammes"}, {}},
      {"ZN2. T1.5t", {"I am about 1.5 tons"}, {}},
      {"ZN2. T2c T3g T4l T5o T6s", {"I am about 2 hundredweight", "I am about 3 grammes", "I am about 4 pounds",
                                     "I am about 5 ounces", "I am about 6 stones"}, {}},
      {"ZN2. T80", {"I am about 80 kilogrammes"}, {{"Error: missing unit identifier in weight tag", 9}}},
      {"ZN2. T80m", {"I am about 80 kilogrammes"}, {{"Error: invalid unit identifier in weight tag", 9}}},
      // Weight has no body parts: the 5 is the next item.
      {"ZN2. T80k5", {"I am about 80 kilogrammes"}, {{"Error: Invalid code at position 10 (5)", 10}}},
      {"ZN2. T~", {"Concerning my weight, I'm variable - 'My weight varies'"}, {}},
      {"ZN2. T?", {"Concerning my weight, I'm unknown - 'I have no idea how heavy I am!'"}, {}},
      {"ZN2. T", {"Concerning my weight, I'm normal - 'I'm as normal a weight as one gets.'"}, {}},
      {"ZN2. T^", {}, {{"Error: invalid code in weight tag", 7}}},
      {"ZN2. T+++!-", {}, {{"Error: invalid code in weight tag", 7}}},
  });
}

// Every scale text is a size class, " - " and a remark in single quotes.
TEST(LengthWeightTables, ScalesInOrderAndInManner) {
  constexpr std::string_view LengthKeys[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!", "~", "^", "?"};
  constexpr std::string_view WeightKeys[] = {"+++!", "+++", "++", "+", "", "-", "--", "---", "---!", "?", "~"};
  ASSERT_EQ(LengthScale.size(), std::size(LengthKeys));
  ASSERT_EQ(WeightScale.size(), std::size(WeightKeys));
  auto check = [](const ScaleEntry& entry, std::string_view key) {
    SCOPED_TRACE(entry.Text);
    EXPECT_EQ(entry.Key, key);
    const std::size_t dash = entry.Text.find(" - '");
    ASSERT_NE(dash, std::string_view::npos);
    EXPECT_GT(dash, 0u);
    EXPECT_EQ(entry.Text.back(), '\'');
    EXPECT_GT(entry.Text.size(), dash + 5);
  };
  for (std::size_t i = 0; i < LengthScale.size(); ++i) check(LengthScale[i], LengthKeys[i]);
  for (std::size_t i = 0; i < WeightScale.size(); ++i) check(WeightScale[i], WeightKeys[i]);
}

}  // namespace
}  // namespace zendric
