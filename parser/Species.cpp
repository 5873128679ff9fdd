#include "Species.h"

#include <string>

#include "Readers.h"

namespace zendric {
namespace {

// Every node has a name and no parenthesis has one.
constexpr bool NamesMatchTree() {
  for (std::size_t i = 0; i < SpeciesTree.size(); ++i) {
    const bool paren = SpeciesTree[i] == '(' || SpeciesTree[i] == ')';
    if (paren != SpeciesNames[i].empty()) return false;
  }
  return true;
}
static_assert(NamesMatchTree());

constexpr auto TreeLength = static_cast<std::int32_t>(SpeciesTree.size());

// The tree character at a 1-based position, NUL outside the tree.
char TreeChar(std::int32_t p) {
  return p >= 1 && p <= TreeLength ? SpeciesTree[static_cast<std::size_t>(p - 1)] : '\0';
}

std::string_view NameAt(std::int32_t p) {
  return p >= 1 && p <= TreeLength ? SpeciesNames[static_cast<std::size_t>(p - 1)] : std::string_view();
}

// Marks that end an unquoted species code, on top of the caller's stops.
constexpr std::string_view CodeEnds = " +[^{~";

// The text of a quoted part: from just after the quote at `open` up to the next quote,
// or empty when no quote closes it.
std::string_view QuotedText(std::string_view code, std::size_t open) {
  const std::size_t close = code.find('"', open + 1);
  return close == std::string_view::npos ? std::string_view() : code.substr(open + 1, close - open - 1);
}

// Codes are UTF-8: the last character may be several bytes.
std::string_view WithoutLastChar(std::string_view code) {
  if (code.empty()) return code;
  std::size_t n = code.size() - 1;
  while (n > 0 && (static_cast<unsigned char>(code[n]) & 0xC0) == 0x80) --n;
  return code.substr(0, n);
}

// Whether a UTF-8 text has more than `limit` characters; stops counting early.
bool LongerThan(std::string_view text, std::size_t limit) {
  std::size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++count > limit) return true;
  }
  return false;
}

bool StartsWithTagLetter(std::string_view code) {
  return !code.empty() && IsTagLetter(static_cast<unsigned char>(code.front()));
}

void ReportInvalid(ParseState& s, std::string_view code) {
  AddError(s, "Error: Species code " + std::string(code) + " is invalid");
}

// A species read one level deeper; past the nesting limit nothing is read.
void ReadNestedSpecies(ParseState& s, TerminatorSet Stops, bool MayStartMix, std::string_view PreviousCode) {
  if (!EnterNestedRead(s)) return;
  ReadSpeciesItem(s, Stops, false, MayStartMix, PreviousCode);
  LeaveNestedRead(s);
}

// ~: "a shapechanger", then its forms separated by "/" up to the next blank.
void ReadShapechanger(ParseState& s, TerminatorSet Stops, bool SayIAm) {
  if (SayIAm) AppendText(s, "I am ");
  AppendText(s, ShapechangerText);
  ++s.Cursor;
  if (!AtEnd(s) && CurrentChar(s) != U' ') AppendText(s, " who takes form of ");
  const TerminatorSet formStops = Stops.With('/');
  // Every form consumes at least its first character, which is never a blank.
  while (!AtEnd(s) && CurrentChar(s) != U' ') {
    ReadNestedSpecies(s, formStops, true, {});
    if (AcceptChar(s, U'/')) AppendText(s, ", ");
  }
}

// Cuts one species code at Cursor and moves past it: a whole quoted name, or the
// characters up to a blank, a mark, a stop or the next tag.
std::string CutSpeciesCode(ParseState& s, TerminatorSet Stops) {
  if (CurrentChar(s) == U'"') {
    const Enclosure name = ScanEnclosed(s, U'"', BraceEnds::Quietly, {"Error: Missing \" in species code"});
    return CodeSlice(s, name.Open, name.Close + 1);  // the quotes stay: they mark an own name
  }
  // The first character always belongs to the code, whatever it is.
  std::int32_t end = ScanToTerminator(s, Stops.With(CodeEnds), true, s.Cursor + 1);
  if (end == 0) end = CodeLength(s) + 1;
  std::string code = CodeSlice(s, s.Cursor, end);
  s.Cursor = end;
  return code;
}

// {: items that hold for this form only, each on a new display line of the species line.
void ReadFormBlock(ParseState& s) {
  AppendText(s, "\rSpecific to this form:");
  ++s.Cursor;
  ++s.OpenFormBlocks;
  while (!AtEnd(s) && CurrentChar(s) != U'}') {
    while (CurrentChar(s) == U' ') ++s.Cursor;
    if (!AtEnd(s) && CurrentChar(s) != U'}') ReadItem(s, false);
  }
  if (!AcceptChar(s, U'}')) AddError(s, "Error: missing } at position " + std::to_string(s.Cursor));
  --s.OpenFormBlocks;
}

}  // namespace

