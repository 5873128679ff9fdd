// The C item: colours from a fixed table, shaded by modifiers, combined by
// nesting pattern characters, changing (">") and given per body part (",").
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ParseState.h"

namespace zendric {

struct ColourEntry {
  std::string_view Code;
  std::string_view Name;
};

// Matched whole and case-sensitively; the empty code is a colour too.
inline constexpr std::array<ColourEntry, 36> ColourTable{{
    {"ag", "silver"},    {"am", "amber"},      {"aq", "aquamarine"},
    {"au", "gold"},      {"bk", "black"},      {"bl", "blue"},
    {"br", "brown"},     {"bs", "brass"},      {"bz", "bronze"},
    {"ch", "chromium"},  {"cu", "copper"},     {"cy", "cyan"},
    {"eb", "ebony"},     {"fs", "flesh"},      {"gr", "green"},
    {"gy", "grey"},      {"hg", "mercury"},    {"in", "indigo"},
    {"iv", "ivory"},     {"ja", "jade"},       {"ma", "magenta"},
    {"mv", "mauve"},     {"or", "orange"},     {"pi", "pink"},
    {"pu", "purple"},    {"rb", "rainbow"},    {"re", "red"},
    {"ta", "tan"},       {"tu", "turquoise"},  {"mb", "umber"},
    {"vi", "violet"},    {"wh", "white"},      {"ye", "yellow"},
    {"~", "chameleonic"}, {"?", "unknown"},    {"", "colourless"},
}};

// A modifier puts its word in front of the phrase. A shade ("+" or "-") says
// "light "/"dark " the first time after a code and "very " every later time.
struct ColourModifier {
  char Key;
  std::string_view Word;
  bool Shade;
};
inline constexpr std::string_view VeryWord = "very ";
inline constexpr std::array<ColourModifier, 7> ColourModifiers{{
    {'!', "glittery ", false},
    {'%', "pearlescent ", false},
    {'\'', "luminescent ", false},
    {'+', "light ", true},
    {'-', "dark ", true},
    {'^', "metallic ", false},
    {'_', "transparent ", false},
}};

// A pattern turns the phrase P and the nested colour S into Before + P + Between + S + After.
struct ColourJoin {
  std::string_view Before;
  std::string_view Between;
  std::string_view After;
};
// A "#", "&" or "/" read inside the nested colour of the same character only
// continues the list its parent started.
struct ColourCombiner {
  char Key;
  ColourJoin Join;
  bool ContinuesOwnKind;
};
inline constexpr ColourJoin ListJoin{"", ", ", ""};
inline constexpr std::array<ColourCombiner, 9> ColourCombiners{{
    {'|', {"", " with ", " stripes"}, false},
    {':', {"", " with ", " spots"}, false},
    {'=', {"", " with ", " bands"}, false},
    {'*', {"", " with ", " stars"}, false},
    {'\\', {"", " with ", " iridescence"}, false},
    {'@', {"", " mottled with ", ""}, false},
    {'#', {"", " plaid with ", ""}, true},
    {'&', {"", " patterned with ", ""}, true},
    {'/', {"a mix of ", ", ", ""}, true},
}};

struct ColourBodyPart {
  char Letter;
  std::string_view Heading;
};
inline constexpr std::array<ColourBodyPart, 14> ColourBodyParts{{
    {'a', "\rMy arms are "},
    {'b', "\rMy belly is "},
    {'c', "\rMy claws/feet/hands are "},
    {'e', "\rMy eyes are "},
    {'f', "\rMy fur/hair is "},
    {'h', "\rMy head is "},
    {'l', "\rMy legs are "},
    {'n', "\rMy neck is "},
    {'p', "\rMy points are "},
    {'s', "\rMy spines are "},
    {'t', "\rMy tail is "},
    {'u', "\rMy aura is "},
    {'v', "\rMy horns are "},
    {'w', "\rMy wings are "},
}};

// What ends a colour code, besides capitals, "$" and (inside a form block) "}": a
// blank, the "," of a body part, the ">" of a change, and every modifier and pattern.
constexpr TerminatorSet MakeColourTerminators() {
  TerminatorSet set(" ,>");
  for (const ColourModifier& m : ColourModifiers) set = set.With(m.Key);
  for (const ColourCombiner& c : ColourCombiners) set = set.With(c.Key);
  return set;
}
inline constexpr TerminatorSet ColourTerminators = MakeColourTerminators();

// No pattern character around the colour being read.
inline constexpr char32_t NoPattern = U'\0';

// Reads one colour with its modifiers and patterns at Cursor and returns its phrase
// (empty after an invalid code). `context` is the "#", "&" or "/" whose nested
// colour this is, or NoPattern.
std::string ReadColour(ParseState& s, char32_t context = NoPattern);

}  // namespace zendric
