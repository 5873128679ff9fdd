// Colours: a chain of colours joined by patterns, what it changes to, and body parts of their own.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
std::string BuildColourChain(const std::vector<ColourLink>& chain) {
  std::string out;
  const std::size_t written = WrittenLinks(chain);
  for (std::size_t i = 0; i < written; ++i) {
    const ColourLink& link = chain[i];
    if (InTable(ColourTable, link.Colour)) out += ColourTable[static_cast<std::size_t>(link.Colour)].Code;
    for (char m : link.Modifiers)
      if (FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(m))) out += m;
    if (i + 1 < written) out += ColourCombiners[static_cast<std::size_t>(link.Combiner)].Key;
  }
  return out;
}

std::string BuildColour(const ColourChoices& c) {
  std::string out;
  for (std::size_t i = 0; i < c.Groups.size(); ++i) {
    const ColourGroup& g = c.Groups[i];
    if (i > 0) {
      out += ',';
      out += ColourBodyParts[static_cast<std::size_t>(InTable(ColourBodyParts, g.BodyPart) ? g.BodyPart : 0)].Letter;
    }
    out += BuildColourChain(g.Colour);
    if (!g.ChangesTo.empty()) out += '>' + BuildColourChain(g.ChangesTo);
  }
  return out;
}

std::optional<std::vector<ColourLink>> OpenColourChain(TextCursor& t) {
  std::vector<ColourLink> chain;
  for (;;) {
    ColourLink link;
    const std::string_view code = t.KeyUntil(ColourTerminators);
    link.Colour = RowIndex(ColourTable, FindRow(ColourTable, &ColourEntry::Code, code));
    if (link.Colour < 0) return std::nullopt;
    while (FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(t.Peek())) != nullptr && !t.AtEnd()) {
      link.Modifiers += t.Peek();
      t.Accept(t.Peek());
    }
    const std::int32_t combiner =
        t.AtEnd() ? -1 : RowIndex(ColourCombiners, FindRow(ColourCombiners, &ColourCombiner::Key, static_cast<char32_t>(t.Peek())));
    chain.push_back(std::move(link));
    if (combiner < 0) return chain;
    t.Accept(t.Peek());
    chain.back().Combiner = combiner;
  }
}

std::optional<ColourChoices> OpenColour(TextCursor& t) {
  ColourChoices c;
  for (std::int32_t part = -1;;) {
    ColourGroup g;
    g.BodyPart = part;
    auto colour = OpenColourChain(t);
    if (!colour) return std::nullopt;
    g.Colour = std::move(*colour);
    if (t.Accept('>')) {
      auto to = OpenColourChain(t);
      if (!to) return std::nullopt;
      g.ChangesTo = std::move(*to);
    }
    c.Groups.push_back(std::move(g));
    if (!t.Accept(',')) return c;
    part = RowIndex(ColourBodyParts, FindRow(ColourBodyParts, &ColourBodyPart::Letter, static_cast<char32_t>(t.Peek())));
    if (part < 0 || t.AtEnd()) return std::nullopt;
    t.Accept(t.Peek());
  }
}

std::vector<ColourLink> RandomChain(Dice& d, std::size_t most) {
  std::vector<ColourLink> chain(1 + static_cast<std::size_t>(d.Chance(0.35) ? d.Below(most) : 0));
  for (std::size_t i = 0; i < chain.size(); ++i) {
    ColourLink& link = chain[i];
    link.Colour = d.Row(ColourTable);
    for (std::int32_t m = d.Chance(0.3) ? 1 + d.Below(2) : 0; m > 0; --m)
      link.Modifiers += ColourModifiers[static_cast<std::size_t>(d.Row(ColourModifiers))].Key;
    if (i + 1 < chain.size()) link.Combiner = d.Row(ColourCombiners);
  }
  return chain;
}

// Modifier keys that shade a colour, in the order the text says them: the first its
// own word, every later one "very".
std::string ShadeText(std::string_view shades) {
  if (shades.empty()) return "no shade";
  std::string text;
  for (std::size_t i = 1; i < shades.size(); ++i) text += VeryWord;
  const ColourModifier* first = FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(shades.front()));
  return Plain(text + std::string(first ? first->Word : std::string_view()));
}

bool IsShade(char key) {
  const ColourModifier* row = FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(key));
  return row != nullptr && row->Shade;
}

