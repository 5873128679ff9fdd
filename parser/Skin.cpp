#include "Skin.h"

#include <string>

#include "Catalogue.h"

namespace zendric {

// Sk: skin letters, then groups of ',' body-part skin-letters
void ReadSkinItem(ParseState& s, const TagRow& tag) {
  AppendText(s, tag.Heading);
  // Whether the current group has read anything, accepted or rejected, since its opener.
  bool filled = false;
  while (!AtEnd(s) && !AtItemBoundary(s)) {
    if (CurrentChar(s) == U',') {
      AppendText(s, " no skin");  // the comma ends a group with no skin letter
    } else {
      if (const SkinType* type = FindRow(SkinTypes, &SkinType::Letter, CurrentChar(s))) {
        std::string phrase(" ");
        phrase += type->Word;
        phrase += " for a skin";
        AppendText(s, phrase);
      } else {
        AddError(s, "Error: Invalid skin type (" + CharText(CurrentChar(s)) + ")");
      }
      filled = true;
      ++s.Cursor;
    }
    if (AcceptChar(s, U',')) {
      filled = false;
      if (const SkinBodyPart* part = FindRow(SkinBodyParts, &SkinBodyPart::Letter, CurrentChar(s))) {
        AppendText(s, part->Opener);
      } else {
        AddError(s, "Error: Invalid body part in skin tag (" + CharText(CurrentChar(s)) + ")");
        filled = true;
      }
      ++s.Cursor;  // past the body part, or past whatever stood in its place
    }
  }
  if (!filled) AppendText(s, " no skin");
}

}  // namespace zendric
