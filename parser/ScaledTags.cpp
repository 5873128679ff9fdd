#include "ScaledTags.h"

#include <string>

#include "Catalogue.h"

namespace zendric {

// A rating on the tag's scale.
void ReadScaledItem(ParseState& s, const TagRow& tag) {
  ReadScale(s, tag.Scale, tag.Terminators, tag.Heading, tag.Noun);
}

// Fr: the scale, then a run of extra modifiers up to the end of the item.
void ReadFruitiness(ParseState& s, const TagRow& tag) {
  ReadScaledItem(s, tag);
  while (!AtEnd(s) && !AtItemBoundary(s)) {
    switch (CurrentChar(s)) {
      case U'^':
        AppendText(s, FruitinessJoinedText);
        break;
      case U'*':
        AppendText(s, FruitinessFlamedText);
        break;
      case U'"': {
        const Enclosure like =
            ScanEnclosed(s, U'"', BraceEnds::Quietly, {"Error: Missing \" in fruitiness description"});
        AppendText(s, "\rMy fruitiness is like " + WithArticle(EnclosedText(s, like)));
        continue;  // already past the closing quote
      }
      default:
        AddError(s, "Error: Invalid fruitiness modifier");
        break;
    }
    ++s.Cursor;  // past the modifier
  }
}

// I: the scale, then one optional "#", whether or not the scale matched.
void ReadIrritability(ParseState& s, const TagRow& tag) {
  ReadScaledItem(s, tag);
  if (AcceptChar(s, U'#')) AppendText(s, BarbequeText);
}

}  // namespace zendric
