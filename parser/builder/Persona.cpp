// A persona as a whole: its items written one after the other, any text opened into
// items, random personas and the edits that keep the code readable. What belongs to
// one kind of item is in that kind's file; the kind is found here by the tag alone.
#include <algorithm>
#include <cctype>

#include "Kit.h"

namespace zendric::builder {
namespace {

// The choices of a new item of `tag` (nullptr: the species), before its first choices:
// the one place that knows which kind of choices a tag has.
ItemChoices ChoicesFor(const TagRow* tag) {
  if (tag == nullptr) return SpeciesChoices{};
  switch (tag->Kind) {
    case TagKind::Scaled:
    case TagKind::Fruitiness:
    case TagKind::Irritability:
    case TagKind::Specialist: return RatedChoices{};
    case TagKind::Split: return SplitChoices{};
    case TagKind::Gender: return GenderChoices{};
    case TagKind::Length:
    case TagKind::Weight: return MeasureChoices{};
    case TagKind::Colour: return ColourChoices{};
    case TagKind::Breath: return BreathChoices{};
    case TagKind::Diet: return DietChoices{};
    case TagKind::Appendages: return AppendageChoices{};
    case TagKind::Skin: return SkinChoices{};
  }
  return {};
}

// The choices written as `body` (the item's text behind its tag), when the builder
// writes them that same way.
ItemChoices OpenChoices(const TagRow* tag, std::string_view body) {
  TextCursor t(body);
  ItemChoices choices = ChoicesFor(tag);
  std::visit(
      [&](auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, std::monostate>) return;
        else if (auto opened = Open(tag, t, c); opened && t.AtEnd()) c = std::move(*opened);
        else choices = std::monostate{};
      },
      choices);
  return choices;
}

// The tag an item's text starts with, as the dispatcher finds it.
const TagRow* TagOf(std::string_view written) {
  const auto starts = [&](const TagRow& row) { return written.starts_with(row.Letters); };
  const TagRow* two = FindRowIf(TagCatalogue, [&](const TagRow& row) { return row.Letters.size() == 2 && starts(row); });
  return two != nullptr ? two : FindRowIf(TagCatalogue, starts);
}

// Byte offset of each code point of `bytes` as DecodeUtf8 reads them (an ill-formed
// part as one), and the length of `bytes` at the end.
std::vector<std::size_t> Utf8Offsets(std::string_view bytes) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < bytes.size(); i += CharacterBytes(bytes.substr(i))) offsets.push_back(i);
  offsets.push_back(bytes.size());
  return offsets;
}

// The top-level items of a code by the spans its reading gives its lines and messages
// (the first holds the prefix), in code order, and whether an item recorded a message.
// An item that writes nothing and says nothing (a missing species) has no span.
struct ItemPiece {
  std::int32_t From = 0;  // code points, both ends included
  std::int32_t To = 0;
  bool Message = false;
};
std::vector<ItemPiece> TopLevelItems(const ParseResult& reading) {
  // Lines and messages each come in code order, but a message may fall before a line:
  // sorted by start, the spans that share a start merge into one piece.
  std::vector<ItemPiece> spans;
  spans.reserve(reading.LineCount() + reading.MessageCount());
  const auto add = [&](Span where, bool message) {
    if (where.From <= 0) return;  // the message about a missing prefix belongs to no item
    spans.push_back({where.From, where.To, message});
  };
  for (std::size_t i = 0; i < reading.LineCount(); ++i) add(reading.LineSpan(i), false);
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) add(reading.MessageItem(i), true);
  std::stable_sort(spans.begin(), spans.end(), [](const ItemPiece& a, const ItemPiece& b) { return a.From < b.From; });
  std::vector<ItemPiece> pieces;
  for (const ItemPiece& span : spans) {
    if (pieces.empty() || pieces.back().From != span.From) {
      pieces.push_back({span.From, span.To, false});
    }
    ItemPiece& piece = pieces.back();
    piece.To = std::max(piece.To, span.To);
    piece.Message = piece.Message || span.Message;
  }
  return pieces;
}

std::string BuildChoices(const TagRow* tag, const ItemChoices& choices) {
  return std::visit(
      [&](const auto& c) -> std::string {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, std::monostate>) return {};
        else return Build(tag, c);
      },
      choices);
}

// Whether a code reads the same, line for line and message for message, with an item
// written as `built` where `written` stands: `before` is the code up to the item (its
// prefix and a blank, enough to read a tag alone), `after` what follows it.
bool ReadsTheSame(std::string_view before, std::string_view written, std::string_view built, std::string_view after) {
  const auto code = [&](std::string_view item) {
    std::string out(before);
    out += item;
    out += after;
    return out;
  };
  const ParseResult a = ParseCode(code(written));
  const ParseResult b = ParseCode(code(built));
  if (a.LineCount() != b.LineCount() || a.MessageCount() != b.MessageCount()) return false;
  for (std::size_t i = 0; i < a.LineCount(); ++i)
    if (a.Line(i) != b.Line(i)) return false;
  for (std::size_t i = 0; i < a.MessageCount(); ++i)
    if (a.Message(i) != b.Message(i)) return false;
  return true;
}

