// The species tree tables, the tree walk and every form of the species item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReadingCases.h"
#include "Species.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

// The species table as letters and names in tree order, with each node's depth.
struct NamedNode {
  int Depth;
  char Letter;
  std::string_view Name;
};

constexpr NamedNode NamedTree[] = {
    {0, 'D', "Dragon"}, {1, 'a', "Amphitere"}, {1, 'c', "Draconid"}, {1, 'd', "Dragonette"},
    {1, 'e', "Eastern Dragon"}, {1, 'f', "Faerie Dragon"}, {1, 'h', "Hydra"}, {1, 'l', "Dracolich"},
    {1, 'p', "Pernese Dragon"}, {1, 'r', "Turtle Dragon"}, {1, 's', "Serpent"},
    {2, 's', "Sea Serpent"}, {2, 'f', "Fire Serpent"}, {1, 't', "Tarrasque"},
    {1, 'u', "Pseudodragon"}, {1, 'v', "Wyvern"}, {1, 'w', "Western Dragon"}, {1, 'y', "Wyrm"},
    {0, 'H', "Human"}, {1, 'a', "Ape"}, {1, 'd', "Dwarf"}, {1, 'e', "Elf"}, {2, 'w', "Wood Elf"},
    {1, 'f', "Fairie"}, {1, 'i', "Giant"}, {1, 'g', "Gnome"}, {1, 'h', "Hobbit"},
    {1, 'k', "Kender"}, {1, 'y', "Nymph"}, {1, 't', "Troll"}, {1, 'w', "Wolfman"},
    {1, '?', "Unknown (Anthropomorphic)"},
    {0, 'A', "Amphibian"}, {1, 'f', "Frog"}, {1, 'n', "Newt"}, {1, 's', "Salamander"},
    {1, 't', "Toad"},
    {0, 'B', "Bird"}, {1, 'c', "Crow"}, {1, 'e', "Eagle"}, {1, 'h', "Hawk"}, {1, 'p', "Phoenix"},
    {1, 'r', "Raven"},
    {0, 'C', "Crustacean"}, {1, 'c', "Crab"}, {1, 'l', "Lobster"}, {1, 's', "Shrimp"},
    {0, 'S', "Dinosaur"}, {1, 'a', "Allosaur"}, {1, 'c', "Triceratops"}, {1, 'p', "Apatosaur"},
    {1, 's', "Stegosaur"}, {1, 't', "Tyrannosaur"}, {1, 'v', "Velociraptor"},
    {0, 'E', "Extraterrestrial"}, {1, 'd', "Dalek"}, {1, 't', "Tribble"},
    {0, 'F', "Fish"}, {1, 'h', "Sea horse"}, {1, 'f', "Freshwater fish"}, {2, 'g', "Goldfish"},
    {2, 't', "Trout"}, {1, 's', "Shark"},
    {0, 'I', "Insect"}, {1, 'a', "Ant"}, {1, 'b', "Beetle"}, {1, 'f', "Fly"}, {1, 'l', "Locust"},
    {1, 'm', "Moth"}, {1, 'u', "Butterfly"},
    {0, 'L', "Legendary"}, {1, 'r', "Gargoyle"}, {1, 'l', "Gremlin"},
    {1, 'g', "Griffin or Gryphon"}, {1, 'n', "Manticore"}, {1, 'm', "Mermaid or Merman"},
    {1, 'f', "Legendary salamander"}, {1, 's', "Sprite"}, {1, 't', "Treant or Treefolk"},
    {1, 'u', "Unicorn"},
    {0, 'M', "Mammal"}, {1, 'a', "Bat"}, {1, 'b', "Bear"}, {1, 'c', "Canine (dog)"},
    {2, 'd', "Domestic dog"}, {2, 'f', "Fox"}, {2, 'w', "Wolf"}, {1, 'f', "Feline (cat)"},
    {2, 'b', "Black panther"}, {2, 'c', "Cheetah"}, {2, 'd', "Domestic cat"}, {2, 'p', "Leopard"},
    {3, 's', "Snow Leopard"}, {2, 'l', "Lion"}, {2, 'x', "Lynx"}, {2, 'a', "Panther"},
    {2, 'u', "Puma"}, {2, 't', "Tiger"}, {1, 'h', "Horse"}, {1, 'm', "Monkey"}, {2, 'g', "Gibbon"},
    {1, 'p', "Polecat"}, {2, 'f', "Ferret"}, {2, 'm', "Mink"}, {1, 'r', "Rodent"},
    {2, 'g', "Gerbil"}, {2, 'h', "Hamster"}, {2, 'm', "Mouse"}, {2, 'r', "Rat"},
    {2, 's', "Squirrel"}, {1, 'w', "Cetacean (whale)"}, {2, 'd', "Dolphin"},
    {2, 'k', "Killer Whale"}, {2, 'p', "Porpoise"},
    {0, 'O', "Mollusc"}, {1, 'c', "Cuttlefish"}, {1, 'l', "Limpet"}, {1, 'o', "Octopus"},
    {1, 'y', "Oyster"}, {1, 's', "Snail"},
    {0, 'Y', "Mythical"}, {1, 'c', "Centaur"}, {1, 'y', "Cyclops"}, {1, 'g', "Golem"},
    {1, 'h', "Hellhound"}, {1, 'm', "Minotaur"}, {1, 'p', "Pegasus"}, {1, 't', "Satyr"},
    {1, 's', "Sphinx or Sphynx"},
    {0, 'P', "Plant"}, {1, 'c', "Cactus"}, {1, 'f', "Fungus"}, {1, 't', "Tree"},
    {2, 'a', "Ash tree"}, {2, 'e', "Elm tree"}, {2, 'o', "Oak tree"},
    {0, 'R', "Reptile"}, {1, 'a', "Alligator or Crocodile"}, {1, 'c', "Chameleon"},
    {1, 'g', "Gecko"}, {1, 'k', "Komodo Dragon"}, {1, 'l', "Lizard"}, {1, 'n', "Skink"},
    {2, 'f', "Fire Skink"}, {1, 's', "Snake"}, {1, 't', "Turtle"},
    {0, 'Q', "Spirit"}, {1, 'a', "Angel"}, {1, 'd', "Devil or Demon"}, {1, 'g', "Ghost"},
    {1, 'i', "Imp"}, {1, 'p', "Poltergeist"}, {1, 's', "Spectre"}, {1, 'w', "Will-o-the-wisp"},
    {0, 'U', "Undead"}, {1, 'g', "Ghoul"}, {1, 'v', "Vampire"}, {1, 'z', "Zombie"},
};

