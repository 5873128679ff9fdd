// Fixes for the messages of a reading: edits of the code that would mend it, each one
// checked by reading the edited code. The reading itself is never changed; these are
// offered beside it, on request.
//
// A fix is offered only when the edited code reads with fewer messages than the code
// had and with no message of a kind the code did not have. The kind of a message is
// its text with what it quotes taken out: every digit, a last part in parentheses
// ("Invalid colour code (zz)" is of the kind "Invalid colour code ()"), and the
// species code in "Species code X is invalid" and its hint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ZNParser.h"

namespace zendric {

// Replace the code points From..To (from 1, both included) by Text (UTF-8). An
// insertion before position p has From = p and To = p - 1.
struct Fix {
  std::int32_t From = 0;
  std::int32_t To = 0;
  std::string Text;
  std::string Label;  // what the edit does, in the reading's words
  friend bool operator==(const Fix&, const Fix&) = default;
};

// No more fixes than this are offered for one message.
inline constexpr std::size_t MaxFixes = 5;
// Every check reads the whole edited code: a request reads at most about this many
// code points in all (fewer candidates for a longer code), and a code longer than
// MaxCodeForFixes gets none.
inline constexpr std::size_t CheckBudget = 4'000'000;
inline constexpr std::size_t MaxCodeForFixes = 100'000;
// All the fixes of one code read at most about this many code points: a code full of
// errors gets fixes for its first messages, the later ones none.
inline constexpr std::size_t CodeCheckBudget = 4'000'000;

// The kind of a message, as above.
std::string MessageKind(std::string_view message);

// The fixes of message `index` of `reading`, the reading of `code`, best first;
// empty where no edit passes the check.
std::vector<Fix> FixesFor(std::string_view code, const ParseResult& reading, std::size_t index);
// The fixes of every message, in their order, as FixesFor gives them, within
// CodeCheckBudget.
std::vector<std::vector<Fix>> FixesForEach(std::string_view code, const ParseResult& reading);

// `code` with the fix applied (ill-formed bytes of `code` come back as U+FFFD).
std::string ApplyFix(std::string_view code, const Fix& fix);

// What the item holding the message expects: the tag's title and a few of its codes
// with their meanings ("Colour (C): ag silver, am amber, ..."). Empty where the
// message belongs to no item (a code without the prefix).
std::string ExplainMessage(std::string_view code, const ParseResult& reading, std::size_t index);

// --fix: applies the first fix of the first message that has one, reads again, and so
// on until no message has a fix or `maxSteps` fixes were applied.
struct FixRun {
  std::string Fixed;
  std::vector<std::string> Applied;  // the labels, in order
  ParseResult Reading;               // of Fixed
};
FixRun FixRepeatedly(std::string_view code, int maxSteps = 100);

}  // namespace zendric
