// The species tree and the item behind "ZN2." that says what the persona is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ParseState.h"

namespace zendric {

// Sentences the readers write and the builder offers as choices.
inline constexpr std::string_view ShapechangerText = "a shapechanger";
inline constexpr std::string_view DontKnowText = "I don't know what I am";
inline constexpr std::string_view ChangesShapeText = " who changes shape occasionally";
inline constexpr std::string_view TrappedInText = " trapped in the body of:\r";
inline constexpr std::string_view LooksLikeText = " who looks like:\r";
inline constexpr std::string_view UnknownWord = "Unknown ";

// Every node is one character; a node's children follow it in parentheses. The 17
// top-level nodes are categories; a letter is unique only among its siblings.
inline constexpr std::string_view SpeciesTree =
    "D(acdefhlprs(sf)tuvwy)H(ade(w)fighkytw?)A(fnst)B(cehpr)C(cls)S(acpstv)E(dt)F(hf(gt)s)"
    "I(abflmu)L(rlgnmfstu)M(abc(dfw)f(bcdp(s)lxaut)hm(g)p(fm)r(ghmrs)w(dkp))O(cloys)"
    "Y(cyghmpts)P(cft(aeo))R(acgkln(f)st)Q(adgipsw)U(gvz)";
static_assert(SpeciesTree.size() == 216);

// The name of the node at each place of SpeciesTree (entry i belongs to position i + 1),
// empty where the tree holds a parenthesis.
inline constexpr std::array<std::string_view, 216> SpeciesNames{{
    // D Dragon
    "Dragon", "", "Amphitere", "Draconid", "Dragonette", "Eastern Dragon", "Faerie Dragon", "Hydra",
    "Dracolich", "Pernese Dragon", "Turtle Dragon", "Serpent", "", "Sea Serpent", "Fire Serpent",
    "", "Tarrasque", "Pseudodragon", "Wyvern", "Western Dragon", "Wyrm", "",
    // H Human
    "Human", "", "Ape", "Dwarf", "Elf", "", "Wood Elf", "", "Fairie", "Giant", "Gnome", "Hobbit",
    "Kender", "Nymph", "Troll", "Wolfman", "Unknown (Anthropomorphic)", "",
    // A Amphibian
    "Amphibian", "", "Frog", "Newt", "Salamander", "Toad", "",
    // B Bird
    "Bird", "", "Crow", "Eagle", "Hawk", "Phoenix", "Raven", "",
    // C Crustacean
    "Crustacean", "", "Crab", "Lobster", "Shrimp", "",
    // S Dinosaur
    "Dinosaur", "", "Allosaur", "Triceratops", "Apatosaur", "Stegosaur", "Tyrannosaur",
    "Velociraptor", "",
    // E Extraterrestrial
    "Extraterrestrial", "", "Dalek", "Tribble", "",
    // F Fish
    "Fish", "", "Sea horse", "Freshwater fish", "", "Goldfish", "Trout", "", "Shark", "",
    // I Insect
    "Insect", "", "Ant", "Beetle", "Fly", "Locust", "Moth", "Butterfly", "",
    // L Legendary
    "Legendary", "", "Gargoyle", "Gremlin", "Griffin or Gryphon", "Manticore", "Mermaid or Merman",
    "Legendary salamander", "Sprite", "Treant or Treefolk", "Unicorn", "",
    // M Mammal
    "Mammal", "", "Bat", "Bear", "Canine (dog)", "", "Domestic dog", "Fox", "Wolf", "",
    "Feline (cat)", "", "Black panther", "Cheetah", "Domestic cat", "Leopard", "", "Snow Leopard",
    "", "Lion", "Lynx", "Panther", "Puma", "Tiger", "", "Horse", "Monkey", "", "Gibbon", "",
    "Polecat", "", "Ferret", "Mink", "", "Rodent", "", "Gerbil", "Hamster", "Mouse", "Rat",
    "Squirrel", "", "Cetacean (whale)", "", "Dolphin", "Killer Whale", "Porpoise", "", "",
    // O Mollusc
    "Mollusc", "", "Cuttlefish", "Limpet", "Octopus", "Oyster", "Snail", "",
    // Y Mythical
    "Mythical", "", "Centaur", "Cyclops", "Golem", "Hellhound", "Minotaur", "Pegasus", "Satyr",
    "Sphinx or Sphynx", "",
    // P Plant
    "Plant", "", "Cactus", "Fungus", "Tree", "", "Ash tree", "Elm tree", "Oak tree", "", "",
    // R Reptile
    "Reptile", "", "Alligator or Crocodile", "Chameleon", "Gecko", "Komodo Dragon", "Lizard",
    "Skink", "", "Fire Skink", "", "Snake", "Turtle", "",
    // Q Spirit
    "Spirit", "", "Angel", "Devil or Demon", "Ghost", "Imp", "Poltergeist", "Spectre",
    "Will-o-the-wisp", "",
    // U Undead
    "Undead", "", "Ghoul", "Vampire", "Zombie", "",
}};
static_assert(SpeciesNames.size() == SpeciesTree.size());

// What SkipSubtree returns when the letter is not in the group.
inline constexpr std::int32_t NotInTree = 217;

// A previous code longer than this lends nothing to the next member of a mix: each
// member would otherwise carry all the ones before it, and the reading would grow
// with the square of the code.
inline constexpr std::size_t MaxLendingCode = 100;

// The position of Ch among the nodes of the group holding the 1-based position Start,
// from Start on, stepping over nested groups; NotInTree when the group ends first.
std::int32_t SkipSubtree(std::int32_t Start, char32_t Ch);

// The name a species code stands for (possibly empty); records invalid codes and the
// hint for characters after "?".
std::string ResolveSpecies(ParseState& s, std::string_view Code);

}  // namespace zendric
