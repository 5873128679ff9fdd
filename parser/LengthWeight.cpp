#include "LengthWeight.h"

#include <span>
#include <string>

#include "Readers.h"

namespace zendric {
namespace {

template <typename Table>
auto FindLetter(const Table& table, char32_t ch) -> const typename Table::value_type* {
  for (const auto& row : table) {
    if (static_cast<unsigned char>(row.Letter) == ch) return &row;
  }
  return nullptr;
}

// The unit letter behind a number; whatever stands there is consumed, and a missing
// or unknown unit falls back to the default so that the line is still written.
std::string_view ReadUnit(ParseState& s, std::span<const UnitRow> units, char fallback,
                          std::string_view Noun) {
  const UnitRow* unit = FindLetter(units, CurrentChar(s));
  if (AtEnd(s)) {
    AddError(s, "Error: missing unit identifier in " + std::string(Noun) + " tag");
  } else if (unit == nullptr) {
    AddError(s, "Error: invalid unit identifier in " + std::string(Noun) + " tag");
  }
  if (unit == nullptr) unit = FindLetter(units, static_cast<unsigned char>(fallback));
  ++s.Cursor;
  return unit->Word;
}

}  // namespace

// L: a length scale modifier, or number unit-letter, then pairs of number body-part-letter
void ReadLengthItem(ParseState& s) {
  if (!IsDigit(CurrentChar(s))) {
    ReadScale(s, LengthScale, TerminatorSet(), "Concerning my length, I'm ", "length");
    return;
  }
  const std::string number = ReadNumber(s, false);
  const std::string_view unit = ReadUnit(s, LengthUnits, DefaultLengthUnit, "length");
  AppendText(s, "I am about " + number + " " + std::string(unit) + " long");

  bool first = true;
  while (!AtEnd(s) && IsDigit(CurrentChar(s))) {
    const std::string part = ReadNumber(s, false);
    if (const BodyPartRow* row = FindLetter(LengthBodyParts, CurrentChar(s))) {
      std::string text = first ? " with " : ", ";
      text += row->Before;
      text += part + " " + std::string(unit);
      text += row->After;
      AppendText(s, text);
      first = false;
    } else {
      AddError(s, "Error: Invalid body part code in length tag");
    }
    ++s.Cursor;
  }
}

// T: a weight scale modifier, or number unit-letter
void ReadWeightItem(ParseState& s) {
  if (!IsDigit(CurrentChar(s))) {
    ReadScale(s, WeightScale, TerminatorSet(), "Concerning my weight, I'm ", "weight");
    return;
  }
  const std::string number = ReadNumber(s, false);
  const std::string_view unit = ReadUnit(s, WeightUnits, DefaultWeightUnit, "weight");
  AppendText(s, "I am about " + number + " " + std::string(unit));
}

}  // namespace zendric
