// Items read inside a species form block "{ ... }", where a "}" ends scans and
// item runs: which readers stop on it and leave it to close the block, which ones
// take it as the end of a quoted or bracketed text (so the block loses its "}"),
// and how the block's lines sit in the species line.
#include <gtest/gtest.h>

#include <string>

#include "ParseState.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

// Every case below starts "ZN2.Dw{", so the first item inside the block is at 8
// and every species line starts with these two display lines.
TEST(FormBlock, QuotedAndBracketedTextsTakeTheBrace) {
  ExpectReadings({
      // The field ends at the "}" and moves past it: the block then runs to the end.
      {"ZN2.Dw{Tc+[x} W+",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy technology index: I can find my way around most gadgets.\rMy specialist field is: x"
        "\rConcerning my width: 'I'm a little on the broad side!'"},
       {{"Error: missing } at position 17", 17}}},
      // A second "}" closes the block.
      // With neither "]" nor "}" the field runs to the end, and so does the block.
      {"ZN2.Dw{Tc[x",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy technology index: I can use a computer without breaking it.\rMy specialist field is: x"},
       {{"Error: Missing ] in technology specialist field", 10}, {"Error: missing } at position 13", 13}}},
      {"ZN2.Dw{V-[fire}}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy magical abilities: My spells usually fizzle.\rMy specialist field is: fire"},
       {}},
      {"ZN2.Dw{Q[mind reading]}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy psionical abilities: I have the usual hunches and no more.\rMy specialist field is: mind reading"},
       {}},
      // A free gender description cut off by "}" is reported at its opening quote.
      {"ZN2.Dw{Gm>\"drake} H+}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rI'm a male changing into a drake\rMy hoard: I have a hoard to be proud of."},
       {{"Error: Missing \" in free gender description", 11}}},
      {"ZN2.Dw{G\"elf}",
       {"I am a Western Dragon\rSpecific to this form:\rI'm an elf"},
       {{"Error: Missing \" in free gender description", 9}, {"Error: missing } at position 14", 14}}},
      // Breath names and adjectives end at "}" without a message.
      {"ZN2.Dw{B\"sparks} W}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rI breathe sparks\rConcerning my width: 'I'm of perfectly normal girth!'"},
       {}},
      {"ZN2.Dw{Bfl\"blue}}",
       {"I am a Western Dragon\rSpecific to this form:\rI breathe blue flames or fire"}, {}},
      // After the taken "}" the weapon still takes its shapes.
      {"ZN2.Dw{Bic\"pale}|}",
       {"I am a Western Dragon\rSpecific to this form:\rI breathe beams of pale ice"}, {}},
      {"ZN2.Dw{M+\"far} Gf}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy mating status: I'm seeing someone.\rOther info: far\rI'm a female"},
       {{"Error: Missing \" in mating status description", 10}}},
      // The scale's quoted description and the fruitiness comparison end at "}" quietly.
      {"ZN2.Dw{Fr\"juicy} W}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy fruitiness:\rjuicy\rConcerning my width: 'I'm of perfectly normal girth!'"},
       {}},
      {"ZN2.Dw{Fr+\"ripe}*}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy fruitiness:\rripe\rI once got flamed off the newsgroup - and came back for more!"},
       {}},
      {"ZN2.Dw{Fr^\"apple}}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy fruitiness:\rOld fruits know my name and what I'm like. / Squeeze me! I'm ripe!"
        "\rI have joined, left, returned, etc.\rMy fruitiness is like an apple"},
       {}},
  });
}

