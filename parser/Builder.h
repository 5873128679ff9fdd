// The code builder: a persona as an ordered list of items, each either choices for
// one tag or a text kept as written, turned into a code and back. Every word it
// offers comes from the readers' own tables, so what it builds is what they read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Catalogue.h"
#include "ZNParser.h"

namespace zendric {

// --- species ---

// One species as written: a node of the tree, the admission of not knowing it below a
// node ("D?"), or an own name qualified by a node ("D\"ember\"").
struct SpeciesPart {
  enum class Form : std::uint8_t { Node, Unknown, OwnName };
  Form Shape = Form::Node;
  std::int32_t Node = 1;  // position in SpeciesTree, from 1
  std::string Name;       // OwnName: no blank, capital, quote or mark (see OwnNameAllows)
  bool ChangesShape = false;  // "~": changes shape occasionally
};

struct SpeciesChoices {
  enum class Whole : std::uint8_t { Mix, Shapechanger, DontKnow };
  enum class Relation : std::uint8_t { None, LooksLike, TrappedIn };
  Whole Kind = Whole::Mix;
  std::vector<SpeciesPart> Members;  // a mix (one member: a plain species), or the forms
  Relation Other = Relation::None;   // a mix only
  std::vector<SpeciesPart> OtherMembers;
};

// --- tags ---

// A rating on the tag's scale (index of its row), with the marks some tags add.
struct RatedChoices {
  std::int32_t Rating = 0;
  bool Joined = false;   // Fr "^"
  bool Flamed = false;   // Fr "*"
  bool Barbeque = false; // I "#"
  std::optional<std::string> Field;  // Tc, V, Q: "[field]"
};

// One entry of an age, joviality, mating status or offspring item.
struct SplitEntry {
  enum class Life : std::uint8_t { Both, Real, Virtual };
  Life Of = Life::Both;
  std::int32_t Rating = 0;        // row of the tag's scale; unused for an offspring count
  // mating status, after a rating of plusses only
  std::int32_t Mates = 0;         // 0: not said
  bool MateDead = false;
  char Conspiracy = '\0';         // 'x' or 'y' (any rating), '\0' none
  // offspring
  bool Adopted = false;
  char CountSign = '\0';          // '+' (still home) or '-' (flown), '\0': a rating
  std::int32_t Count = 0;
};
// One entry written alone (its life Both), or several in "( )", each marked r or v.
struct SplitChoices {
  std::vector<SplitEntry> Entries;
};

struct GenderPart {
  enum class Form : std::uint8_t { Letter, Free, Variable };
  Form Shape = Form::Letter;
  std::int32_t Letter = 0;         // row of GenderLetters
  std::string Text;                // Free: the description (no double quote)
  std::vector<std::int32_t> Among; // Variable: rows of GenderLetters, none for plain "~"
  char Join = '/';                 // before every part but the first: '/' mentally, '>' changing into
};
struct GenderChoices {
  std::vector<GenderPart> Parts;
};

// Length and weight: a rating, or a number with a unit and (length) body parts.
struct MeasureChoices {
  std::optional<std::int32_t> Rating = 0;  // nullopt: the measurement
  std::string Number = "1";                // digits, at most one "." between digits
  std::int32_t Unit = 0;                   // row of the tag's units
  struct Part {
    std::string Number;
    std::int32_t Row = 0;                  // row of the tag's body parts
  };
  std::vector<Part> Parts;
};

// A colour and what is joined to it: each link is a colour with its modifiers; a
// pattern character joins it to the next link.
// The chain is written up to the first link without a pattern: links behind it stay
// in the choices, unwritten, so that choosing a pattern there again brings them back.
struct ColourLink {
  std::int32_t Colour = 0;      // row of ColourTable
  std::string Modifiers;        // keys of ColourModifiers, in order
  std::int32_t Combiner = -1;   // row of ColourCombiners joining the next link; -1: the chain ends here
};
// How many links of a chain are written.
std::size_t WrittenLinks(const std::vector<ColourLink>& chain);
struct ColourGroup {
  std::int32_t BodyPart = -1;   // row of ColourBodyParts; -1 for the first group (the whole body)
  std::vector<ColourLink> Colour;
  std::vector<ColourLink> ChangesTo;  // empty: no change
};
struct ColourChoices {
  std::vector<ColourGroup> Groups;
};

struct BreathPart {
  std::int32_t Weapon = 0;   // row of BreathWeapons, -1: Name
  std::string Name;          // own name (no double quote)
  std::string Adjective;     // empty: none
  std::string Shapes;        // "|" beams of, "#" clouds of, in order
};
struct BreathChoices {
  std::vector<BreathPart> Weapons;  // chained by "/"
};

struct DietChoices {
  std::int32_t Rating = 4;
  struct Food {
    std::int32_t Row = 0;  // row of FoodTable
    bool Any = false;
  };
  std::vector<Food> Foods;
};

struct AppendageChoices {
  struct Entry {
    std::int32_t Row = 0;  // row of Appendages
    enum class Count : std::uint8_t { NotGiven, Many, Variable, Number };
    Count Says = Count::NotGiven;
    std::int32_t Number = 0;
    bool Webbed = false;
  };
  std::vector<Entry> Entries;
};

struct SkinChoices {
  std::vector<std::int32_t> Types;  // rows of SkinTypes for the whole body
  struct Group {
    std::int32_t Part = 0;          // row of SkinBodyParts
    std::vector<std::int32_t> Types;
  };
  std::vector<Group> Groups;
};

using ItemChoices = std::variant<std::monostate, SpeciesChoices, RatedChoices, SplitChoices, GenderChoices,
                                 MeasureChoices, ColourChoices, BreathChoices, DietChoices, AppendageChoices,
                                 SkinChoices>;

// One item of a persona: choices (for the species behind the prefix, or for a tag),
// or a text kept exactly as written (std::monostate).
struct PersonaItem {
  // What stands between the previous item (or the prefix) and this one, as written;
  // nullopt: the builder's own, one blank (nothing for the species behind the prefix).
  std::optional<std::string> Lead;
  const TagRow* Tag = nullptr;  // nullptr: the species, or a kept text
  ItemChoices Choices;
  std::string Kept;             // the text of a kept item
  // The item's text as it was opened, where the builder would write its choices
  // another way that reads exactly the same; nullopt once a choice changes them.
  std::optional<std::string> Spelling;
  // What reading the kept text alone says, with the text it was made for: made again
  // only when the text changes (see the builder's form).
  mutable std::shared_ptr<const std::pair<std::string, std::string>> KeptNote;

