// Age, joviality, mating status and offspring: one entry behind the tag, or a
// bracketed group of entries for real life ("r") and virtual life ("v"). Their
// scales; markers, messages and entry readers are their rows of the tag catalogue.
#pragma once

#include "Scale.h"

namespace zendric {

// Sentences the readers write and the builder offers as choices.
inline constexpr std::string_view MateDeadText = "\rMy mate is dead";
inline constexpr std::string_view XXConspiracyText = "\rI'm a member of the XX conspiracy!";
inline constexpr std::string_view XYConspiracyText = "\rI'm a member of the XY conspiracy!";
inline constexpr std::string_view AdoptedText = "\rMy hatchlings are adopted.";
inline constexpr std::string_view StillHomeText = " hatchlings that are still home.";
inline constexpr std::string_view FlownText = " hatchlings that have flown the coop.";

inline constexpr ScaleEntry AgeScale[] = {
    {"+++!", "Ancient"},
    {"+++", "Venerable"},
    {"++", "Elder"},
    {"+", "Old"},
    {"", "Mature adult"},
    {"-", "Young adult"},
    {"--", "Juvenile"},
    {"---", "Hatchling"},
    {"---!", "Still in the egg"},
    {"?", "I have no idea how old I am"},
    {"~", "It depends on how I feel"},
};

inline constexpr ScaleEntry JovialityScale[] = {
    {"+++!", "I'd laugh at my own funeral!"},
    {"+++", "I laugh at everything, myself included."},
    {"++", "I'm always ready for a joke."},
    {"+", "I'm a cheerful sort."},
    {"", "I'm as jolly as the next dragon."},
    {"-", "I don't laugh much."},
    {"--", "Jokes are wasted on me."},
    {"---", "I never smile. Ever."},
    {"---!", "Laugh near me and you're lunch!"},
    {"~", "It depends on my mood"},
    {"?", "I have no idea"},
};

inline constexpr ScaleEntry MatingScale[] = {
    {"+++!", "I have more mates than I have claws!"},
    {"+++", "I'm mated for life, and happily so!"},
    {"++", "I have a mate."},
    {"+", "I'm seeing someone."},
    {"", "I'm looking for a mate."},
    {"-", "Don't ask!"},
    {"--", "I'm single."},
    {"---", "I'm single and very proud of it!"},
    {"---!", "A mate? Not in this life or any other!"},
    {"/", "Ask me, and I'll ask your snout to meet your kidneys!"},
    {"~", "It changes from one season to the next."},
    {"?", "I'm not sure myself."},
};

inline constexpr ScaleEntry OffspringScale[] = {
    {"+++!", "My hatchlings could fill a kingdom!"},
    {"+++", "I have a whole clutch of them."},
    {"++", "I've got a few still in the nest."},
    {"+", "I've got one still in the nest."},
    {"", "None yet, but I'd like some one day."},
    {"-", "None, and I'm in no hurry."},
    {"--", "Hatchlings? Not for me."},
    {"---", "Keep those squealing things away from me!"},
    {"---!", "I'd sooner eat one than raise one!"},
    {"?", "I lost track long ago. If it meeps, I feed it."},
    {"~", "That depends on who is visiting the nest."},
    {"/", "If I ever heard one was my fault, I'd faint!"},
};

}  // namespace zendric