TEST(SpeciesTree, TreeAndNamesAgreeWithTheNamedTable) {
  ASSERT_EQ(std::size(NamedTree), 158u);
  std::string tree;
  std::vector<std::string_view> names;
  int depth = 0;
  for (const NamedNode& node : NamedTree) {
    ASSERT_LE(node.Depth, depth + 1) << node.Name;
    if (node.Depth > depth) {
      tree += '(';
      names.emplace_back();
      ++depth;
    }
    for (; depth > node.Depth; --depth) {
      tree += ')';
      names.emplace_back();
    }
    tree += node.Letter;
    names.push_back(node.Name);
  }
  for (; depth > 0; --depth) {
    tree += ')';
    names.emplace_back();
  }
  EXPECT_EQ(tree, SpeciesTree);
  ASSERT_EQ(names.size(), SpeciesNames.size());
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(SpeciesNames[i], names[i]) << "position " << i + 1;
}

TEST(SpeciesTree, SkipSubtreeStaysInItsGroup) {
  struct Walk {
    std::int32_t start;
    char32_t ch;
    std::int32_t found;
  };
  const Walk walks[] = {
      {3, U'w', 20},         // past the nested "(sf)" group of Serpent
      {3, U'f', 7},          // the f below D, not the one below Serpent
      {14, U'f', 15},        // inside a nested group
      {14, U't', NotInTree},  // the group closes first
      {25, U'w', 38},        // Wolfman: the w below Elf is nested
      {29, U'w', 29},        // the start itself is tested
      {1, U'U', 211},
      {1, U'w', NotInTree},  // only categories at the top
      {1, U'x', NotInTree},  // runs off the end of the tree
      {213, U'q', NotInTree},
      {1, U'(', 2},          // tested before the parenthesis opens a group
      {3, U'\u0177', NotInTree},  // low byte is "w"
  };
  for (const Walk& w : walks) EXPECT_EQ(SkipSubtree(w.start, w.ch), w.found) << w.start << " " << char(w.ch);
}

