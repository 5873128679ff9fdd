// Every item reader the dispatcher knows. Each takes the parse state with Cursor just
// behind the tag and the item's result line current, consumes what its grammar
// accepts and returns with Cursor on the first character it did not consume.
#pragma once

#include <string_view>

#include "ParseState.h"

namespace zendric {

// The item directly behind "ZN2.".
void ReadSpeciesItem(ParseState& s, TerminatorSet Stops, bool SayIAm, bool MayStartMix,
                     std::string_view PreviousCode);

// Two-letter tags.
void ReadSkinItem(ParseState& s);      // Sk
void ReadFruitiness(ParseState& s);    // Fr
void ReadActivity(ParseState& s);      // Ac
void ReadTechnology(ParseState& s);    // Tc
void ReadDragonFriend(ParseState& s);  // Df

// One-letter tags.
void ReadMoney(ParseState& s);           // $
void ReadAge(ParseState& s);             // A
void ReadBreathItem(ParseState& s);      // B
void ReadColourItem(ParseState& s);      // C
void ReadDietItem(ParseState& s);        // F
void ReadGenderItem(ParseState& s);      // G
void ReadHoard(ParseState& s);           // H
void ReadIrritability(ParseState& s);    // I
void ReadJoviality(ParseState& s);       // J
void ReadLengthItem(ParseState& s);      // L
void ReadMatingStatus(ParseState& s);    // M
void ReadNativeLand(ParseState& s);      // N
void ReadOffspring(ParseState& s);       // O
void ReadAppendagesItem(ParseState& s);  // P
void ReadPsionics(ParseState& s);        // Q
void ReadReality(ParseState& s);         // R
void ReadSocialLife(ParseState& s);      // S
void ReadWeightItem(ParseState& s);      // T
void ReadUbiquity(ParseState& s);        // U
void ReadMagic(ParseState& s);           // V
void ReadWidth(ParseState& s);           // W

}  // namespace zendric
