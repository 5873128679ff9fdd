// Every item reader. Each takes the parse state with Cursor just behind the tag and
// the item's result line current, consumes what its grammar accepts and returns with
// Cursor on the first character it did not consume. A tag's reader gets its row of
// the tag catalogue, which holds its heading, noun, scale and the like.
#pragma once

#include <string_view>

#include "ParseState.h"

namespace zendric {

struct TagRow;

// The item directly behind "ZN2.".
void ReadSpeciesItem(ParseState& s, TerminatorSet Stops, bool SayIAm, bool MayStartMix,
                     std::string_view PreviousCode);

// One reader per kind of tag.
void ReadScaledItem(ParseState& s, const TagRow& tag);
void ReadFruitiness(ParseState& s, const TagRow& tag);
void ReadIrritability(ParseState& s, const TagRow& tag);
void ReadSplitItem(ParseState& s, const TagRow& tag);
void ReadSpecialistItem(ParseState& s, const TagRow& tag);
void ReadGenderItem(ParseState& s, const TagRow& tag);
void ReadLengthItem(ParseState& s, const TagRow& tag);
void ReadWeightItem(ParseState& s, const TagRow& tag);
void ReadColourItem(ParseState& s, const TagRow& tag);
void ReadBreathItem(ParseState& s, const TagRow& tag);
void ReadDietItem(ParseState& s, const TagRow& tag);
void ReadAppendagesItem(ParseState& s, const TagRow& tag);
void ReadSkinItem(ParseState& s, const TagRow& tag);

// The entries of split items (A, J, M, O).
void ReadRatedEntry(ParseState& s, const TagRow& tag);
void ReadMatingEntry(ParseState& s, const TagRow& tag);
void ReadOffspringEntry(ParseState& s, const TagRow& tag);

}  // namespace zendric
