#include "SplitItems.h"

#include <array>
#include <string>

#include "Readers.h"

namespace zendric {
namespace {

constexpr ScaleEntry AgeScale[] = {
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

constexpr ScaleEntry JovialityScale[] = {
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

constexpr ScaleEntry MatingScale[] = {
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

constexpr ScaleEntry OffspringScale[] = {
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

static_assert(std::size(AgeScale) == 11 && std::size(JovialityScale) == 11 &&
              std::size(MatingScale) == 12 && std::size(OffspringScale) == 12);

enum SplitRow { kAge, kJoviality, kMating, kOffspring };

constexpr std::array<SplitTag, 4> Rows{{
    {"A", "My age: ", "Error: Missing ) in age tag", ReadAgeEntry,
     "\rMy real life age: ", "\rMy virtual age: ", "age", AgeScale, TerminatorSet(")rv")},
    {"J", "My joviality: ", "Error: Missing ) in joviality tag", ReadJovialityEntry,
     "\rMy real life joviality: ", "\rMy virtual joviality: ", "joviality", JovialityScale,
     TerminatorSet(")rv")},
    {"M", "My mating status: ", "Error: Missing ) in mating status tag", ReadMatingEntry,
     "\rMy real life mating status: ", "\rMy virtual mating status: ", "mating status", MatingScale,
     TerminatorSet(")*0123456789_rvx|")},
    {"O", "My offspring: ", "Error: Missing ) in offspring tag", ReadOffspringEntry,
     "\rMy real life offspring: ", "\rMy virtual offspring: ", "offspring", OffspringScale,
     TerminatorSet(")rv")},
}};

// "r" or "v" in front of an entry says which life it describes.
void ReadMarker(ParseState& s, const SplitTag& tag) {
  if (AcceptChar(s, U'r')) {
    AppendText(s, tag.RealLifeMarker);
  } else if (AcceptChar(s, U'v')) {
    AppendText(s, tag.VirtualMarker);
  }
}

void ReadEntryScale(ParseState& s, const SplitTag& tag) {
  ReadScale(s, tag.Scale, tag.Terminators, "", tag.Noun);
}

// The digits right after the character at Cursor, which is skipped; empty (and
// nothing skipped) when no digit follows it.
std::string ReadNumberAfterMark(ParseState& s) {
  if (!IsDigit(CharAt(s, s.Cursor + 1))) return {};
  ++s.Cursor;
  return ReadNumber(s, true);
}

// Mating status: the modifiers behind the scale, in any order and number.
void ReadMatingModifiers(ParseState& s, bool plus) {
  const auto needsPlus = [&](char mark) {
    AddError(s, std::string("Error: ") + mark + " modifier only allowed after plusses in mating status");
    ++s.Cursor;
  };
  while (!AtEnd(s)) {
    const char32_t ch = CurrentChar(s);
    if (ch == U'"') {
      std::int32_t close = ScanToTerminator(s, TerminatorSet("\""), false, s.Cursor + 1);
      if (close == 0 || CharAt(s, close) != U'"') {
        AddError(s, "Error: Missing \" in mating status description");
        if (close == 0) close = CodeLength(s) + 1;
      }
      AppendText(s, "\rOther info: " + CodeSlice(s, s.Cursor + 1, close));
      s.Cursor = close + 1;
    } else if (IsDigit(ch)) {
      const std::string count = ReadNumber(s, true);
      if (plus) {
        AppendText(s, "\rI have " + count + " mates");
      } else {
        AddError(s, "Error: number modifier only allowed after plusses in mating status");
      }
    } else if (ch == U'_') {
      if (!plus) {
        needsPlus('_');
      } else if (const std::string dead = ReadNumberAfterMark(s); !dead.empty()) {
        AppendText(s, "\r" + dead + " of my mates are dead");
      } else {
        AppendText(s, "\rMy mate is dead");
        ++s.Cursor;
      }
    } else if (ch == U'*') {
      if (!plus) {
        needsPlus('*');
      } else {
        AppendText(s, "\rI'm divorced ");
        if (const std::string count = ReadNumberAfterMark(s); !count.empty()) {
          AppendText(s, "from " + count + " mates");
        } else {
          ++s.Cursor;
        }
        AppendText(s, ", and one was bitter about it");
      }
    } else if (ch == U'|') {
      if (!plus) {
        needsPlus('|');
      } else {
        AppendText(s, "\rI'm divorced");
        if (const std::string count = ReadNumberAfterMark(s); !count.empty()) {
          AppendText(s, " from " + count + " mates");
        } else {
          ++s.Cursor;
        }
      }
    } else if (ch == U'x') {
      const char32_t next = CharAt(s, s.Cursor + 1);
      if (next == U'x' || next == U'y') {
        AppendText(s, next == U'x' ? "\rI'm a member of the XX conspiracy!" : "\rI'm a member of the XY conspiracy!");
        s.Cursor += 2;
      } else {
        AddError(s, "Error: Invalid modifier x in mating status tag");
        ++s.Cursor;
      }
    } else {
      break;
    }
  }
}

}  // namespace

const std::span<const SplitTag> SplitTags(Rows);

// split item: one entry, or "(" entries ")"
void ReadSplitItem(ParseState& s, const SplitTag& tag) {
  AppendText(s, tag.Heading);
  if (!AcceptChar(s, U'(')) {
    tag.ReadEntry(s);
    return;
  }
  for (;;) {
    const std::int32_t before = s.Cursor;
    tag.ReadEntry(s);
    if (AtEnd(s) || CurrentChar(s) == U')' || CurrentChar(s) == U' ') break;
    // An entry that cannot start here (a capital, "$", a quote, "}") would stall
    // the group: it ends as at a blank and leaves that character to the item loop.
    if (s.Cursor == before) break;
  }
  if (!AcceptChar(s, U')')) AddError(s, std::string(tag.MissingBracket));
}

// age entry: ["r"|"v"] scale
void ReadAgeEntry(ParseState& s) {
  ReadMarker(s, Rows[kAge]);
  ReadEntryScale(s, Rows[kAge]);
}

// joviality entry: ["r"|"v"] scale
void ReadJovialityEntry(ParseState& s) {
  ReadMarker(s, Rows[kJoviality]);
  ReadEntryScale(s, Rows[kJoviality]);
}

// mating entry: ["r"|"v"] [" "] scale {"quoted" | digits | "_" | "*" | "|" | "xx" | "xy"}
void ReadMatingEntry(ParseState& s) {
  const SplitTag& tag = Rows[kMating];
  ReadMarker(s, tag);

  // A blank in front of a capital only separates this item from the next one.
  bool farAway = false;
  if (CurrentChar(s) == U' ') {
    std::int32_t next = s.Cursor;
    while (CharAt(s, next) == U' ') ++next;
    if (!IsTagLetter(CharAt(s, next))) {
      farAway = true;
      ++s.Cursor;
    }
  }
  const bool plus = CurrentChar(s) == U'+';
  if (farAway && !plus) {
    AddError(s, "Error: space modifier only allowed before plusses in mating status");
    farAway = false;
  }
  ReadEntryScale(s, tag);
  if (farAway) AppendText(s, "\rI'm far from my mate");
  ReadMatingModifiers(s, plus);
}

// offspring entry: ["r"|"v"] ["a"] ("-" digits | "+" digits | scale)
void ReadOffspringEntry(ParseState& s) {
  const SplitTag& tag = Rows[kOffspring];
  ReadMarker(s, tag);
  const bool adopted = AcceptChar(s, U'a');
  const char32_t sign = CurrentChar(s);
  if ((sign == U'-' || sign == U'+') && IsDigit(CharAt(s, s.Cursor + 1))) {
    ++s.Cursor;
    const std::string count = ReadNumber(s, true);
    AppendText(s, "I have " + count +
                      (sign == U'-' ? " hatchlings that have flown the coop." : " hatchlings that are still home."));
  } else {
    ReadEntryScale(s, tag);
  }
  if (adopted) AppendText(s, "\rMy hatchlings are adopted.");
}

void ReadAge(ParseState& s) { ReadSplitItem(s, Rows[kAge]); }
void ReadJoviality(ParseState& s) { ReadSplitItem(s, Rows[kJoviality]); }
void ReadMatingStatus(ParseState& s) { ReadSplitItem(s, Rows[kMating]); }
void ReadOffspring(ParseState& s) { ReadSplitItem(s, Rows[kOffspring]); }

}  // namespace zendric
