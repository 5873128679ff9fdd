#include "Gender.h"

#include "Catalogue.h"

namespace zendric {
namespace {


// "...": a free description, given an article like a letter's phrase.
std::string ReadFreeGender(ParseState& s) {
  // A "}" of a form block stands in for the quote, but not quietly.
  const Enclosure free = ScanEnclosed(s, U'"', BraceEnds::AsMissing, {"Error: Missing \" in free gender description"});
  return WithArticle(EnclosedText(s, free));
}

// ~(letters): the list runs to ")" whatever stands in it, blanks and tags included.
std::string ReadVariableGender(ParseState& s) {
  std::string result = "variable";
  ++s.Cursor;
  if (!AcceptChar(s, U'(')) return result;
  result += " between ";
  while (!AtEnd(s) && CurrentChar(s) != U')') {
    if (const GenderRow* row = FindRow(GenderLetters, &GenderRow::Letter, CurrentChar(s))) {
      result += row->Phrase;
      result += ", ";
    } else {
      AddError(s, "Error: Invalid gender code");
    }
    ++s.Cursor;
  }
  if (!AcceptChar(s, U')')) AddError(s, "Error: Missing ) in variable gender definition");
  return result;
}

}  // namespace

// Gender code: a letter, a quoted description, or "~" with an optional "(letters)".
std::string ReadGenderCode(ParseState& s) {
  const char32_t ch = CurrentChar(s);  // NUL past the end, which is none of these
  if (const GenderRow* row = FindRow(GenderLetters, &GenderRow::Letter, ch)) {
    ++s.Cursor;
    return std::string(row->Phrase);
  }
  if (ch == U'"') return ReadFreeGender(s);
  if (ch == U'~') return ReadVariableGender(s);
  if (AtEnd(s)) {
    AddError(s, "Error: Missing gender code");
  } else {
    AddError(s, "Error: Invalid gender code (" + CharText(ch) + ")");
  }
  return {};
}

// G: a gender code, then any chain of "/" (mentally) or ">" (changing into) codes.
void ReadGenderItem(ParseState& s, const TagRow& tag) {
  AppendText(s, std::string(tag.Heading) + ReadGenderCode(s));
  while (!AtEnd(s) && (CurrentChar(s) == U'/' || CurrentChar(s) == U'>')) {
    AppendText(s, CurrentChar(s) == U'/' ? MentallyText : ChangingIntoText);
    ++s.Cursor;
    AppendText(s, ReadGenderCode(s));
  }
}

}  // namespace zendric