std::int32_t SkipSubtree(std::int32_t Start, char32_t Ch) {
  std::int32_t depth = 0;
  for (std::int32_t p = Start;; ++p) {
    if (p > TreeLength) return NotInTree;  // reached at depth 0 only: the tree is balanced
    const char c = TreeChar(p);
    if (depth == 0 && static_cast<unsigned char>(c) == Ch) return p;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth < 0) return NotInTree;  // the group holding Start has closed
  }
}

std::string ResolveSpecies(ParseState& s, std::string_view Code) {
  if (Code.empty()) return {};
  if (Code.front() == '"') return std::string(QuotedText(Code, 0));

  // The first letter is searched in the whole tree, every further one among the
  // children of the node reached so far.
  const std::size_t first = SpeciesTree.find(Code.front());
  if (first == std::string_view::npos) {
    ReportInvalid(s, Code);
    return {};
  }
  std::int32_t parent = static_cast<std::int32_t>(first) + 1;
  std::int32_t p = parent + 1;
  for (std::size_t j = 1; j < Code.size(); ++j) {
    const char ch = Code[j];
    const bool more = j + 1 < Code.size();
    if (ch == '"') {
      std::string name(QuotedText(Code, j));
      return name + " (" + std::string(NameAt(parent)) + ")";
    }
    if (ch == '?') {
      std::string name = std::string(UnknownWord) + std::string(NameAt(parent));
      if (more) AddError(s, "Hint: Species code " + std::string(Code) + " can be cut off after the ?");
      return name;
    }
    p = SkipSubtree(p + 1, static_cast<unsigned char>(ch));
    if (p == NotInTree) {
      ReportInvalid(s, Code);
      return {};
    }
    if (TreeChar(p + 1) == '(' && more) {
      parent = p;
      p = p + 1;
      continue;
    }
    if (more) {  // letters after a node without children
      ReportInvalid(s, Code);
      return {};
    }
    return std::string(NameAt(p));
  }
  return std::string(NameAt(parent));
}

// Species: "~" forms, "?", or a code (letters, letters with "?" or a quoted name, or a
// whole quoted name), then "~", a "{ }" form block and one of "+", "[ ]", "^".
void ReadSpeciesItem(ParseState& s, TerminatorSet Stops, bool SayIAm, bool MayStartMix,
                     std::string_view PreviousCode) {
  if (CurrentChar(s) == U' ') {
    if (SayIAm) {
      --s.CurrentLine;  // no species: the next item takes this line
    } else {
      AddError(s, "Error: Species code should be found at position " + std::to_string(s.Cursor));
    }
    return;
  }
  if (CurrentChar(s) == U'~') {
    ReadShapechanger(s, Stops, SayIAm);
    return;
  }
  if (CurrentChar(s) == U'?') {
    AppendText(s, DontKnowText);
    ++s.Cursor;
    return;
  }

  std::string code = CutSpeciesCode(s, Stops);
  // A member of a mix that starts below the category borrows the path of the one before.
  if (!code.empty() && !StartsWithTagLetter(code) && !LongerThan(PreviousCode, MaxLendingCode)) {
    code.insert(0, WithoutLastChar(PreviousCode));
  }
  if (!StartsWithTagLetter(code)) {
    AddError(s, "Error: Species code should be found at position " + std::to_string(s.Cursor));
  }
  if (SayIAm) AppendText(s, "I am ");
  const std::int32_t lineStart = CurrentLineLength(s);
  const std::string name = WithArticle(ResolveSpecies(s, code));
  if (!name.empty()) AppendText(s, name);

  if (CurrentChar(s) == U'~') {
    AppendText(s, ChangesShapeText);
    ++s.Cursor;
  }
  if (CurrentChar(s) == U'{') ReadFormBlock(s);

  switch (CurrentChar(s)) {
    case U'+':
      // Only the first member says it is a mix, in front of its own phrase.
      if (MayStartMix) InsertText(s, lineStart, " a mix of");
      AppendText(s, ", ");
      ++s.Cursor;
      ReadNestedSpecies(s, Stops, false, code);
      break;
    case U'[':
      AppendText(s, TrappedInText);
      ++s.Cursor;
      ReadNestedSpecies(s, Stops.With(']'), true, {});
      if (!AcceptChar(s, U']')) AddError(s, "Error: missing ] at position " + std::to_string(s.Cursor));
      break;
    case U'^':
      AppendText(s, LooksLikeText);
      ++s.Cursor;
      ReadNestedSpecies(s, Stops, true, {});
      break;
    default:
      break;
  }
}

}  // namespace zendric
