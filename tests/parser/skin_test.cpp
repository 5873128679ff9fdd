// The Sk tag: the whole body's skin, then groups of a body part and its skin.
#include <gtest/gtest.h>

#include <string_view>

#include "ReadingCases.h"

namespace zendric {
namespace {

using namespace std::string_view_literals;
using testing::ExpectReadings;

TEST(Skin, Groups) {
  ExpectReadings({
      {"ZN2. Sks", {"I have scales for a skin"}, {}},
      {"ZN2. Sk", {"I have no skin"}, {}},
      {"ZN2. Sk?", {"I have something unknown for a skin"}, {}},
      {"ZN2. Sksf", {"I have scales for a skin feathers for a skin"}, {}},
      {"ZN2. Sks,wf", {"I have scales for a skin\rMy wings have feathers for a skin"}, {}},
      {"ZN2. Sk,bh", {"I have no skin\rMy belly has hide for a skin"}, {}},
      {"ZN2. Sks,w,t", {"I have scales for a skin\rMy wings have no skin\rMy tail has no skin"}, {}},
      {"ZN2. Skr,ax,nm,lkl", {"I have rock/stone for a skin\rMy arms have crystals for a skin\rMy neck has metal for a skin"
                              "\rMy legs have skin for a skin leather for a skin"}, {}},
      {"ZN2. Sk?,h?", {"I have something unknown for a skin\rMy head has something unknown for a skin"}, {}},
      // A capital ends the item and starts the next.
      {"ZN2. SkS", {"I have no skin", "Concerning my social life: A few close friends know about my dragon side."}, {}},
      {"ZN2. Sku W", {"I have fur for a skin", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
  });
}

TEST(Skin, RejectedCharacters) {
  ExpectReadings({
      // A rejected letter counts as read: no " no skin" for its group.
      {"ZN2. Skq", {"I have"}, {{"Error: Invalid skin type (q)", 8}}},
      {"ZN2. Sks,q", {"I have scales for a skin"}, {{"Error: Invalid body part in skin tag (q)", 10}}},
      {"ZN2. Sk1$", {"I have"}, {{"Error: Invalid skin type (1)", 8}, {"Error: Invalid skin type ($)", 9}}},
      {"ZN2. Sks,wfq", {"I have scales for a skin\rMy wings have feathers for a skin"}, {{"Error: Invalid skin type (q)", 12}}},
      {"ZN2. Skq,w", {"I have\rMy wings have no skin"}, {{"Error: Invalid skin type (q)", 8}}},
      {"ZN2. Sk\xCE\xA9", {"I have"}, {{"Error: Invalid skin type (\xCE\xA9)", 8}}},
      // A comma after a rejected body part still closes that group with " no skin".
      {"ZN2. Sk,x,b", {"I have no skin no skin\rMy belly has no skin"}, {{"Error: Invalid body part in skin tag (x)", 9}}},
      {"ZN2. Sks,,", {"I have scales for a skin"}, {{"Error: Invalid body part in skin tag (,)", 10}}},
      // A final comma asks for a body part past the end: NUL, one past the end.
      {"ZN2. Sks,", {"I have scales for a skin"}, {{"Error: Invalid body part in skin tag (\0)"sv, 10}}},
      {"ZN2. Sks,wq,", {"I have scales for a skin\rMy wings have"},
       {{"Error: Invalid skin type (q)", 11}, {"Error: Invalid body part in skin tag (\0)"sv, 13}}},
      // Whatever follows a comma is taken as the body part, even a blank.
      {"ZN2. Sks, W", {"I have scales for a skin", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid body part in skin tag ( )", 10}}},
  });
}

}  // namespace
}  // namespace zendric