TEST(FormBlock, ModifierRunsStopAtTheBrace) {
  ExpectReadings({
      // The diet modifier ends at "}", which closes the block; the next item is a line of its own.
      {"ZN2.Dw{F+} Gm",
       {"I am a Western Dragon\rSpecific to this form:\rI'm overindulgent - 'Just one more helping, then!'",
        "I'm a male"},
       {}},
      {"ZN2.Dw{Fc--v}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rI'm efficient - 'One good meal lasts me a week!'\rI eat meat, eat vegetables"},
       {}},
      // A nested item that only reports keeps its display line.
      {"ZN2.Dw{F-~}", {"I am a Western Dragon\rSpecific to this form:\r"}, {{"Error: invalid code in diet tag", 9}}},
      {"ZN2.Dw{Pa}", {"I am a Western Dragon\rSpecific to this form:\rI've got these appendages: a pair of arms"}, {}},
      {"ZN2.Dw{Pl2^}", {"I am a Western Dragon\rSpecific to this form:\rI've got these appendages: 2 webbed legs"}, {}},
      {"ZN2.Dw{P}", {"I am a Western Dragon\rSpecific to this form:\rI've got these appendages: "}, {}},
      // "$" is no boundary, even in braces.
      {"ZN2.Dw{Pa$t}",
       {"I am a Western Dragon\rSpecific to this form:\rI've got these appendages: a pair of arms, a tail"},
       {{"Error: invalid appendage identifier", 10}}},
      {"ZN2.Dw{Sks}", {"I am a Western Dragon\rSpecific to this form:\rI have scales for a skin"}, {}},
      {"ZN2.Dw{Sk}", {"I am a Western Dragon\rSpecific to this form:\rI have no skin"}, {}},
      {"ZN2.Dw{Sks,wf}",
       {"I am a Western Dragon\rSpecific to this form:\rI have scales for a skin\rMy wings have feathers for a skin"},
       {}},
      // The letter after "," is taken even when it is the "}".
      {"ZN2.Dw{Sks,} W",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rI have scales for a skin\rConcerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Invalid body part in skin tag (})", 12}, {"Error: missing } at position 15", 15}}},
      {"ZN2.Dw{Sk$}", {"I am a Western Dragon\rSpecific to this form:\rI have"}, {{"Error: Invalid skin type ($)", 10}}},
      {"ZN2.Dw{W-}",
       {"I am a Western Dragon\rSpecific to this form:\rConcerning my width: 'I'm slightly on the slim side!'"}, {}},
      {"ZN2.Dw{U2R*}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rConcerning my ubiquity: This is my second life!\rMy reality index: Don't ask, don't tell."},
       {}},
      {"ZN2.Dw{I+#}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rConcerning my irritability: Call me grumpy. But when I do get angry, I hope you like barbeque!"},
       {}},
      // "}" ends a colour code and the colour item.
      {"ZN2.Dw{Cre:bk} Gf",
       {"I am a Western Dragon\rSpecific to this form:\rMy colour: I am red with black spots", "I'm a female"}, {}},
      {"ZN2.Dw{C}", {"I am a Western Dragon\rSpecific to this form:\rMy colour: I am colourless"}, {}},
      {"ZN2.Dw{Cbl>}",
       {"I am a Western Dragon\rSpecific to this form:\rMy colour: I am blue changing to colourless"}, {}},
      {"ZN2.Dw{Cbl,w}",
       {"I am a Western Dragon\rSpecific to this form:\rMy colour: I am blue\rMy wings are colourless"}, {}},
      // A "$" ends the colour and starts the next item of the block.
      {"ZN2.Dw{Cbl$-}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy colour: I am blue\rMy monetary philosophy: Money comes and goes - mostly goes."},
       {}},
      // The gender item leaves the "}" it cannot read to close the block.
      {"ZN2.Dw{G}", {"I am a Western Dragon\rSpecific to this form:\rI'm "}, {{"Error: Invalid gender code (})", 9}}},
      {"ZN2.Dw{Bfl|}", {"I am a Western Dragon\rSpecific to this form:\rI breathe beams of flames or fire"}, {}},
      {"ZN2.Dw{B}", {"I am a Western Dragon\rSpecific to this form:\rI breathe "},
       {{"Error: Invalid breath weapon code ()", 9}}},
      {"ZN2.Dw{Bfl/}", {"I am a Western Dragon\rSpecific to this form:\rI breathe flames or fire, "},
       {{"Error: Invalid breath weapon code ()", 12}}},
  });
}

