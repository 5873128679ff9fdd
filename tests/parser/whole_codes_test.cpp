// Long codes as a persona would write them, each using every tag, read from end to
// end: every result line and every message with its position.
#include <gtest/gtest.h>

#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

// A clean code: a mix with a form block, and one item of each tag.
TEST(WholeCodes, EveryTagOnceWithoutAMistake) {
  ExpectReadings({{
      "ZN2.Dw+Hd{Gf L3m} Gm/f>h L12m2a3t T2t W- Cbl^|wh,wgr+ Bfl|/ic# A(r-v+) J+ M+2 O(r-2v/) N^ H++ $- "
      "F+c/v Pa4lw^t Sks,wf Tc+[lasers] V-- Q~ Fr+^ Ac+ Df? R* S- U! I#",
      {
          "I am a mix of a Western Dragon, a Dwarf\rSpecific to this form:\rI'm a female\rI am about 3 metres long",
          "I'm a male, but mentally I'm a female changing into a hermaphrodite",
          "I am about 12 metres long with 2 metres long arms, a 3 metres long tail",
          "I am about 2 tons",
          "Concerning my width: 'I'm slightly on the slim side!'",
          "My colour: I am metallic blue with white stripes\rMy wings are light green",
          "I breathe beams of flames or fire, clouds of ice",
          "My age: \rMy real life age: Young adult\rMy virtual age: Old",
          "My joviality: I'm a cheerful sort.",
          "My mating status: I'm seeing someone.\rI have 2 mates",
          "My offspring: \rMy real life offspring: I have 2 hatchlings that have flown the coop."
          "\rMy virtual offspring: If I ever heard one was my fault, I'd faint!",
          "My native land is ethereal - 'I live on another plane of existence!'",
          "My hoard: I sleep on a comfortable mountain of gold.",
          "My monetary philosophy: Money comes and goes - mostly goes.",
          "I'm overindulgent - 'Just one more helping, then!'\rI eat meat, eat vegetables",
          "I've got these appendages: 4 arms, a pair of legs, a pair of webbed wings, a tail",
          "I have scales for a skin\rMy wings have feathers for a skin",
          "My technology index: I can find my way around most gadgets.\rMy specialist field is: lasers",
          "My magical abilities: I once made a spoon glow - by accident.",
          "My psionical abilities: Sometimes I'm good at it, sometimes not.",
          "My fruitiness:\rThere's a hint of citrus about me. / Lemons wink at me in the market!"
          "\rI have joined, left, returned, etc.",
          "My activity index:\rI'm on-line for at least two hours every day!",
          "My dragon friend status:\rI don't know how I feel about dragons.",
          "My reality index: Don't ask, don't tell.",
          "Concerning my social life: Only my family knows.",
          "Concerning my ubiquity: This is my first life!",
          "Concerning my irritability: I'm as patient as the next dragon. But when I do get angry, I hope you like barbeque!",
      },
      {},
  }});
}