TEST(SpeciesItem, TreeCodes) {
  ExpectReadings({
      {"ZN2.Dw", {"I am a Western Dragon"}, {}},
      {"ZN2.D", {"I am a Dragon"}, {}},
      {"ZN2.Ds", {"I am a Serpent"}, {}},
      {"ZN2.Dss", {"I am a Sea Serpent"}, {}},
      {"ZN2.Dsf", {"I am a Fire Serpent"}, {}},
      {"ZN2.Mfps", {"I am a Snow Leopard"}, {}},
      {"ZN2.Mfp", {"I am a Leopard"}, {}},
      {"ZN2.Mc", {"I am a Canine (dog)"}, {}},
      {"ZN2.Mwk", {"I am a Killer Whale"}, {}},
      {"ZN2.Hw", {"I am a Wolfman"}, {}},
      {"ZN2.Hew", {"I am a Wood Elf"}, {}},
      {"ZN2.He", {"I am an Elf"}, {}},
      {"ZN2.Pto", {"I am an Oak tree"}, {}},
      {"ZN2.Rnf", {"I am a Fire Skink"}, {}},
      {"ZN2.Lu", {"I am an Unicorn"}, {}},
      {"ZN2.Uz", {"I am a Zombie"}, {}},
      {"ZN2.D?", {"I am an Unknown Dragon"}, {}},
      {"ZN2.Mfp?", {"I am an Unknown Leopard"}, {}},
      {"ZN2.D?w", {"I am an Unknown Dragon"}, {{"Hint: Species code D?w can be cut off after the ?", 8}}},
      {"ZN2.Dx", {"I am "}, {{"Error: Species code Dx is invalid", 7}}},
      {"ZN2.G", {"I am "}, {{"Error: Species code G is invalid", 6}}},
      {"ZN2.Dwx", {"I am "}, {{"Error: Species code Dwx is invalid", 8}}},
      {"ZN2.Dsss", {"I am "}, {{"Error: Species code Dsss is invalid", 9}}},
      {"ZN2.Hh?", {"I am "}, {{"Error: Species code Hh? is invalid", 8}}},
      // A lower-case start finds the letter's first place in the tree, then its later siblings.
      {"ZN2.dw", {"I am a Western Dragon"}, {{"Error: Species code should be found at position 7", 7}}},
      {"ZN2.de", {"I am "},
       {{"Error: Species code should be found at position 7", 7}, {"Error: Species code de is invalid", 7}}},
      {"ZN2.", {"I am "}, {{"Error: Species code should be found at position 5", 5}}},
      {"ZN2.Dw/Hd", {"I am "}, {{"Error: Species code Dw/ is invalid", 8}, {"Error: invalid code in hoard size tag", 9}}},
      {"ZN2.DwW+", {"I am a Western Dragon", "Concerning my width: 'I'm a little on the broad side!'"}, {}},
      {"ZN2.Dw$~", {"I am a Western Dragon", "My monetary philosophy: It varies over time."}, {}},
      {"ZN2. W", {"Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2.?", {"I don't know what I am"}, {}},
      {"ZN2.?W", {"I don't know what I am", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2.D\xC3\xA9", {"I am "}, {{"Error: Species code D\xC3\xA9 is invalid", 7}}},
  });
}

TEST(SpeciesItem, QuotedNames) {
  ExpectReadings({
      {"ZN2.D\"ember\"", {"I am an ember (Dragon)"}, {}},
      {"ZN2.Ds\"ember\"", {"I am an ember (Serpent)"}, {}},
      {"ZN2.Dw\"ember\"", {"I am "}, {{"Error: Species code Dw\"ember\" is invalid", 14}}},
      {"ZN2.\"Shadow\"", {"I am a Shadow"}, {{"Error: Species code should be found at position 13", 13}}},
      {"ZN2.\"Big Red\" W", {"I am a Big Red", "Concerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Species code should be found at position 14", 14}}},
      // Outside a form block a "}" is just part of the name.
      {"ZN2.\"a}b\"", {"I am an a}b"}, {{"Error: Species code should be found at position 10", 10}}},
      // With no closing quote the name is empty and the cursor ends two past the text.
      {"ZN2.\"Shadow", {"I am "},
       {{"Error: Missing \" in species code", 5}, {"Error: Species code should be found at position 13", 13}}},
      // Behind letters the name is cut like any code: at the blank.
      {"ZN2.D\"a b\"", {"I am a  (Dragon)"},
       {{"Error: Invalid code at position 9 (b)", 9}, {"Error: Invalid code at position 10 (\")", 10}}},
      {"ZN2.Dw+\"Shadow\"", {"I am a mix of a Western Dragon, a Shadow (Dragon)"}, {}},
      {"ZN2.\"Shadow\"{Gm}", {"I am a Shadow\rSpecific to this form:\rI'm a male"},
       {{"Error: Species code should be found at position 13", 13}}},
      {"ZN2.D\"ember\"{G\"elf\"}", {"I am an ember (Dragon)\rSpecific to this form:\rI'm an elf"}, {}},
  });
}

TEST(SpeciesItem, ShapechangersAndOccasionalChange) {
  ExpectReadings({
      {"ZN2.~", {"I am a shapechanger"}, {}},
      {"ZN2.~ W", {"I am a shapechanger", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2.~Dw/Hd", {"I am a shapechanger who takes form of a Western Dragon, a Dwarf"}, {}},
      {"ZN2.~Dw/", {"I am a shapechanger who takes form of a Western Dragon, "}, {}},
      {"ZN2.~?/\"Shadow\"", {"I am a shapechanger who takes form of I don't know what I am, a Shadow"},
       {{"Error: Species code should be found at position 16", 16}}},
      {"ZN2.~Dw+Hd/He", {"I am a shapechanger who takes form of a mix of a Western Dragon, a Dwarf, an Elf"}, {}},
      {"ZN2.~Dw+Hd/He+Hf",
       {"I am a shapechanger who takes form of a mix of a Western Dragon, a Dwarf, a mix of an Elf, a Fairie"}, {}},
      // The forms run to the next blank: a tag letter is read as one more form.
      {"ZN2.~Dw/HdGm", {"I am a shapechanger who takes form of a Western Dragon, a Dwarf"},
       {{"Error: Species code Gm is invalid", 13}}},
      {"ZN2.Dw~", {"I am a Western Dragon who changes shape occasionally"}, {}},
      {"ZN2.Dw~+Hd", {"I am a mix of a Western Dragon who changes shape occasionally, a Dwarf"}, {}},
      {"ZN2.~Dw~/Hd", {"I am a shapechanger who takes form of a Western Dragon who changes shape occasionally, a Dwarf"}, {}},
  });
}

TEST(SpeciesItem, MixesAndCompletion) {
  ExpectReadings({
      {"ZN2.Dw+Hd", {"I am a mix of a Western Dragon, a Dwarf"}, {}},
      {"ZN2.Dw+Hd+He", {"I am a mix of a Western Dragon, a Dwarf, an Elf"}, {}},
      {"ZN2.Dw+s", {"I am a mix of a Western Dragon, a Serpent"}, {}},
      {"ZN2.Mcd+f+w", {"I am a mix of a Domestic dog, a Fox, a Wolf"}, {}},
      {"ZN2.Mfps+l", {"I am a mix of a Snow Leopard, "}, {{"Error: Species code Mfpl is invalid", 11}}},
      // Each member lends its completed code to the next.
      {"ZN2.Dw+ww+ww", {"I am a mix of a Western Dragon, , "},
       {{"Error: Species code Dww is invalid", 10}, {"Error: Species code Dwww is invalid", 13}}},
      {"ZN2.D?+s", {"I am a mix of an Unknown Dragon, a Serpent"}, {}},
      {"ZN2.D\"a\"+\"b\"", {"I am a mix of an a (Dragon), an a (Dragon)"}, {}},
      {"ZN2.Dw+?", {"I am a mix of a Western Dragon, I don't know what I am"}, {}},
      // No completion across "^" or "[": the member starts a new code.
      {"ZN2.Dw^s", {"I am a Western Dragon who looks like:\ra Serpent"},
       {{"Error: Species code should be found at position 9", 9}}},
      {"ZN2.Dw+Hd{Gf}+He", {"I am a mix of a Western Dragon, a Dwarf\rSpecific to this form:\rI'm a female, an Elf"}, {}},
      // The insertion moves the first member's form block along with its name.
      {"ZN2.Dw{Gm}+Hd", {"I am a mix of a Western Dragon\rSpecific to this form:\rI'm a male, a Dwarf"}, {}},
      {"ZN2.Dw+", {"I am a mix of a Western Dragon, "}, {{"Error: Species code should be found at position 8", 8}}},
  });
}

TEST(SpeciesItem, LongPreviousCodesLendNothing) {
  const std::string lends = "ZN2.D\"" + std::string(97, 'a') + "\"+s";   // a code of 100 characters
  const std::string refuses = "ZN2.D\"" + std::string(98, 'a') + "\"+s";  // 101 characters
  ExpectReadings({
      {lends, {"I am a mix of an " + std::string(97, 'a') + " (Dragon), a  (Dragon)"}, {}},
      {refuses, {"I am a mix of an " + std::string(98, 'a') + " (Dragon), a Serpent"},
       {{"Error: Species code should be found at position 108", 108}}},
  });
}

TEST(SpeciesItem, LooksLikeAndTrappedIn) {
  ExpectReadings({
      {"ZN2.Dw^Hd", {"I am a Western Dragon who looks like:\ra Dwarf"}, {}},
      {"ZN2.Dw^Hd+He", {"I am a Western Dragon who looks like: a mix of\ra Dwarf, an Elf"}, {}},
      {"ZN2.Dw^Hd^He", {"I am a Western Dragon who looks like:\ra Dwarf who looks like:\ran Elf"}, {}},
      {"ZN2.Dw+Hd^He+Hf", {"I am a mix of a Western Dragon, a Dwarf who looks like: a mix of\ran Elf, a Fairie"}, {}},
      {"ZN2.Dw[Hd]", {"I am a Western Dragon trapped in the body of:\ra Dwarf"}, {}},
      {"ZN2.Dw[Hd+He]", {"I am a Western Dragon trapped in the body of: a mix of\ra Dwarf, an Elf"}, {}},
      {"ZN2.Dw[Hd]W-", {"I am a Western Dragon trapped in the body of:\ra Dwarf",
                        "Concerning my width: 'I'm slightly on the slim side!'"}, {}},
      {"ZN2.Dw[Hd", {"I am a Western Dragon trapped in the body of:\ra Dwarf"}, {{"Error: missing ] at position 10", 10}}},
      {"ZN2.Dw[", {"I am a Western Dragon trapped in the body of:\r"},
       {{"Error: Species code should be found at position 8", 8}, {"Error: missing ] at position 8", 8}}},
      // "]" ends a code only inside the brackets.
      {"ZN2.Dw]", {"I am "}, {{"Error: Species code Dw] is invalid", 8}}},
      {"ZN2.Dw[Hd[He]]", {"I am a Western Dragon trapped in the body of:\ra Dwarf trapped in the body of:\ran Elf"}, {}},
      // A shapechanger's forms run to the blank, so its list swallows the "]".
      {"ZN2.Dw[~Hd/He]", {"I am a Western Dragon trapped in the body of:\ra shapechanger who takes form of a Dwarf, an Elf"},
       {{"Error: Species code should be found at position 15", 15}, {"Error: Species code ] is invalid", 15},
        {"Error: missing ] at position 15", 15}}},
  });
}

TEST(SpeciesItem, FormBlocks) {
  ExpectReadings({
      {"ZN2.Dw{Gm}", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"}, {}},
      {"ZN2.Dw{Gm }", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"}, {}},
      {"ZN2.Dw{Gm", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"}, {{"Error: missing } at position 10", 10}}},
      {"ZN2.Dw{}", {"I am a Western Dragon\rSpecific to this form:"}, {}},
      {"ZN2.Dw{ Gf  W+ } Gm",
       {"I am a Western Dragon\rSpecific to this form:\rI'm a female\rConcerning my width: 'I'm a little on the broad side!'",
        "I'm a male"}, {}},
      // A nested item that writes nothing still leaves its display line.
      {"ZN2.Dw{X}", {"I am a Western Dragon\rSpecific to this form:\r"}, {{"Error: Invalid code at position 8 (X)", 8}}},
      {"ZN2.Dw~{Gm}", {"I am a Western Dragon who changes shape occasionally\rSpecific to this form:\rI'm a male"}, {}},
      // "~" is tried before "{", so it cannot follow the block.
      {"ZN2.Dw{Gm}~", {"I am a Western Dragon\rSpecific to this form:\rI'm a male"},
       {{"Error: Invalid code at position 11 (~)", 11}}},
      // "}" ends a scale modifier and a gender description inside the block.
      {"ZN2.Dw{G\"elf} W}", {"I am a Western Dragon\rSpecific to this form:\rI'm an elf\rConcerning my width: 'I'm of perfectly normal girth!'"},
       {{"Error: Missing \" in free gender description", 9}}},
  });
}

TEST(SpeciesItem, BlanksWhereASpeciesShouldBe) {
  ExpectReadings({
      {"ZN2. Gm", {"I'm a male"}, {}},
      {"ZN2.DwGm", {"I am a Western Dragon", "I'm a male"}, {}},
      {"ZN2.Dw+ Gm", {"I am a mix of a Western Dragon, ", "I'm a male"},
       {{"Error: Species code should be found at position 8", 8}}},
      {"ZN2.Dw^ Gm", {"I am a Western Dragon who looks like:\r", "I'm a male"},
       {{"Error: Species code should be found at position 8", 8}}},
      {"ZN2.Dw[ Gm", {"I am a Western Dragon trapped in the body of:\r", "I'm a male"},
       {{"Error: Species code should be found at position 8", 8}, {"Error: missing ] at position 8", 8}}},
  });
}

std::string Repeated(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(SpeciesItem, NestingStopsAtTheLimit) {
  // 256 levels below the top-level item are read; the 257th is not.
  const std::string dragons = "I am a mix of a Western Dragon" + Repeated(", a Dwarf", MaxNesting);
  ExpectReadings({
      {"ZN2.Dw" + Repeated("+Hd", MaxNesting), {dragons}, {}},
      {"ZN2.Dw" + Repeated("+Hd", MaxNesting + 1) + "+He Gm", {dragons + ", ", "I'm a male"},
       {{"Error: Code nested too deeply at position 776", 776}}},
      {"ZN2.~" + Repeated("~", MaxNesting - 1) + "Dw", {"I am " + Repeated("a shapechanger who takes form of ", MaxNesting) + "a Western Dragon"}, {}},
  });
  // Forms of one shapechanger are siblings, not deeper levels.
  const std::string forms = "ZN2.~" + Repeated("Dw/", 1000);
  const ParseResult r = ParseCode(forms);
  EXPECT_TRUE(testing::Messages(r).empty());
}

TEST(SpeciesItem, MegabyteCodesFinish) {
  constexpr std::size_t Megabyte = 1 << 20;
  {
    const ParseResult r = ParseCode("ZN2.Dw" + Repeated("+Dw", Megabyte / 3));
    ASSERT_EQ(testing::Lines(r).size(), 1u);
    EXPECT_EQ(testing::Lines(r)[0], "I am a mix of a Western Dragon" + Repeated(", a Western Dragon", MaxNesting) + ", ");
    EXPECT_EQ(testing::Messages(r), std::vector<std::string>{"Error: Code nested too deeply at position 776"});
    EXPECT_EQ(testing::Positions(r), std::vector<std::int32_t>{776});
  }
  {
    const std::int32_t end = static_cast<std::int32_t>(Megabyte) + 7;  // one past the last "["
    const ParseResult r = ParseCode("ZN2.Dw" + std::string(Megabyte, '['));
    ASSERT_EQ(testing::Lines(r).size(), 1u);
    EXPECT_EQ(testing::Lines(r)[0], "I am a Western Dragon" + Repeated(" trapped in the body of:\r", MaxNesting + 1));
    std::vector<std::string> messages;
    std::vector<std::int32_t> positions;
    for (std::int32_t level = 1; level <= MaxNesting; ++level) {
      const std::int32_t past = 7 + 2 * level;  // one "[" is the level's code, the next its mark
      messages.push_back("Error: Species code should be found at position " + std::to_string(past));
      messages.push_back("Error: Species code [ is invalid");
      positions.insert(positions.end(), {past, past});
    }
    messages.push_back("Error: Code nested too deeply at position 520");
    positions.push_back(520);
    for (std::int32_t level = 0; level <= MaxNesting; ++level) {
      messages.push_back("Error: missing ] at position " + std::to_string(end));
      positions.push_back(end);
    }
    EXPECT_EQ(testing::Messages(r), messages);
    EXPECT_EQ(testing::Positions(r), positions);
  }
}

}  // namespace
}  // namespace zendric