void LinkFields(Form& f, std::vector<ColourLink>& chain, std::size_t k) {
  ColourLink& link = chain[k];
  if (const auto row = f.Rows("Colour", RowOptions(ColourTable, [](const ColourEntry& e) { return e.Name; }), link.Colour))
    link.Colour = *row;
  // The shade stands first, then the other words in the order they were ticked.
  std::string shades, others;
  for (char m : link.Modifiers) (IsShade(m) ? shades : others) += m;
  if (const auto v = f.Select("Shade", Spellings({"", "+", "++", "-", "--"}, shades, ShadeText), shades))
    link.Modifiers = std::string(*v) + others;
  for (const ColourModifier& m : ColourModifiers) {
    if (m.Shade) continue;
    if (const auto on = f.Check(Plain(m.Word), others.find(m.Key) != std::string::npos, HintTicks)) {
      std::erase(others, m.Key);
      if (*on) others += m.Key;
      link.Modifiers = shades + others;
    }
  }
  // A pattern joins the next colour: chosen on the last written one, it brings back
  // the colours that followed it before "no pattern" was chosen, or adds one.
  const bool last = k + 1 == WrittenLinks(chain);
  const bool behind = k + 1 < chain.size();
  std::vector<FormOption> patterns{{"-1", last ? "no pattern" : "no pattern (ends the colours here)", {}}};
  if (!last || behind || chain.size() < MostColourLinks) {
    for (std::size_t p = 0; p < ColourCombiners.size(); ++p) {
      const ColourJoin& join = ColourCombiners[p].Join;
      patterns.push_back({std::to_string(p), Plain(std::string(join.Before) + "…" + std::string(join.Between) + "…" + std::string(join.After)), {}});
    }
  }
  if (const auto combiner = f.Rows("Pattern with the next colour", std::move(patterns), last ? -1 : link.Combiner)) {
    link.Combiner = *combiner;
    if (*combiner >= 0 && !behind) chain.emplace_back();
  }
}

void ChainFields(Form& f, std::vector<ColourLink>& chain, const std::string& name, const std::string& key) {
  for (std::size_t k = 0; k < WrittenLinks(chain); ++k) {
    if (k > 0) f.Group(name + ", colour " + std::to_string(k + 1), key + ", colour " + std::to_string(k + 1));
    const std::size_t links = WrittenLinks(chain);
    LinkFields(f, chain, k);
    if (WrittenLinks(chain) != links) return;
  }
}

void ColourFields(Form& f, ColourChoices& c) {
  const auto partOptions = RowOptions(ColourBodyParts, [](const ColourBodyPart& p) { return Plain(p.Heading); });
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    ColourGroup& group = c.Groups[g];
    const std::string name =
        g == 0 ? std::string("My colour") : partOptions[static_cast<std::size_t>(std::clamp<std::int32_t>(group.BodyPart, 0, static_cast<std::int32_t>(partOptions.size()) - 1))].Text;
    // A body part's group is named by the part, but known by its place.
    const std::string key = g == 0 ? name : "Body part " + std::to_string(g);
    f.Group(name, key);
    if (g > 0) {
      if (const auto row = f.Rows("Body part", partOptions, group.BodyPart)) group.BodyPart = *row;
      if (f.Button("Remove this body part")) return EraseAt(c.Groups, g);
    }
    ChainFields(f, group.Colour, name, key);
    f.Group(name + ", changing to", key + ", changing to");
    if (const auto on = f.Check("changing to another colour", !group.ChangesTo.empty())) {
      group.ChangesTo.clear();
      if (*on) group.ChangesTo.emplace_back();
    }
    ChainFields(f, group.ChangesTo, name + ", changing to", key + ", changing to");
  }
  f.Group({});
  if (c.Groups.size() <= ColourBodyParts.size() && f.Button("Add a colour for a body part")) {
    ColourGroup group;
    // The first body part not given yet.
    for (group.BodyPart = 0; group.BodyPart + 1 < static_cast<std::int32_t>(ColourBodyParts.size()); ++group.BodyPart)
      if (std::none_of(c.Groups.begin(), c.Groups.end(), [&](const ColourGroup& g) { return g.BodyPart == group.BodyPart; })) break;
    group.Colour.emplace_back();
    c.Groups.push_back(std::move(group));
  }
}

}  // namespace

std::string Build(const TagRow*, const ColourChoices& c) { return BuildColour(c); }

std::optional<ColourChoices> Open(const TagRow*, TextCursor& t, const ColourChoices&) { return OpenColour(t); }

void Start(const TagRow*, ColourChoices& c) {
  ColourGroup whole;
  whole.Colour.emplace_back();
  c.Groups = {std::move(whole)};
}

void Random(Dice& d, const TagRow*, ColourChoices& c) {
  for (std::int32_t n = 1 + (d.Chance(0.4) ? d.Below(3) : 0), i = 0; i < n; ++i) {
    ColourGroup g;
    g.BodyPart = i == 0 ? -1 : d.Row(ColourBodyParts);
    g.Colour = RandomChain(d, 4);
    if (d.Chance(0.15)) g.ChangesTo = RandomChain(d, 2);
    c.Groups.push_back(std::move(g));
  }
}

void Fields(Form& f, const TagRow*, ColourChoices& c) { ColourFields(f, c); }

}  // namespace zendric::builder

namespace zendric {

std::size_t WrittenLinks(const std::vector<ColourLink>& chain) {
  for (std::size_t i = 0; i < chain.size(); ++i)
    if (!builder::InTable(ColourCombiners, chain[i].Combiner)) return i + 1;
  return chain.size();
}

}  // namespace zendric