TEST(FormBlock, SplitGroupsEndAtTheBrace) {
  ExpectReadings({
      // The entry reader runs once more at the "}", where it reads the empty key;
      // the group then ends there without its ")".
      {"ZN2.Dw{A(r+v-} Gm",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy age: \rMy real life age: Old\rMy virtual age: Young adultMature adult",
        "I'm a male"},
       {{"Error: Missing ) in age tag", 14}}},
      {"ZN2.Dw{J(r+v-)}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rMy joviality: \rMy real life joviality: I'm a cheerful sort.\rMy virtual joviality: I don't laugh much."},
       {}},
      {"ZN2.Dw{O-2}",
       {"I am a Western Dragon\rSpecific to this form:\rMy offspring: I have 2 hatchlings that have flown the coop."},
       {}},
      {"ZN2.Dw{M+_}",
       {"I am a Western Dragon\rSpecific to this form:\rMy mating status: I'm seeing someone.\rMy mate is dead"}, {}},
  });
}

TEST(FormBlock, NumbersTakeTheBraceAsTheirLetter) {
  ExpectReadings({
      // The "}" is rejected as a unit and consumed, so the block swallows Gm and runs to the end.
      {"ZN2.Dw{L12} Gm",
       {"I am a Western Dragon\rSpecific to this form:\rI am about 12 metres long\rI'm a male"},
       {{"Error: invalid unit identifier in length tag", 11}, {"Error: missing } at position 15", 15}}},
      // A blank is consumed the same way, and the "}" behind it closes the block.
      {"ZN2.Dw{L12 }", {"I am a Western Dragon\rSpecific to this form:\rI am about 12 metres long"},
       {{"Error: invalid unit identifier in length tag", 11}}},
      {"ZN2.Dw{T80}}", {"I am a Western Dragon\rSpecific to this form:\rI am about 80 kilogrammes"},
       {{"Error: invalid unit identifier in weight tag", 11}}},
      {"ZN2.Dw{L3m2}}", {"I am a Western Dragon\rSpecific to this form:\rI am about 3 metres long"},
       {{"Error: Invalid body part code in length tag", 12}}},
      {"ZN2.Dw{L40f6t}",
       {"I am a Western Dragon\rSpecific to this form:\rI am about 40 feet long with a 6 feet long tail"}, {}},
      {"ZN2.Dw{L-}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rConcerning my length, I'm human-sized - 'Please, don't step on the tail...'"},
       {}},
      {"ZN2.Dw{T}",
       {"I am a Western Dragon\rSpecific to this form:"
        "\rConcerning my weight, I'm normal - 'I'm as normal a weight as one gets.'"},
       {}},
  });
}

TEST(FormBlock, TooDeepAColourSkipsOnlyToTheBrace) {
  // "bl" and 257 stripes: the 257th nested read starts at 9 + 3 * 257 and skips
  // up to the "}", which still closes the block.
  std::string code = "ZN2.Dw{Cbl";
  std::string front, back;
  for (int level = 0; level < 257; ++level) {
    code += "|bl";
    front += "blue with ";
    back += " stripes";
  }
  code += "} W-";
  const std::string line = "I am a Western Dragon\rSpecific to this form:\rMy colour: I am " + front + back;
  ExpectReadings({{code,
                   {line, "Concerning my width: 'I'm slightly on the slim side!'"},
                   {{"Error: Code nested too deeply at position 780", 780}}}});
}

