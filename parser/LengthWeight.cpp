#include "LengthWeight.h"

#include <string>

#include "Catalogue.h"

namespace zendric {
namespace {

// The unit letter behind a number; whatever stands there is consumed, and a missing
// or unknown unit falls back to the default so that the line is still written.
std::string_view ReadUnit(ParseState& s, const TagRow& tag) {
  const UnitRow* unit = FindRow(tag.Units, &UnitRow::Letter, CurrentChar(s));
  if (AtEnd(s)) {
    AddError(s, "Error: missing unit identifier in " + std::string(tag.Noun) + " tag");
  } else if (unit == nullptr) {
    AddError(s, "Error: invalid unit identifier in " + std::string(tag.Noun) + " tag");
  }
  if (unit == nullptr) unit = FindRow(tag.Units, &UnitRow::Letter, static_cast<unsigned char>(tag.DefaultUnit));
  ++s.Cursor;
  return unit->Word;
}

}  // namespace

// L: a length scale modifier, or number unit-letter, then pairs of number body-part-letter
void ReadLengthItem(ParseState& s, const TagRow& tag) {
  if (!IsDigit(CurrentChar(s))) {
    ReadScale(s, tag.Scale, tag.Terminators, tag.Heading, tag.Noun);
    return;
  }
  const std::string number = ReadNumber(s, false);
  const std::string_view unit = ReadUnit(s, tag);
  AppendText(s, "I am about " + number + " " + std::string(unit) + " long");

  bool first = true;
  while (!AtEnd(s) && IsDigit(CurrentChar(s))) {
    const std::string part = ReadNumber(s, false);
    if (const BodyPartRow* row = FindRow(tag.BodyParts, &BodyPartRow::Letter, CurrentChar(s))) {
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
void ReadWeightItem(ParseState& s, const TagRow& tag) {
  if (!IsDigit(CurrentChar(s))) {
    ReadScale(s, tag.Scale, tag.Terminators, tag.Heading, tag.Noun);
    return;
  }
  const std::string number = ReadNumber(s, false);
  const std::string_view unit = ReadUnit(s, tag);
  AppendText(s, "I am about " + number + " " + std::string(unit));
}

}  // namespace zendric
