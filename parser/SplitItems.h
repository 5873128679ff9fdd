// Age, joviality, mating status and offspring: one entry behind the tag, or a
// bracketed group of entries for real life ("r") and virtual life ("v").
#pragma once

#include <span>
#include <string_view>

#include "Scale.h"

namespace zendric {

using EntryReader = void (*)(ParseState&);

// Everything the shared wrapper and a tag's entry reader need.
struct SplitTag {
  std::string_view Tag;
  std::string_view Heading;
  std::string_view MissingBracket;
  EntryReader ReadEntry;
  std::string_view RealLifeMarker;
  std::string_view VirtualMarker;
  std::string_view Noun;
  std::span<const ScaleEntry> Scale;
  TerminatorSet Terminators;
};

// Rows in the order A, J, M, O.
extern const std::span<const SplitTag> SplitTags;

// Writes the tag's heading, then one entry or a "( ... )" group of entries.
void ReadSplitItem(ParseState& s, const SplitTag& tag);

void ReadAgeEntry(ParseState& s);
void ReadJovialityEntry(ParseState& s);
void ReadMatingEntry(ParseState& s);
void ReadOffspringEntry(ParseState& s);

}  // namespace zendric
