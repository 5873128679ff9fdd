// The builder's choices as a form: each item of a persona described as a list of
// fields in the reading's own words, and a value given to one field turned into new
// choices through the builder core. The window and the page draw nothing but these
// fields, each with its own controls; neither knows a kind of item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Builder.h"
#include "ZNParser.h"

namespace zendric {

struct FormOption {
  std::string Value;
  std::string Text;
  std::string Heading;  // the options under one heading stand together; empty: none
  std::int32_t Depth = 0;  // in a tree: how far below the top the option stands
};

// What a renderer may make of a field beyond its kind.
enum FormHint : std::uint8_t {
  HintNone = 0,
  HintTree = 1,    // a select whose options form a tree by their depths
  HintSearch = 2,  // a select long enough to want a search field
  HintTicks = 4,   // a check that stands with the checks beside it of the same group in one menu of ticks
  HintLong = 8,    // a text of more than LongestShown bytes: a field of several lines that lays out only what is in view
};

struct FormField {
  enum class Kind : std::uint8_t { Select, Number, Text, Check, Button, Note };
  Kind Shape = Kind::Select;
  std::string Key;    // stable while the item's lists keep their lengths: "group/label"
  std::string Group;  // the part of the item it belongs to ("Form 2"); fields of one group stand together
  std::string Label;
  std::vector<FormOption> Options;  // Select only
  std::string Value;  // Select: an option's value; Number, Text, Note: the text; Check: "1" or "0"
  std::uint8_t Hints = HintNone;
};

std::string_view KindName(FormField::Kind kind);

// Where a builder lists the messages of a reading, it lists this many at the most and
// then how many more there are: a code full of errors has one per character.
inline constexpr std::size_t MostMessagesListed = 100;
std::string MoreMessages(std::size_t count);

// Where a builder shows a text of any length (a kept item, a line of the reading, a
// note), it shows this many characters at the most and then "…": a label or a text
// view lays out every character it holds on every resize, and a line of a megabyte
// wraps into thousands of rows. A kept item's own text field holds the whole text.
inline constexpr std::size_t LongestShown = 2000;
// The first `most` characters of the UTF-8 `text` (an ill-formed part counts as one),
// and "…" behind them when there were more; `text` itself when there were not.
std::string CutText(std::string_view text, std::size_t most = LongestShown);

// Where a builder lists the lines of a reading, it lists this many at the most, each
// cut, and then how many more there are: a run of "{" reads as a line per character.
inline constexpr std::size_t MostLinesListed = 1000;
std::string MoreLines(std::size_t count);
// A reading as a builder lists it under its code: the lines and the messages
// ("Position N: message"), as many as listed, each cut, each list followed by how many
// more there are. A message may quote a megabyte of the code.
struct ReadingListing {
  std::vector<std::string> Lines;
  std::vector<std::string> Messages;
};
ReadingListing ListReading(const ParseResult& reading);

// The fields of one item, in the order they are shown.
std::vector<FormField> DescribeItem(const PersonaItem& item);

// Gives the field of the item at `at` whose key is `key` the value `value`; a button
// takes any value. False, with the persona unchanged, when there is no such field or
// the value is not one it takes (a number with a letter in it, an option it does not
// offer).
bool SetField(Persona& p, std::size_t at, std::string_view key, std::string_view value);

// What a field says of a value given to it: taken, or refused with the reason to show
// beside the field (which characters it cannot hold, what a number may be). The reason
// is empty only where there is no such field. A text (a kept item's text included) is
// taken only as typed: the item built from it reads back with that very text in the
// field, and it holds no line break, no other control character and no "ZN2.", so
// that the code is found as one code wherever it is pasted. A choice that changes what
// an item writes gives it the builder's spelling.
struct FieldAnswer {
  bool Taken = false;
  std::string Why;
};
FieldAnswer GiveField(Persona& p, std::size_t at, std::string_view key, std::string_view value);

}  // namespace zendric
