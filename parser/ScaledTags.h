// The tags that rate one attribute on a scale and carry little else: their scales.
// Heading, noun and terminators of each are its row of the tag catalogue.
#pragma once

#include "Scale.h"

namespace zendric {

// The marks behind a fruitiness rating and behind an irritability rating.
inline constexpr std::string_view FruitinessJoinedText = "\rI have joined, left, returned, etc.";
inline constexpr std::string_view FruitinessFlamedText = "\rI once got flamed off the newsgroup - and came back for more!";
inline constexpr std::string_view BarbequeText = " But when I do get angry, I hope you like barbeque!";

// Fr: every rating is two jokes joined by " / ".
inline constexpr ScaleEntry FruitinessScale[] = {
    {"+++!", "I am the fruit bowl itself. / Orchards name their trees after me!"},
    {"+++", "I make a fruitcake look plain. / Grocers order me by the crate!"},
    {"++", "I'm one banana short of a bunch. / Peel me and see!"},
    {"+", "There's a hint of citrus about me. / Lemons wink at me in the market!"},
    {"", "Old fruits know my name and what I'm like. / Squeeze me! I'm ripe!"},
    {"-", "I'm more of a nut than a fruit. / Crack me if you can!"},
    {"--", "Dried fruit has more juice than me. / Prunes call me dull!"},
    {"---", "I'm a vegetable in disguise. / Turnips send me birthday cards!"},
    {"---!", "Fruit? Never heard of the stuff. / Pebbles are juicier than me!"},
    {"?", "I have no idea how fruity I am."},
    {"~", "My fruitiness varies..."},
};

inline constexpr ScaleEntry ActivityScale[] = {
    {"+++!", "I never log off - the net is my lair!"},
    {"+++", "I'm on-line almost every waking hour."},
    {"++", "I'm on-line for several hours every day."},
    {"+", "I'm on-line for at least two hours every day!"},
    {"", "I drop in about once a day."},
    {"-", "I manage to connect a few times a week."},
    {"--", "I can barely manage to connect once a week."},
    {"---", "I surface about once a month."},
    {"---!", "I haven't been on-line since the last ice age."},
    {"~", "My activity comes and goes."},
    {"?", "I have no idea how often I'm on-line."},
};

inline constexpr ScaleEntry DragonFriendScale[] = {
    {"+++!", "I am a dragon - or wish I were one!"},
    {"+++", "Hoard-sharer - dragons and I guard each other's treasure."},
    {"++", "Close friend - dragons are always welcome in my lair."},
    {"+", "Polite acquaintance - you exchange social pleasantries."},
    {"", "Neutral - dragons are neither friend nor foe to me."},
    {"-", "Wary - I keep one eye on any dragon nearby."},
    {"--", "Distrustful - I keep my distance from dragons."},
    {"---", "Hostile - I hunt dragons."},
    {"---!", "Dragon slayer - my walls are hung with their scales."},
    {"?", "I don't know how I feel about dragons."},
    {"~", "My friendliness towards dragons varies"},
};

// W: sayings in single quotes.
inline constexpr ScaleEntry WidthScale[] = {
    {"+++!", "'I am a perfect sphere!'"},
    {"+++", "'I have to enter my cave sideways!'"},
    {"++", "'I could do with losing a few tons!'"},
    {"+", "'I'm a little on the broad side!'"},
    {"", "'I'm of perfectly normal girth!'"},
    {"-", "'I'm slightly on the slim side!'"},
    {"--", "'Ever heard of serpentine?'"},
    {"---", "'I can hide behind a lamp post!'"},
    {"---!", "'I am two-dimensional!'"},
    {"~", "Variable - 'My girth depends on what I've just eaten!'"},
    {"?", "Unknown - 'No tape measure has ever gone all the way round!'"},
};

// N: letter keys and no empty key; the land word, " - " and a saying.
inline constexpr ScaleEntry NativeLandScale[] = {
    {"a", "air - 'I live in the clouds!'"},
    {"e", "earth - 'I dwell deep beneath the ground!'"},
    {"f", "fire - 'I was hatched in the heart of a volcano!'"},
    {"i", "ice - 'I make my home in the frozen wastes!'"},
    {"j", "jungle - 'I roam the steaming rain forests!'"},
    {"m", "mountains - 'I nest among the highest peaks!'"},
    {"n", "nature - 'I live wherever the wild things are!'"},
    {"p", "plains - 'I soar above the open grasslands!'"},
    {"r", "rock - 'I sleep among crags and boulders!'"},
    {"s", "space - 'I come from beyond the stars!'"},
    {"t", "trees - 'I make my lair in the forest canopy!'"},
    {"u", "urban - 'I live in the big city!'"},
    {"w", "water - 'I dwell in the deep blue sea!'"},
    {"^", "ethereal - 'I live on another plane of existence!'"},
    {"!", "imaginary - 'I am a figment of my imagination!'"},
    {"?", "unknown - 'I have no idea where I come from!'"},
    {"~", "variable - 'I feel at home wherever I roam!'"},
};

inline constexpr ScaleEntry HoardScale[] = {
    {"+++!", "I own the world's banks and their vaults."},
    {"+++", "My hoard would buy a small country."},
    {"++", "I sleep on a comfortable mountain of gold."},
    {"+", "I have a hoard to be proud of."},
    {"", "I have a modest hoard, just enough to sleep on."},
    {"-", "Me and the bank own my lair."},
    {"--", "I have a few coins under the rug."},
    {"---", "My hoard is a jar of buttons."},
    {"---!", "I owe more than I will ever own."},
    {"~", "My hoard size varies..."},
    {"?", "I've never counted my hoard."},
};

inline constexpr ScaleEntry MoneyScale[] = {
    {"+++!", "Everything I touch turns to gold - and stays mine."},
    {"+++", "Money is my first, last and only love."},
    {"++", "I save every coin I can lay a claw on."},
    {"+", "I like to keep a little something put by."},
    {"", "I spend what I earn and earn what I spend."},
    {"-", "Money comes and goes - mostly goes."},
    {"--", "Money burns a hole in my pocket."},
    {"---", "I give away whatever I get."},
    {"---!", "Money? I'd rather barter with shiny pebbles."},
    {"~", "It varies over time."},
    {"?", "I've never thought about it."},
};

inline constexpr ScaleEntry RealityScale[] = {
    {"+++!", "I am a dragon in real life, and always have been."},
    {"+++", "I'm a dragon trapped in a human body."},
    {"++", "I often feel more dragon than human."},
    {"+", "Part of me really is a dragon."},
    {"", "I'm a human who plays a dragon."},
    {"-", "Being a dragon is a hobby of mine."},
    {"--", "Dragons are just a game to me."},
    {"---", "I know perfectly well that dragons are myths."},
    {"---!", "I'm not even sure that I exist."},
    {"*", "Don't ask, don't tell."},
    {"?", "I'm not sure where reality ends."},
    {"~", "Strange but true - it varies"},
};

inline constexpr ScaleEntry SocialLifeScale[] = {
    {"+++!", "Everybody knows everything about me."},
    {"+++", "I'm an open book."},
    {"++", "I tell my friends almost everything."},
    {"+", "I'm quite open about my dragon side."},
    {"", "A few close friends know about my dragon side."},
    {"-", "Only my family knows."},
    {"--", "Hardly anyone knows about me."},
    {"---", "Nobody knows, and it stays that way."},
    {"---!", "Even I don't know about me!"},
    {"~", "It varies... sometimes I'm open, sometimes closed."},
    {"?", "I don't know."},
};

inline constexpr ScaleEntry UbiquityScale[] = {
    {"+++!", "I have lived more lives than there are stars."},
    {"+++", "I've been reborn more times than I can count."},
    {"++", "I have lived many lives before this one."},
    {"+", "I remember several past lives."},
    {"", "I've had a past life or two."},
    {"-", "I may have had one past life."},
    {"--", "I have only faint traces of a past life."},
    {"---", "I doubt I ever had a past life."},
    {"---!", "I'm not sure I'm even having this life."},
    {"?", "What's a past life?"},
    {"!", "This is my first life!"},
    {"*", "I've been around a bit, I'm just not saying how many times!"},
    {"2", "This is my second life!"},
    {"~", "My past lives come and go."},
};

inline constexpr ScaleEntry IrritabilityScale[] = {
    {"+++!", "Breathe near me and you're ash."},
    {"+++", "Everything and everyone annoys me."},
    {"++", "Come too close and you're a cinder."},
    {"+", "Call me grumpy."},
    {"", "I'm as patient as the next dragon."},
    {"-", "It takes a lot to annoy me."},
    {"--", "I'm very easy-going."},
    {"---", "Nothing ever gets on my nerves."},
    {"---!", "I'm so calm, I've been mistaken for a statue."},
    {"~", "My temper depends on the day."},
    {"?", "I've never tested my temper."},
};

}  // namespace zendric