void OwnLeadIfEmpty(Persona& p, std::size_t at) {
  if (at < p.Items.size() && p.Items[at].Lead && p.Items[at].Lead->empty()) p.Items[at].Lead.reset();
}

}  // namespace
}  // namespace zendric::builder

namespace zendric {

using namespace builder;

// --- building and opening ---

std::string BuildItem(const PersonaItem& item) {
  if (item.IsKept()) return item.Kept;
  if (item.Spelling) return *item.Spelling;
  if (item.IsSpecies()) return BuildChoices(nullptr, item.Choices);
  if (item.Tag == nullptr) return {};
  return std::string(item.Tag->Letters) + BuildChoices(item.Tag, item.Choices);
}

std::string BuildCode(const Persona& p) {
  std::string out = p.Prefix;
  std::string previous;
  for (std::size_t i = 0; i < p.Items.size(); ++i) {
    const PersonaItem& item = p.Items[i];
    std::string text = BuildItem(item);
    if (item.Lead) {
      out += *item.Lead;
    } else if (!(i == 0 && item.IsSpecies()) && !(previous == "M" && text.starts_with('$'))) {
      // A blank behind a lone M is its far-away mark unless a capital follows; "$" is
      // no capital, so it follows directly.
      out += ' ';
    }
    out += text;
    previous = std::move(text);
  }
  return out + p.Tail;
}

Persona OpenCode(std::string_view text) { return OpenCode(text, ParseCode(text)); }

Persona OpenCode(std::string_view text, const ParseResult& reading) {
  Persona p;
  p.Prefix.clear();
  const std::vector<std::size_t> offsets = Utf8Offsets(text);  // byte offset of each code point, and the end
  const auto byteAt = [&](std::int32_t position) {  // of code point `position` (from 1)
    return offsets[static_cast<std::size_t>(std::clamp<std::int32_t>(position, 1, static_cast<std::int32_t>(offsets.size())) - 1)];
  };

  const std::vector<ItemPiece> pieces = TopLevelItems(reading);
  // Room for them all at once: growing a list of items copies every item in it.
  p.Items.reserve(pieces.size() + 1);
  std::size_t done = 0;  // bytes of `text` already in the persona
  if (text.starts_with(CodePrefix)) {
    p.Prefix = std::string(CodePrefix);
    done = CodePrefix.size();
  }
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const ItemPiece& piece = pieces[k];
    std::size_t from = byteAt(piece.From);
    const std::size_t to = byteAt(piece.To + 1);
    const bool species = piece.From == 1 && !p.Prefix.empty();
    if (species) from = done;  // the species stands behind the prefix
    if (from < done || to <= from) continue;
    PersonaItem item;
    item.Lead = std::string(text.substr(done, from - done));
    const std::string_view written = text.substr(from, to - from);
    if (!piece.Message) {
      const TagRow* tag = species ? nullptr : TagOf(written);
      if (species || tag != nullptr) {
        item.Tag = tag;
        item.Choices = OpenChoices(tag, written.substr(species ? 0 : tag->Letters.size()));
        if (const std::string built = item.IsKept() ? std::string() : BuildItem(item); !item.IsKept() && built != written) {
          // Written another way than the builder would: it keeps its own spelling when
          // the reading, with what follows it up to the next item's end, is the same.
          const std::size_t next = k + 1 < pieces.size() ? byteAt(pieces[k + 1].To + 1) : text.size();
          const std::string_view after = text.substr(to, std::max(next, to) - to);
          if (ReadsTheSame(species ? "ZN2." : "ZN2. ", written, built, after)) item.Spelling = std::string(written);
          else item.Choices = std::monostate{};
        }
      }
    }
    if (item.IsKept()) {
      // What follows a kept item without a blank between is the rest of the same
      // mistake (the "x" of "Gx"): it stays one item.
      if (from == done && !p.Items.empty() && p.Items.back().IsKept() && !p.Items.back().Kept.ends_with(' ')) {
        p.Items.back().Kept += written;
        done = to;
        continue;
      }
      item.Tag = nullptr;
      item.Kept = std::string(written);
    }
    p.Items.push_back(std::move(item));
    done = to;
  }
  if (p.Prefix.empty() && !text.empty()) {
    // No code: the whole text is one kept item, so that items added to it follow it.
    PersonaItem whole;
    whole.Lead = std::string();
    whole.Kept = std::string(text);
    p.Items.push_back(std::move(whole));
    done = text.size();
  }
  p.Tail = std::string(text.substr(done));
  return p;
}

// --- vocabulary ---

