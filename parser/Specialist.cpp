#include "Specialist.h"

#include <array>
#include <string>

#include "Readers.h"

namespace zendric {
namespace {

constexpr ScaleEntry TechnologyScale[] = {
    {"+++!", "I write microcode in my spare time!"},
    {"+++", "I build my own computers from spare parts."},
    {"++", "I can program in several languages."},
    {"+", "I can find my way around most gadgets."},
    {"", "I can use a computer without breaking it."},
    {"-", "I can just about set the clock on the video."},
    {"--", "Machines and I don't get along."},
    {"---", "Anything with a plug is a mystery to me."},
    {"---!", "Technology? I still count on my claws."},
    {"?", "I don't know how good I am with technology"},
    {"~", "My tech skills vary"},
};

constexpr ScaleEntry MagicScale[] = {
    {"+++!", "I bend the laws of nature at will!"},
    {"+++", "I am a master of the arcane arts."},
    {"++", "I know a number of spells."},
    {"+", "I know a few simple spells and tricks."},
    {"", "I can manage a charm or two."},
    {"-", "My spells usually fizzle."},
    {"--", "I once made a spoon glow - by accident."},
    {"---", "I haven't a drop of magic in me."},
    {"---!", "Magic? What's that?"},
    {"~", "Sometimes I'm good at it, sometimes not."},
    {"?", "I have no idea!"},
};

constexpr ScaleEntry PsionicsScale[] = {
    {"+++!", "I can read and bend any mind I touch!"},
    {"+++", "I speak mind to mind across great distances."},
    {"++", "I can sense what others are thinking."},
    {"+", "I pick up the odd stray thought."},
    {"", "I have the usual hunches and no more."},
    {"-", "My mind is fairly well shielded."},
    {"--", "Only my very outer thoughts are exposed."},
    {"---", "My mind is a closed book."},
    {"---!", "My mind is a fortress - nothing gets in or out!"},
    {"~", "Sometimes I'm good at it, sometimes not."},
    {"?", "I have no idea!"},
};

static_assert(std::size(TechnologyScale) == 11 && std::size(MagicScale) == 11 &&
              std::size(PsionicsScale) == 11);

constexpr std::array<SpecialistTag, 3> Specialists{{
    {"Tc", "My technology index: ", "technology", TechnologyScale,
     "Error: Missing ] in technology specialist field"},
    {"V", "My magical abilities: ", "magic", MagicScale, "Error: Missing ] in magic specialist field"},
    {"Q", "My psionical abilities: ", "psionics", PsionicsScale,
     "Error: Missing ] in psionics specialist field"},
}};

enum SpecialistRow { kTc, kV, kQ };

// The rating ends at the opening bracket of the field.
constexpr TerminatorSet FieldOpens("[");

void ReadSpecialistTag(ParseState& s, const SpecialistTag& tag) {
  ReadScale(s, tag.Scale, FieldOpens, tag.Heading, tag.Noun);
  ReadSpecialistField(s, tag.MissingBracket);
}

}  // namespace

const std::span<const SpecialistTag> SpecialistTags(Specialists);

// "[" any text, blanks and capitals included, "]"
void ReadSpecialistField(ParseState& s, std::string_view MissingBracket) {
  if (CurrentChar(s) != U'[') return;
  std::int32_t close = ScanToTerminator(s, TerminatorSet("]"), false, s.Cursor);
  if (close == 0) {
    AddError(s, std::string(MissingBracket));
    close = CodeLength(s) + 1;
  }
  AppendText(s, "\rMy specialist field is: " + CodeSlice(s, s.Cursor + 1, close));
  s.Cursor = close + 1;
}

// Tc, V, Q: a scale modifier, then at most one "[field]"
void ReadTechnology(ParseState& s) { ReadSpecialistTag(s, Specialists[kTc]); }
void ReadMagic(ParseState& s) { ReadSpecialistTag(s, Specialists[kV]); }
void ReadPsionics(ParseState& s) { ReadSpecialistTag(s, Specialists[kQ]); }

}  // namespace zendric
