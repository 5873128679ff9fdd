#include "SplitItems.h"

#include <string>

#include "Catalogue.h"

namespace zendric {
namespace {

// "r" or "v" in front of an entry says which life it describes.
void ReadMarker(ParseState& s, const TagRow& tag) {
  if (AcceptChar(s, U'r')) {
    AppendText(s, tag.RealLife);
  } else if (AcceptChar(s, U'v')) {
    AppendText(s, tag.Virtual);
  }
}

void ReadEntryScale(ParseState& s, const TagRow& tag) {
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
      // A "}" of a form block stands in for the quote, but not quietly.
      const Enclosure info =
          ScanEnclosed(s, U'"', BraceEnds::AsMissing, {"Error: Missing \" in mating status description"});
      AppendText(s, "\rOther info: " + EnclosedText(s, info));
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
        AppendText(s, MateDeadText);
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
        AppendText(s, next == U'x' ? XXConspiracyText : XYConspiracyText);
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

// split item: one entry, or "(" entries ")"
void ReadSplitItem(ParseState& s, const TagRow& tag) {
  AppendText(s, tag.Heading);
  if (!AcceptChar(s, U'(')) {
    tag.ReadEntry(s, tag);
    return;
  }
  for (;;) {
    const std::int32_t before = s.Cursor;
    tag.ReadEntry(s, tag);
    if (AtEnd(s) || CurrentChar(s) == U')' || CurrentChar(s) == U' ') break;
    // An entry that cannot start here (a capital, "$", a quote, "}") would stall
    // the group: it ends as at a blank and leaves that character to the item loop.
    if (s.Cursor == before) break;
  }
  if (!AcceptChar(s, U')')) AddError(s, std::string(tag.MissingClose));
}

// age and joviality entry: ["r"|"v"] scale
void ReadRatedEntry(ParseState& s, const TagRow& tag) {
  ReadMarker(s, tag);
  ReadEntryScale(s, tag);
}

// mating entry: ["r"|"v"] [" "] scale {"quoted" | digits | "_" | "*" | "|" | "xx" | "xy"}
void ReadMatingEntry(ParseState& s, const TagRow& tag) {
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
void ReadOffspringEntry(ParseState& s, const TagRow& tag) {
  ReadMarker(s, tag);
  const bool adopted = AcceptChar(s, U'a');
  const char32_t sign = CurrentChar(s);
  if ((sign == U'-' || sign == U'+') && IsDigit(CharAt(s, s.Cursor + 1))) {
    ++s.Cursor;
    const std::string count = ReadNumber(s, true);
    AppendText(s, "I have " + count +
                      std::string(sign == U'-' ? FlownText : StillHomeText));
  } else {
    ReadEntryScale(s, tag);
  }
  if (adopted) AppendText(s, AdoptedText);
}

}  // namespace zendric
