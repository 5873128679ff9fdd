#include "Skin.h"

#include <algorithm>
#include <array>
#include <string>

#include "Readers.h"

namespace zendric {
namespace {

constexpr std::array<SkinType, 13> Types{{
    {U'b', "bark"},
    {U'c', "cellulose"},
    {U'e', "exoskeleton"},
    {U'f', "feathers"},
    {U'h', "hide"},
    {U'k', "skin"},
    {U'l', "leather"},
    {U'm', "metal"},
    {U'r', "rock/stone"},
    {U's', "scales"},
    {U'u', "fur"},
    {U'x', "crystals"},
    {U'?', "something unknown"},
}};

constexpr std::array<SkinBodyPart, 7> Parts{{
    {U'a', "\rMy arms have"},
    {U'b', "\rMy belly has"},
    {U'h', "\rMy head has"},
    {U'l', "\rMy legs have"},
    {U'n', "\rMy neck has"},
    {U't', "\rMy tail has"},
    {U'w', "\rMy wings have"},
}};

template <typename Row, std::size_t N>
const Row* FindLetter(const std::array<Row, N>& rows, char32_t ch) {
  const auto it = std::find_if(rows.begin(), rows.end(), [ch](const Row& r) { return r.Letter == ch; });
  return it == rows.end() ? nullptr : &*it;
}

}  // namespace

const std::span<const SkinType> SkinTypes(Types);
const std::span<const SkinBodyPart> SkinBodyParts(Parts);

// Sk: skin letters, then groups of ',' body-part skin-letters
void ReadSkinItem(ParseState& s) {
  AppendText(s, "I have");
  // Whether the current group has read anything, accepted or rejected, since its opener.
  bool filled = false;
  while (!AtEnd(s) && !AtItemBoundary(s)) {
    if (CurrentChar(s) == U',') {
      AppendText(s, " no skin");  // the comma ends a group with no skin letter
    } else {
      if (const SkinType* type = FindLetter(Types, CurrentChar(s))) {
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
      if (const SkinBodyPart* part = FindLetter(Parts, CurrentChar(s))) {
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
