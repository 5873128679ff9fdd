#include "Appendages.h"

#include <charconv>
#include <limits>
#include <string>

#include "Catalogue.h"

namespace zendric {
namespace {

constexpr std::int32_t MaxCount = std::numeric_limits<std::int32_t>::max();

// How many of one appendage: the state is kept apart from the number so that no
// number can ever be mistaken for "many" or "variable".
struct Count {
  enum class State { NotGiven, Many, Variable, Number };
  State state = State::NotGiven;
  std::int32_t number = 0;  // meaningful only in State::Number; never below 0
};

// The row whose code stands at Cursor.
const AppendageRow* MatchRow(const ParseState& s) {
  return FindRowIf(Appendages, [&](const AppendageRow& row) {
    for (std::size_t i = 0; i < row.Code.size(); ++i)
      if (!SameKey(row.Code[i], CharAt(s, s.Cursor + static_cast<std::int32_t>(i)))) return false;
    return true;
  });
}

// "+" and "-" step from the number if there is one, else from the row's default.
void StepCount(Count& count, const AppendageRow& row, int step) {
  const std::int32_t from = count.state == Count::State::Number ? count.number : row.DefaultCount;
  count.state = Count::State::Number;
  if (step > 0) {
    count.number = from == MaxCount ? MaxCount : from + 1;
  } else {
    count.number = from == 0 ? 0 : from - 1;
  }
}

// A run of digits; a value past 32 bits is reported and leaves the count as it was.
void ReadCountDigits(ParseState& s, Count& count) {
  const std::string digits = ReadNumber(s, true);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) {
    AddError(s, "Error: appendage count too large");
    return;
  }
  count.state = Count::State::Number;
  count.number = value;
}

// One modifier at Cursor, consumed; false (nothing consumed) at anything else.
// Every modifier overrides what earlier ones set.
bool ApplyModifier(ParseState& s, const AppendageRow& row, Count& count, bool& webbed) {
  const char32_t ch = CurrentChar(s);
  if (IsDigit(ch)) {
    ReadCountDigits(s, count);  // moves past the whole run
    return true;
  }
  switch (ch) {
    case U'!': count.state = Count::State::Many; break;
    case U'~': count.state = Count::State::Variable; break;
    case U'+': StepCount(count, row, +1); break;
    case U'-': StepCount(count, row, -1); break;
    case U'^': webbed = true; break;
    default: return false;
  }
  ++s.Cursor;
  return true;
}

void AppendCountPhrase(ParseState& s, const Count& count, const AppendageRow& row) {
  switch (count.state) {
    case Count::State::NotGiven:
      AppendText(s, row.DefaultPhrase);
      break;
    case Count::State::Many:
      AppendText(s, "many ");
      break;
    case Count::State::Variable:
      AppendText(s, "a variable amount of ");
      break;
    case Count::State::Number:
      AppendText(s, std::to_string(count.number) + " ");
      break;
  }
}

}  // namespace

// P: appendage codes, each followed by modifiers "!", "+", "-", "^", "~" or digits
void ReadAppendagesItem(ParseState& s, const TagRow& tag) {
  AppendText(s, tag.Heading);
  bool first = true;
  while (!AtEnd(s) && !AtItemBoundary(s)) {
    const AppendageRow* row = MatchRow(s);
    if (row == nullptr) {
      AddError(s, "Error: invalid appendage identifier");
      ++s.Cursor;
      continue;
    }
    if (!first) AppendText(s, ", ");
    first = false;
    s.Cursor += static_cast<std::int32_t>(row->Code.size());

    Count count;
    bool webbed = false;
    // Each turn consumes one modifier; a run of digits counts as one.
    while (!AtEnd(s) && ApplyModifier(s, *row, count, webbed)) {
    }

    AppendCountPhrase(s, count, *row);
    if (webbed) AppendText(s, "webbed ");
    AppendText(s, row->Noun);
  }
}

}  // namespace zendric