// A clean code in the other forms: a mix completed from the member before it,
// a trapped-in body, quoted names, counts, shapes and lists.
TEST(WholeCodes, EveryTagInItsLessCommonForms) {
  ExpectReadings({{
      "ZN2.Dss+f~{Cgr^ Pw'l2^ Sks,bx B\"frost\"|}[Hd] Gn>\"Dragon\" L2.5k T1.5t W+++! Cag%\\rb,hau "
      "Bac/\"venom\"/-# A? J--- M+*3|2 O/ Nm H--- $+++ Fj~/o Pv!t~ Sk? Tc---![vacuum tubes] V?[] Q Fr~* "
      "Ac? Df--- R U I~",
      {
          "I am a mix of a Sea Serpent, a Fire Serpent who changes shape occasionally\rSpecific to this form:"
          "\rMy colour: I am metallic green"
          "\rI've got these appendages: a pair of wings that also act as arms, legs, or fore-limbs, 2 webbed legs"
          "\rI have scales for a skin\rMy belly has crystals for a skin"
          "\rI breathe beams of frost trapped in the body of:\ra Dwarf",
          "I'm a neuter changing into a Dragon",
          "I am about 2.5 kilometres long",
          "I am about 1.5 tons",
          "Concerning my width: 'I am a perfect sphere!'",
          "My colour: I am pearlescent silver with rainbow iridescence\rMy head is gold",
          "I breathe acid, venom, clouds of nothing special",
          "My age: I have no idea how old I am",
          "My joviality: I never smile. Ever.",
          "My mating status: I'm seeing someone.\rI'm divorced from 3 mates, and one was bitter about it"
          "\rI'm divorced from 2 mates",
          "My offspring: If I ever heard one was my fault, I'd faint!",
          "My native land is mountains - 'I nest among the highest peaks!'",
          "My hoard: My hoard is a jar of buttons.",
          "My monetary philosophy: Money is my first, last and only love.",
          "I'm eating normal for my species - 'I have three square meals a day!'\rI eat any junk food, eat everything",
          "I've got these appendages: many horns or spines on the head, a variable amount of tail",
          "I have something unknown for a skin",
          "My technology index: Technology? I still count on my claws.\rMy specialist field is: vacuum tubes",
          "My magical abilities: I have no idea!\rMy specialist field is: ",
          "My psionical abilities: I have the usual hunches and no more.",
          "My fruitiness:\rMy fruitiness varies...\rI once got flamed off the newsgroup - and came back for more!",
          "My activity index:\rI have no idea how often I'm on-line.",
          "My dragon friend status:\rHostile - I hunt dragons.",
          "My reality index: I'm a human who plays a dragon.",
          "Concerning my ubiquity: I've had a past life or two.",
          "Concerning my irritability: My temper depends on the day.",
      },
      {},
  }});
}

// A looks-like mix with a form block, and a few slips on the way: a bad body part,
// a blank where the weight unit belongs, a second "#", and a field left open at
// the end, which takes the rest of the code.
TEST(WholeCodes, EveryTagWithSlipsAlongTheWay) {
  ExpectReadings({{
      "ZN2.Dw^Hd{Gm B-}+He G~(fm)>\"drake\" L40f6t3x T80 W~ Cre/bk#wh/ye>gr,b Bzz|#/\"sparks\"\"pale\" A(+v) "
      "J(r~v?) M +_2xx O(ra+3v--) Nw H? $~ Fcv P Sk,bh Tc V+[fire] Fr\"zesty\" Ac-- Df+ R? S~ U2 I-## Q--[minds",
      {
          "I am a Western Dragon who looks like: a mix of\ra Dwarf\rSpecific to this form:\rI'm a male"
          "\rI breathe nothing special, an Elf",
          "I'm variable between a female, a male,  changing into a drake",
          "I am about 40 feet long with a 6 feet long tail",
          "I am about 80 kilogrammes",
          "Concerning my width: Variable - 'My girth depends on what I've just eaten!'",
          "My colour: I am a mix of red, black plaid with a mix of white, yellow changing to green\rMy belly is colourless",
          "I breathe clouds of beams of electricity or lightning, pale sparks",
          "My age: Old\rMy virtual age: Mature adult",
          "My joviality: \rMy real life joviality: It depends on my mood\rMy virtual joviality: I have no idea",
          "My mating status: I'm seeing someone.\rI'm far from my mate\r2 of my mates are dead"
          "\rI'm a member of the XX conspiracy!",
          "My offspring: \rMy real life offspring: I have 3 hatchlings that are still home.\rMy hatchlings are adopted."
          "\rMy virtual offspring: Hatchlings? Not for me.",
          "My native land is water - 'I dwell in the deep blue sea!'",
          "My hoard: I've never counted my hoard.",
          "My monetary philosophy: It varies over time.",
          "I'm eating normal for my species - 'I have three square meals a day!'\rI eat meat, eat vegetables",
          "I've got these appendages: ",
          "I have no skin\rMy belly has hide for a skin",
          "My technology index: I can use a computer without breaking it.",
          "My magical abilities: I know a few simple spells and tricks.\rMy specialist field is: fire",
          "My fruitiness:\rzesty",
          "My activity index:\rI can barely manage to connect once a week.",
          "My dragon friend status:\rPolite acquaintance - you exchange social pleasantries.",
          "My reality index: I'm not sure where reality ends.",
          "Concerning my social life: It varies... sometimes I'm open, sometimes closed.",
          "Concerning my ubiquity: This is my second life!",
          "Concerning my irritability: It takes a lot to annoy me. But when I do get angry, I hope you like barbeque!",
          "My psionical abilities: Only my very outer thoughts are exposed.\rMy specialist field is: minds",
      },
      {
          {"Error: Invalid body part code in length tag", 43},
          {"Error: invalid unit identifier in weight tag", 48},
          {"Error: Invalid code at position 188 (#)", 188},
          {"Error: Missing ] in psionics specialist field", 193},
      },
  }});
}

