#include "Breath.h"

#include <vector>

#include "Readers.h"

namespace zendric {
namespace {

const BreathWeapon* FindBreathWeapon(std::string_view code) {
  for (const BreathWeapon& w : BreathWeapons)
    if (w.Code.size() == code.size() && (code.empty() || w.Code[0] == code[0]) && w.Code == code) return &w;
  return nullptr;
}

// The closing quote of the text whose opening quote is at Cursor, or 0 when the
// code ends first. Inside a form block a "}" closes it as well.
std::int32_t FindClosingQuote(const ParseState& s) {
  return ScanToTerminator(s, TerminatorSet("\""), false, s.Cursor + 1);
}

// Moves Cursor past the quoted text at Cursor and returns what stands between the
// quotes; without a closing quote the rest of the code is taken, after `missing`.
std::string ReadQuoted(ParseState& s, std::string_view missing) {
  std::int32_t close = FindClosingQuote(s);
  if (close == 0) {
    AddError(s, std::string(missing));
    close = CodeLength(s) + 1;
  }
  std::string text = CodeSlice(s, s.Cursor + 1, close);
  s.Cursor = close + 1;
  return text;
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
    if (const BreathWeapon* weapon = FindBreathWeapon(code)) {
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
void ReadBreathItem(ParseState& s) {
  AppendText(s, "I breathe ");
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
        shapes.push_back("beams of ");
        ++s.Cursor;
        break;
      case U'#':
        shapes.push_back("clouds of ");
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