  bool IsKept() const { return std::holds_alternative<std::monostate>(Choices); }
  bool IsSpecies() const { return std::holds_alternative<SpeciesChoices>(Choices); }
};

struct Persona {
  std::string Prefix = "ZN2.";   // as written; empty when the text did not start with it
  std::vector<PersonaItem> Items;
  std::string Tail;              // what stands behind the last item, as written
};

// --- building and opening ---

// The code text of a persona.
std::string BuildCode(const Persona& p);
// The text of one item, without its lead: its own spelling while it has one.
std::string BuildItem(const PersonaItem& item);
// Any text as a persona: every top-level item the builder can write the same way
// becomes choices, and so does one it would write another way that reads exactly the
// same (keeping its own spelling); every other one (and everything between items) is
// kept as written, a mistake with what follows it up to the next blank as one item, so
// that BuildCode(OpenCode(text)) == text for any text at all.
Persona OpenCode(std::string_view text);
// The same with the reading of `text` (ParseCode(text)) already made.
Persona OpenCode(std::string_view text, const ParseResult& reading);

// A new item of a tag (nullptr: the species) with the first choice of everything.
PersonaItem NewItem(const TagRow* tag);

// A random persona: the species and a random selection of tags, each with random
// choices that the builder can write.
Persona RandomPersona(std::mt19937& random);

// --- vocabulary taken from the readers' tables ---

// Whether the builder offers a row of the tag's scale: one row reads as something else.
bool RatingOffered(const TagRow& tag, std::int32_t rating);
// Positions in SpeciesTree of every node a code can name, in tree order.
const std::vector<std::int32_t>& SpeciesNodes();
// The letters that lead from the category to the node at `position`.
std::string SpeciesNodeCode(std::int32_t position);
std::string_view SpeciesNodeName(std::int32_t position);
bool SpeciesNodeHasChildren(std::int32_t position);
// Whether an own name behind a node (or a free text) may hold this character.
bool OwnNameAllows(char32_t ch);

// Model operations that keep the code readable: a moved, added or removed item and
// the item after it take the builder's lead where theirs was empty.
void InsertItem(Persona& p, std::size_t at, PersonaItem item);
void RemoveItem(Persona& p, std::size_t at);
void MoveItem(Persona& p, std::size_t from, std::size_t to);
void ReplaceChoices(Persona& p, std::size_t at, ItemChoices choices);

// The rules both builders follow. A new item of `tag` (nullptr: the species) goes
// behind the item `after` (-1: in front); the species stands first, and once. Returns
// the index of the item added, or of the species already there.
std::size_t AddItemBehind(Persona& p, const TagRow* tag, std::ptrdiff_t after);
// Whether the item at `at` may move one place towards the start (-1) or the end (+1):
// the species stays right behind "ZN2.".
bool CanMoveItem(const Persona& p, std::size_t at, int step);
// Moves it when it may; returns where it is now.
std::size_t MoveItemBy(Persona& p, std::size_t at, int step);
// The item's heading in a list: "Species", the tag's title, or "Kept as written".
std::string_view ItemTitle(const PersonaItem& item);
// A word for the item list about the item at `at`, empty for none: a tag given a
// second time ("a second gender item: readers see both").
std::string ItemHint(const Persona& p, std::size_t at);

}  // namespace zendric
