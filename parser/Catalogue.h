// The tag catalogue: one row per tag, holding everything its reader needs. The item
// dispatcher reads a tag by its row, and the code builder takes its vocabulary from
// the same rows and from the tables they point to. Adding a scaled tag is a scale
// table and one row here.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "Appendages.h"
#include "Breath.h"
#include "Colour.h"
#include "Diet.h"
#include "Gender.h"
#include "LengthWeight.h"
#include "ParseState.h"
#include "Readers.h"
#include "Scale.h"
#include "ScaledTags.h"
#include "Skin.h"
#include "Specialist.h"
#include "Species.h"
#include "SplitItems.h"

namespace zendric {

// What shape an item of the tag has; every kind has one reader.
enum class TagKind : std::uint8_t {
  Scaled,        // a rating on the scale
  Fruitiness,    // a rating and a run of extra marks
  Irritability,  // a rating and an optional "#"
  Split,         // one entry, or "(" entries for real and virtual life ")"
  Specialist,    // a rating and an optional "[field]"
  Gender,
  Length,        // a rating, or a number with a unit and body-part lengths
  Weight,        // a rating, or a number with a unit
  Colour,
  Breath,
  Diet,          // food letters around a rating
  Appendages,
  Skin,
};

using TagReader = void (*)(ParseState&, const TagRow&);

struct TagRow {
  std::string_view Letters;  // the tag as written: one capital or "$", or a capital and a small letter
  TagKind Kind;
  TagReader Read;
  std::string_view Title;    // what the item is about, for lists of tags
  std::string_view Heading;  // written first (length and weight: in front of a rating)
  std::string_view Noun;     // names the tag in messages
  std::span<const ScaleEntry> Scale{};
  TerminatorSet Terminators{};  // end a rating early, on top of the blank, the quote and tags
  std::string_view MissingClose{};  // split items: a missing ")"; specialists: a missing "]"
  // split items
  TagReader ReadEntry = nullptr;
  std::string_view RealLife{};
  std::string_view Virtual{};
  // length and weight
  std::span<const UnitRow> Units{};
  char DefaultUnit = '\0';
  std::span<const BodyPartRow> BodyParts{};
};

inline constexpr std::array<TagRow, 26> TagCatalogue{{
    {.Letters = "Sk", .Kind = TagKind::Skin, .Read = ReadSkinItem, .Title = "Skin", .Heading = "I have",
     .Noun = "skin"},
    {.Letters = "Fr", .Kind = TagKind::Fruitiness, .Read = ReadFruitiness, .Title = "Fruitiness",
     .Heading = "My fruitiness:\r", .Noun = "fruitiness", .Scale = FruitinessScale,
     .Terminators = TerminatorSet("\"*^")},
    {.Letters = "Ac", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Activity",
     .Heading = "My activity index:\r", .Noun = "activity", .Scale = ActivityScale},
    {.Letters = "Tc", .Kind = TagKind::Specialist, .Read = ReadSpecialistItem, .Title = "Technology",
     .Heading = "My technology index: ", .Noun = "technology", .Scale = TechnologyScale,
     .Terminators = TerminatorSet("["), .MissingClose = "Error: Missing ] in technology specialist field"},
    {.Letters = "Df", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Dragon friend",
     .Heading = "My dragon friend status:\r", .Noun = "Dragon friend", .Scale = DragonFriendScale},
    {.Letters = "$", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Money",
     .Heading = "My monetary philosophy: ", .Noun = "monetary philosophy", .Scale = MoneyScale},
    {.Letters = "A", .Kind = TagKind::Split, .Read = ReadSplitItem, .Title = "Age", .Heading = "My age: ",
     .Noun = "age", .Scale = AgeScale, .Terminators = TerminatorSet(")rv"),
     .MissingClose = "Error: Missing ) in age tag", .ReadEntry = ReadRatedEntry,
     .RealLife = "\rMy real life age: ", .Virtual = "\rMy virtual age: "},
    {.Letters = "B", .Kind = TagKind::Breath, .Read = ReadBreathItem, .Title = "Breath weapon",
     .Heading = "I breathe ", .Noun = "breath weapon"},
    {.Letters = "C", .Kind = TagKind::Colour, .Read = ReadColourItem, .Title = "Colour",
     .Heading = "My colour: I am ", .Noun = "colour"},
    {.Letters = "F", .Kind = TagKind::Diet, .Read = ReadDietItem, .Title = "Diet", .Heading = "I'm ",
     .Noun = "diet", .Scale = DietScale, .Terminators = FoodLetters},
    {.Letters = "G", .Kind = TagKind::Gender, .Read = ReadGenderItem, .Title = "Gender", .Heading = "I'm ",
     .Noun = "gender"},
    {.Letters = "H", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Hoard", .Heading = "My hoard: ",
     .Noun = "hoard size", .Scale = HoardScale},
    {.Letters = "I", .Kind = TagKind::Irritability, .Read = ReadIrritability, .Title = "Irritability",
     .Heading = "Concerning my irritability: ", .Noun = "irritability", .Scale = IrritabilityScale,
     .Terminators = TerminatorSet("#")},
    {.Letters = "J", .Kind = TagKind::Split, .Read = ReadSplitItem, .Title = "Joviality",
     .Heading = "My joviality: ", .Noun = "joviality", .Scale = JovialityScale,
     .Terminators = TerminatorSet(")rv"), .MissingClose = "Error: Missing ) in joviality tag",
     .ReadEntry = ReadRatedEntry, .RealLife = "\rMy real life joviality: ", .Virtual = "\rMy virtual joviality: "},
    {.Letters = "L", .Kind = TagKind::Length, .Read = ReadLengthItem, .Title = "Length",
     .Heading = "Concerning my length, I'm ", .Noun = "length", .Scale = LengthScale, .Units = LengthUnits,
     .DefaultUnit = DefaultLengthUnit, .BodyParts = LengthBodyParts},
    {.Letters = "M", .Kind = TagKind::Split, .Read = ReadSplitItem, .Title = "Mating status",
     .Heading = "My mating status: ", .Noun = "mating status", .Scale = MatingScale,
     .Terminators = TerminatorSet(")*0123456789_rvx|"), .MissingClose = "Error: Missing ) in mating status tag",
     .ReadEntry = ReadMatingEntry, .RealLife = "\rMy real life mating status: ",
     .Virtual = "\rMy virtual mating status: "},
    {.Letters = "N", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Native land",
     .Heading = "My native land is ", .Noun = "native land", .Scale = NativeLandScale},
    {.Letters = "O", .Kind = TagKind::Split, .Read = ReadSplitItem, .Title = "Offspring",
     .Heading = "My offspring: ", .Noun = "offspring", .Scale = OffspringScale,
     .Terminators = TerminatorSet(")rv"), .MissingClose = "Error: Missing ) in offspring tag",
     .ReadEntry = ReadOffspringEntry, .RealLife = "\rMy real life offspring: ", .Virtual = "\rMy virtual offspring: "},
    {.Letters = "P", .Kind = TagKind::Appendages, .Read = ReadAppendagesItem, .Title = "Appendages",
     .Heading = "I've got these appendages: ", .Noun = "appendages"},
    {.Letters = "Q", .Kind = TagKind::Specialist, .Read = ReadSpecialistItem, .Title = "Psionics",
     .Heading = "My psionical abilities: ", .Noun = "psionics", .Scale = PsionicsScale,
     .Terminators = TerminatorSet("["), .MissingClose = "Error: Missing ] in psionics specialist field"},
    {.Letters = "R", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Reality",
     .Heading = "My reality index: ", .Noun = "reality index", .Scale = RealityScale},
    {.Letters = "S", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Social life",
     .Heading = "Concerning my social life: ", .Noun = "social life", .Scale = SocialLifeScale},
    {.Letters = "T", .Kind = TagKind::Weight, .Read = ReadWeightItem, .Title = "Weight",
     .Heading = "Concerning my weight, I'm ", .Noun = "weight", .Scale = WeightScale, .Units = WeightUnits,
     .DefaultUnit = DefaultWeightUnit},
    {.Letters = "U", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Ubiquity",
     .Heading = "Concerning my ubiquity: ", .Noun = "ubiquity", .Scale = UbiquityScale},
    {.Letters = "V", .Kind = TagKind::Specialist, .Read = ReadSpecialistItem, .Title = "Magic",
     .Heading = "My magical abilities: ", .Noun = "magic", .Scale = MagicScale,
     .Terminators = TerminatorSet("["), .MissingClose = "Error: Missing ] in magic specialist field"},
    {.Letters = "W", .Kind = TagKind::Scaled, .Read = ReadScaledItem, .Title = "Width",
     .Heading = "Concerning my width: ", .Noun = "width", .Scale = WidthScale},
}};

// The row of a tag as written, or nullptr.
constexpr const TagRow* FindTag(std::string_view letters) {
  return FindRow(TagCatalogue, &TagRow::Letters, letters);
}

}  // namespace zendric