bool RatingOffered(const TagRow& tag, std::int32_t rating) {
  if (!InTable(tag.Scale, rating)) return false;
  // A diet rating that is also a food letter ("~") reads as that food.
  const std::string_view key = tag.Scale[static_cast<std::size_t>(rating)].Key;
  return !(tag.Kind == TagKind::Diet && key.size() == 1 && FindRow(FoodTable, &FoodEntry::Letter, static_cast<char32_t>(key[0])));
}

PersonaItem NewItem(const TagRow* tag) {
  PersonaItem item;
  item.Tag = tag;
  item.Choices = ChoicesFor(tag);
  std::visit(
      [&](auto& c) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(c)>, std::monostate>) Start(tag, c);
      },
      item.Choices);
  return item;
}

Persona RandomPersona(std::mt19937& random) {
  Dice d(random);
  Persona p;
  const auto randomItem = [&](const TagRow* tag) {
    PersonaItem item = NewItem(tag);
    item.Choices = ChoicesFor(tag);
    std::visit(
        [&](auto& c) {
          if constexpr (!std::is_same_v<std::decay_t<decltype(c)>, std::monostate>) Random(d, tag, c);
        },
        item.Choices);
    p.Items.push_back(std::move(item));
  };
  randomItem(nullptr);
  // A few tags, each once, in a random order.
  std::vector<const TagRow*> tags;
  for (const TagRow& row : TagCatalogue) tags.push_back(&row);
  std::shuffle(tags.begin(), tags.end(), d.Engine());
  tags.resize(static_cast<std::size_t>(2 + d.Below(9)));
  for (const TagRow* tag : tags) randomItem(tag);
  return p;
}

// --- model operations ---

void InsertItem(Persona& p, std::size_t at, PersonaItem item) {
  at = std::min(at, p.Items.size());
  item.Lead.reset();
  p.Items.insert(p.Items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  OwnLeadIfEmpty(p, at + 1);
  if (p.Prefix.empty()) p.Prefix = std::string(CodePrefix);
}

void RemoveItem(Persona& p, std::size_t at) {
  if (at >= p.Items.size()) return;
  p.Items.erase(p.Items.begin() + static_cast<std::ptrdiff_t>(at));
  OwnLeadIfEmpty(p, at);
}

void MoveItem(Persona& p, std::size_t from, std::size_t to) {
  if (from >= p.Items.size() || to >= p.Items.size() || from == to) return;
  PersonaItem item = std::move(p.Items[from]);
  RemoveItem(p, from);
  InsertItem(p, to, std::move(item));
}

void ReplaceChoices(Persona& p, std::size_t at, ItemChoices choices) {
  if (at >= p.Items.size()) return;
  p.Items[at].Choices = std::move(choices);
  p.Items[at].Spelling.reset();
  OwnLeadIfEmpty(p, at + 1);
}


std::size_t AddItemBehind(Persona& p, const TagRow* tag, std::ptrdiff_t after) {
  const bool species = !p.Items.empty() && p.Items.front().IsSpecies();
  if (tag == nullptr) {
    if (!species) InsertItem(p, 0, NewItem(nullptr));
    return 0;
  }
  const auto at = std::clamp<std::size_t>(static_cast<std::size_t>(std::max<std::ptrdiff_t>(after, -1) + 1), species ? 1 : 0, p.Items.size());
  InsertItem(p, at, NewItem(tag));
  return at;
}

bool CanMoveItem(const Persona& p, std::size_t at, int step) {
  const std::size_t to = at + static_cast<std::size_t>(step);
  return (step == 1 || step == -1) && at < p.Items.size() && to < p.Items.size() && !p.Items[at].IsSpecies() &&
         !p.Items[to].IsSpecies();
}

std::size_t MoveItemBy(Persona& p, std::size_t at, int step) {
  if (!CanMoveItem(p, at, step)) return at;
  const std::size_t to = at + static_cast<std::size_t>(step);
  MoveItem(p, at, to);
  return to;
}

std::string ItemHint(const Persona& p, std::size_t at) {
  if (at >= p.Items.size()) return {};
  // A kept item counts by the tag its text starts with, as the reader dispatches it;
  // but a text right behind the prefix is read as the species whatever its letters.
  const auto tagOf = [&](std::size_t i) -> const TagRow* {
    const PersonaItem& item = p.Items[i];
    if (item.IsSpecies()) return nullptr;
    if (!item.IsKept()) return item.Tag;
    const bool species = i == 0 && !p.Prefix.empty() && item.Lead && item.Lead->empty();
    return species ? nullptr : TagOf(item.Kept);
  };
  const TagRow* tag = tagOf(at);
  if (tag == nullptr) return {};
  bool earlier = false;
  for (std::size_t i = 0; i < at && !earlier; ++i) earlier = tagOf(i) == tag;
  if (!earlier) return {};
  std::string title(tag->Title);
  for (char& c : title) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "a second " + title + " item: readers see both";
}

std::string_view ItemTitle(const PersonaItem& item) {
  if (item.IsSpecies()) return "Species";
  if (item.Tag != nullptr && !item.IsKept()) return item.Tag->Title;
  return "Kept as written";
}

}  // namespace zendric