TEST(FormBlock, BlocksInTheSpeciesLine) {
  ExpectReadings({
      {"ZN2.Dw{Gm}", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"}, {}},
      {"ZN2.Dw{Gm }", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"}, {}},
      {"ZN2.Dw{Gm", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"},
       {{"Error: missing } at position 10", 10}}},
      {"ZN2.Dw{", {"I am a Western Dragon\rSpecific to this form:"}, {{"Error: missing } at position 8", 8}}},
      {"ZN2.Dw{ }", {"I am a Western Dragon\rSpecific to this form:"}, {}},
      {"ZN2.Dw{  Gf  L12m  Cbl  }  W+",
       {"I am a Western Dragon\rSpecific to this form:\rI'm a female\rI am about 12 metres long\rMy colour: I am blue",
        "Concerning my width: 'I'm a little on the broad side!'"},
       {}},
      // An item right behind the "}" starts its own line.
      {"ZN2.Dw{Gm}W+",
       {"I am a Western Dragon\rSpecific to this form:\rI'm a male", "Concerning my width: 'I'm a little on the broad side!'"},
       {}},
      // Items that give nothing still leave their display lines.
      {"ZN2.Dw{Gm ) Gf}", {"I am a Western Dragon\rSpecific to this form:\rI'm a male\r\rI'm a female"},
       {{"Error: Invalid code at position 11 ())", 11}}},
      {"ZN2.Dw{N W}",
       {"I am a Western Dragon\rSpecific to this form:\r\rConcerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: invalid code in native land tag", 9}}},
      // Blocks of the forms behind "^" and "[".
      {"ZN2.Dw^Hd{Gm}", {"I am a Western Dragon who looks like:\ra Dwarf\rSpecific to this form:\rI'm a male"}, {}},
      {"ZN2.Dw[Hd{Gf}]",
       {"I am a Western Dragon trapped in the body of:\ra Dwarf\rSpecific to this form:\rI'm a female"}, {}},
      {"ZN2.Dw[Hd{Gf",
       {"I am a Western Dragon trapped in the body of:\ra Dwarf\rSpecific to this form:\rI'm a female"},
       {{"Error: missing } at position 13", 13}, {"Error: missing ] at position 13", 13}}},
      {"ZN2.Dw[Hd{Tc[x]}]",
       {"I am a Western Dragon trapped in the body of:\ra Dwarf\rSpecific to this form:"
        "\rMy technology index: I can use a computer without breaking it.\rMy specialist field is: x"},
       {}},
      {"ZN2.Dw{Gm}^Hd{Gf}",
       {"I am a Western Dragon\rSpecific to this form:\rI'm a male who looks like:\ra Dwarf"
        "\rSpecific to this form:\rI'm a female"},
       {}},
      // The mix word goes in front of the carriage return, ahead of the block.
      {"ZN2.Dw^Hd{Gm}+He",
       {"I am a Western Dragon who looks like: a mix of\ra Dwarf\rSpecific to this form:\rI'm a male, an Elf"}, {}},
      {"ZN2.~Dw{Gm}/Hd{Gf} W+",
       {"I am a shapechanger who takes form of a Western Dragon\rSpecific to this form:\rI'm a male, a Dwarf"
        "\rSpecific to this form:\rI'm a female",
        "Concerning my width: 'I'm a little on the broad side!'"},
       {}},
  });
}

TEST(FormBlock, OutsideABlockTheBraceIsOrdinary) {
  ExpectReadings({
      {"ZN2.Dw W+}", {"I am a Western Dragon"}, {{"Error: invalid code in width tag", 9}}},
      {"ZN2.Dw Pa}", {"I am a Western Dragon", "I've got these appendages: a pair of arms"},
       {{"Error: invalid appendage identifier", 10}}},
      {"ZN2.Dw Sks}", {"I am a Western Dragon", "I have scales for a skin"}, {{"Error: Invalid skin type (})", 11}}},
      {"ZN2.Dw Tc[x}y] W",
       {"I am a Western Dragon",
        "My technology index: I can use a computer without breaking it.\rMy specialist field is: x}y",
        "Concerning my width: 'I'm of perfectly normal girth!'"},
       {}},
      {"ZN2.Dw G\"elf}\" W", {"I am a Western Dragon", "I'm an elf}", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {}},
      {"ZN2.Dw Cbl}", {"I am a Western Dragon", "My colour: I am "}, {{"Error: Invalid colour code (bl})", 12}}},
      {"ZN2.Dw}", {"I am "}, {{"Error: Species code Dw} is invalid", 8}}},
  });
}

}  // namespace
}  // namespace zendric
