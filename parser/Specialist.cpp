#include "Specialist.h"

#include <string>

#include "Catalogue.h"

namespace zendric {

// Tc, V, Q: a scale modifier, then at most one "[" any text, blanks and capitals
// included, "]"
void ReadSpecialistItem(ParseState& s, const TagRow& tag) {
  ReadScale(s, tag.Scale, tag.Terminators, tag.Heading, tag.Noun);
  if (CurrentChar(s) != U'[') return;
  const Enclosure field = ScanEnclosed(s, U']', BraceEnds::Quietly, {tag.MissingClose});
  AppendText(s, "\rMy specialist field is: " + EnclosedText(s, field));
}

}  // namespace zendric
