#include "Breath.h"

#include <vector>

#include "Catalogue.h"

namespace zendric {
namespace {

// Moves Cursor past the quoted text at Cursor and returns what stands between the
// quotes; without a closing quote the rest of the code is taken, after `missing`.
std::string ReadQuoted(ParseState& s, std::string_view missing) {
  return EnclosedText(s, ScanEnclosed(s, U'"', BraceEnds::Quietly, {missing}));
}

}  // namespace

// weapon: code up to a terminator, or "name", then an optional "adjective"
std::string ReadBreathCode(ParseState& s) {
  std::string phrase;
  if (CurrentChar(s) == U'"') {
    phrase = ReadQuoted(s, "Errors: Missing \" in breath weapon name");
  } else {
    std::int32_t end = ScanToTerminator(s, BreathTerminators, true, s.Cursor);
    if (end == 0) end = CodeLength(s) + 1;
    const std::string code = CodeSlice(s, s.Cursor, end);
    s.Cursor = end;
    if (const BreathWeapon* weapon = FindRow(BreathWeapons, &BreathWeapon::Code, code)) {
      phrase = weapon->Name;
    } else {
      AddError(s, "Error: Invalid breath weapon code (" + code + ")");
    }
  }

  if (!AtEnd(s) && CurrentChar(s) == U'"') {
    std::string adjective = ReadQuoted(s, "Errors: Missing \" in breath weapon name modifier");
    phrase = std::move(adjective) + " " + phrase;
  }
  return phrase;
}

// B: weapon, each followed by shapes "|" and "#", weapons chained by "/"
void ReadBreathItem(ParseState& s, const TagRow& tag) {
  AppendText(s, tag.Heading);
  std::string weapon = ReadBreathCode(s);
  // Each shape wraps everything before it; kept apart so that a long run of
  // them does not copy the phrase over and over.
  std::vector<std::string_view> shapes;
  const auto writeWeapon = [&] {
    for (auto shape = shapes.rbegin(); shape != shapes.rend(); ++shape) AppendText(s, *shape);
    AppendText(s, weapon);
  };

  for (bool more = true; more && !AtEnd(s);) {
    switch (CurrentChar(s)) {
      case U'|':
        shapes.push_back(BeamsText);
        ++s.Cursor;
        break;
      case U'#':
        shapes.push_back(CloudsText);
        ++s.Cursor;
        break;
      case U'/':
        ++s.Cursor;
        writeWeapon();
        AppendText(s, ", ");
        shapes.clear();
        weapon = ReadBreathCode(s);
        break;
      default:
        more = false;
        break;
    }
  }
  writeWeapon();
}

}  // namespace zendric
