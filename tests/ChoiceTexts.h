// The description texts the reading of an item built from choices must contain, in
// the order of the choices: what the builder's tests hold its readings to.
#pragma once

#include <string>
#include <vector>

#include "builder/Kit.h"

namespace zendric::testing {

using namespace zendric::builder;

inline void PartTexts(const SpeciesPart& part, std::vector<std::string>& out) {
  const std::string name(SpeciesNodeName(part.Node));
  switch (part.Shape) {
    case SpeciesPart::Form::Node: out.push_back(name); break;
    case SpeciesPart::Form::Unknown: out.push_back("Unknown " + name); break;
    case SpeciesPart::Form::OwnName: out.push_back(CleanOwnName(part.Name) + " (" + name + ")"); break;
  }
}

inline void SpeciesTexts(const SpeciesChoices& c, std::vector<std::string>& out) {
  if (c.Kind == SpeciesChoices::Whole::DontKnow) out.push_back("I don't know what I am");
  if (c.Kind == SpeciesChoices::Whole::Shapechanger) out.push_back("a shapechanger");
  if (c.Kind == SpeciesChoices::Whole::DontKnow) return;
  for (const SpeciesPart& part : c.Members) PartTexts(part, out);
  // Members of a relation the code does not write say nothing.
  if (c.Kind == SpeciesChoices::Whole::Mix && c.Other != SpeciesChoices::Relation::None)
    for (const SpeciesPart& part : c.OtherMembers) PartTexts(part, out);
}

inline std::string_view ScaleText(const TagRow& tag, std::int32_t rating) {
  return InTable(tag.Scale, rating) ? tag.Scale[static_cast<std::size_t>(rating)].Text : std::string_view();
}

inline void TagTexts(const TagRow& tag, const ItemChoices& choices, std::vector<std::string>& out) {
  const auto add = [&](std::string_view text) {
    if (!text.empty()) out.emplace_back(text);
  };
  if (const auto* c = std::get_if<RatedChoices>(&choices)) {
    add(ScaleText(tag, c->Rating));
    if (tag.Kind == TagKind::Fruitiness && c->Joined) add(FruitinessJoinedText);
    if (tag.Kind == TagKind::Fruitiness && c->Flamed) add(FruitinessFlamedText);
    if (tag.Kind == TagKind::Irritability && c->Barbeque) add(BarbequeText);
    if (tag.Kind == TagKind::Specialist && c->Field) add(Clean(*c->Field, "]"));
  } else if (const auto* c = std::get_if<SplitChoices>(&choices)) {
    for (const SplitEntry& e : c->Entries) {
      if (c->Entries.size() > 1 || e.Of != SplitEntry::Life::Both)
        add(e.Of == SplitEntry::Life::Virtual ? tag.Virtual : tag.RealLife);
      if (tag.ReadEntry == ReadOffspringEntry && (e.CountSign == '+' || e.CountSign == '-')) {
        add("I have " + std::to_string(std::max(e.Count, 0)) + " hatchlings");
      } else {
        add(ScaleText(tag, e.Rating));
        if (tag.ReadEntry == ReadMatingEntry && IsPlus(Key(tag, e.Rating)) && e.Mates > 0)
          add("I have " + std::to_string(e.Mates) + " mates");
      }
    }
  } else if (const auto* c = std::get_if<GenderChoices>(&choices)) {
    for (const GenderPart& part : c->Parts) {
      if (part.Shape == GenderPart::Form::Letter && InTable(GenderLetters, part.Letter))
        add(GenderLetters[static_cast<std::size_t>(part.Letter)].Phrase);
      if (part.Shape == GenderPart::Form::Free) add(Clean(part.Text, "\""));
      if (part.Shape == GenderPart::Form::Variable)
        for (std::int32_t row : part.Among)
          if (InTable(GenderLetters, row)) add(GenderLetters[static_cast<std::size_t>(row)].Phrase);
    }
  } else if (const auto* c = std::get_if<MeasureChoices>(&choices)) {
    if (c->Rating) {
      add(ScaleText(tag, *c->Rating));
    } else {
      const std::string_view unit =
          InTable(tag.Units, c->Unit) ? tag.Units[static_cast<std::size_t>(c->Unit)].Word : std::string_view();
      add(CleanNumber(c->Number) + " " + std::string(unit));
      for (const MeasureChoices::Part& part : c->Parts)
        if (InTable(tag.BodyParts, part.Row)) add(tag.BodyParts[static_cast<std::size_t>(part.Row)].After);
    }
  } else if (const auto* c = std::get_if<ColourChoices>(&choices)) {
    for (const ColourGroup& g : c->Groups) {
      if (InTable(ColourBodyParts, g.BodyPart)) add(ColourBodyParts[static_cast<std::size_t>(g.BodyPart)].Heading);
      for (const auto* chain : {&g.Colour, &g.ChangesTo}) {
        for (std::size_t k = 0; k < WrittenLinks(*chain); ++k) {
          const ColourLink& link = (*chain)[k];
          if (InTable(ColourTable, link.Colour)) add(ColourTable[static_cast<std::size_t>(link.Colour)].Name);
          for (char m : link.Modifiers)
            if (const ColourModifier* row = FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(m)); row && !row->Shade)
              add(row->Word);
        }
      }
    }
  } else if (const auto* c = std::get_if<BreathChoices>(&choices)) {
    for (const BreathPart& w : c->Weapons) {
      add(InTable(BreathWeapons, w.Weapon) ? BreathWeapons[static_cast<std::size_t>(w.Weapon)].Name : Clean(w.Name, "\""));
      add(Clean(w.Adjective, "\""));
    }
  } else if (const auto* c = std::get_if<DietChoices>(&choices)) {
    add(ScaleText(tag, c->Rating));
    for (const DietChoices::Food& f : c->Foods)
      if (InTable(FoodTable, f.Row) && !(f.Row == AnythingRow && Key(tag, c->Rating) == "~"))
        add(FoodTable[static_cast<std::size_t>(f.Row)].Food);
  } else if (const auto* c = std::get_if<AppendageChoices>(&choices)) {
    for (const AppendageChoices::Entry& e : c->Entries)
      if (InTable(Appendages, e.Row)) add(Appendages[static_cast<std::size_t>(e.Row)].Noun);
  } else if (const auto* c = std::get_if<SkinChoices>(&choices)) {
    for (std::int32_t r : c->Types)
      if (InTable(SkinTypes, r)) add(SkinTypes[static_cast<std::size_t>(r)].Word);
    for (const SkinChoices::Group& g : c->Groups) {
      if (InTable(SkinBodyParts, g.Part)) add(SkinBodyParts[static_cast<std::size_t>(g.Part)].Opener);
      for (std::int32_t r : g.Types)
        if (InTable(SkinTypes, r)) add(SkinTypes[static_cast<std::size_t>(r)].Word);
    }
  }
}

inline std::vector<std::string> ChoiceTexts(const PersonaItem& item) {
  std::vector<std::string> out;
  if (const auto* species = std::get_if<SpeciesChoices>(&item.Choices)) SpeciesTexts(*species, out);
  else if (item.Tag != nullptr) TagTexts(*item.Tag, item.Choices, out);
  return out;
}

}  // namespace zendric::testing