// A shapechanger whose second form has a block and a trapped-in body, items
// written without blanks between them, and a mistake in nearly every other item.
// Items that only report leave no line behind.
TEST(WholeCodes, EveryTagWrittenCarelessly) {
  ExpectReadings({{
      "ZN2.~Mcw/Hew{Gm}[Rn] Gf/\"Elf\"W+H- L.5m T~ Cbl|xx:re Bxx A(r+ J M-2 Oa N H+++! $? F~ Pxa Skq "
      "Tc?[Unix and C] V Q+++ Fr-x* Ac~ Df- R~ S U* I++ X",
      {
          "I am a shapechanger who takes form of a Wolf, a Wood Elf\rSpecific to this form:\rI'm a male"
          " trapped in the body of:\ra Skink",
          "I'm a female, but mentally I'm an Elf",
          "Concerning my width: 'I'm a little on the broad side!'",
          "My hoard: Me and the bank own my lair.",
          "Concerning my weight, I'm variable - 'My weight varies'",
          "My colour: I am blue with  stripes with red spots",
          "I breathe ",
          "My age: \rMy real life age: Old",
          "My joviality: I'm as jolly as the next dragon.",
          "My mating status: Don't ask!",
          "My offspring: None yet, but I'd like some one day.\rMy hatchlings are adopted.",
          "My hoard: I own the world's banks and their vaults.",
          "My monetary philosophy: I've never thought about it.",
          "I'm eating normal for my species - 'I have three square meals a day!'\rI eat anything",
          "I've got these appendages: a pair of arms",
          "I have",
          "My technology index: I don't know how good I am with technology\rMy specialist field is: Unix and C",
          "My magical abilities: I can manage a charm or two.",
          "My psionical abilities: I speak mind to mind across great distances.",
          "\rI once got flamed off the newsgroup - and came back for more!",
          "My activity index:\rMy activity comes and goes.",
          "My dragon friend status:\rWary - I keep one eye on any dragon nearby.",
          "My reality index: Strange but true - it varies",
          "Concerning my social life: A few close friends know about my dragon side.",
          "Concerning my ubiquity: I've been around a bit, I'm just not saying how many times!",
          "Concerning my irritability: Come too close and you're a cinder.",
      },
      {
          {"Error: invalid code in length tag", 36},
          {"Error: Invalid colour code (xx)", 49},
          {"Error: Invalid breath weapon code (xx)", 56},
          {"Error: Missing ) in age tag", 61},
          {"Error: number modifier only allowed after plusses in mating status", 67},
          {"Error: invalid code in native land tag", 72},
          {"Error: invalid appendage identifier", 86},
          {"Error: Invalid skin type (q)", 91},
          {"Error: invalid code in fruitiness tag", 118},
          {"Error: Invalid code at position 142 (X)", 142},
      },
  }});
}

}  // namespace
}  // namespace zendric
