// Technology, magic and psionics: a rating on the common scale, then an optional
// speciality in square brackets. Their scales; headings and messages are their rows
// of the tag catalogue.
#pragma once

#include "Scale.h"

namespace zendric {

inline constexpr ScaleEntry TechnologyScale[] = {
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

inline constexpr ScaleEntry MagicScale[] = {
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

inline constexpr ScaleEntry PsionicsScale[] = {
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

}  // namespace zendric
