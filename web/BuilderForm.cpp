#include "BuilderForm.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <type_traits>
#include <utility>

#include "ZNParser.h"

namespace zendric {
namespace {

using Kind = FormField::Kind;

// Most entries a list of the form grows to: enough for any persona, few enough to read.
constexpr std::size_t MostParts = 8;
constexpr std::size_t MostColourLinks = 6;

// A reading text as a label: display-line breaks become blanks, none at either end.
std::string Plain(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '\r', ' ');
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::string Numbered(std::string_view name, std::size_t i, std::size_t count) {
  return count > 1 ? std::string(name) + " " + std::to_string(i + 1) : std::string(name);
}

std::optional<std::int32_t> ToInt(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A count as typed: digits only, at most nine of them.
std::optional<std::int32_t> Count(std::string_view text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return ToInt(text);
}

// A measurement as typed: digits, and at most one "." with digits on both sides.
bool Decimal(std::string_view text) {
  const auto digits = [](std::string_view d) {
    return !d.empty() && d.size() <= 12 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::size_t dot = text.find('.');
  return dot == std::string_view::npos ? digits(text) : digits(text.substr(0, dot)) && digits(text.substr(dot + 1));
}

// A free text without line breaks and other control characters, which a one-line code
// cannot hold, and without the characters that would end it early.
std::string Clean(std::string_view text, std::string_view forbidden) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && forbidden.find(c) == std::string_view::npos) out += c;
  return out;
}

template <typename Vector>
void EraseAt(Vector& v, std::size_t i) {
  if (i < v.size()) v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
}

// The fields of an item, described by one walk over its choices. The same walk sets
// a value: the field numbered `target` hands the value to the code that added it, which
// changes the choices there; fields added after it change nothing.
class Form {
 public:
  Form() = default;
  Form(std::size_t target, std::string_view value) : target_(target), value_(value) {}

  std::vector<FormField> Fields;
  bool Taken = false;  // the value was given to its field

  // The fields from here on belong to a new group.
  void Group(std::string name) { group_ = std::move(name); }

  // Each field returns the value given to it, when it is the field set and takes it.
  std::optional<std::string_view> Select(std::string label, std::vector<FormOption> options, std::string value) {
    const bool offered = std::any_of(options.begin(), options.end(), [&](const FormOption& o) { return o.Value == value_; });
    Add(Kind::Select, std::move(label), std::move(options), std::move(value));
    return Take(offered);
  }
  // A choice of one table row, the row's index as the value.
  std::optional<std::int32_t> Rows(std::string label, std::vector<FormOption> options, std::int32_t row) {
    const auto v = Select(std::move(label), std::move(options), std::to_string(row));
    return v ? ToInt(*v) : std::nullopt;
  }
  std::optional<std::string_view> Number(std::string label, std::string value, bool valid) {
    Add(Kind::Number, std::move(label), {}, std::move(value));
    return Take(valid);
  }
  std::optional<std::string_view> Text(std::string label, std::string value) {
    Add(Kind::Text, std::move(label), {}, std::move(value));
    return Take(true);
  }
  std::optional<bool> Check(std::string label, bool on) {
    Add(Kind::Check, std::move(label), {}, on ? "1" : "0");
    const auto v = Take(value_ == "1" || value_ == "0");
    return v ? std::optional<bool>(*v == "1") : std::nullopt;
  }
  bool Button(std::string label) {
    Add(Kind::Button, std::move(label), {}, {});
    return Take(true).has_value();
  }
  void Note(std::string label, std::string text) { Add(Kind::Note, std::move(label), {}, std::move(text)); }

  // The value given, to check before describing the field (a number's validity).
  std::string_view Value() const { return value_; }

 private:
  void Add(Kind kind, std::string label, std::vector<FormOption> options, std::string value) {
    Fields.push_back({kind, group_, std::move(label), std::move(options), std::move(value)});
  }
  std::optional<std::string_view> Take(bool acceptable) {
    if (Taken || target_ + 1 != Fields.size() || !acceptable) return std::nullopt;
    Taken = true;
    return value_;
  }

  std::size_t target_ = static_cast<std::size_t>(-1);
  std::string_view value_;
  std::string group_;
};

// --- vocabulary as options ---

std::vector<FormOption> RatingOptions(const TagRow& tag) {
  std::vector<FormOption> out;
  for (std::size_t i = 0; i < tag.Scale.size(); ++i)
    if (RatingOffered(tag, static_cast<std::int32_t>(i))) out.push_back({std::to_string(i), Plain(tag.Scale[i].Text), {}});
  return out;
}

// The row the readers call normal: the empty key.
std::int32_t NormalRating(const TagRow& tag) {
  const ScaleEntry* row = FindRow(tag.Scale, &ScaleEntry::Key, std::string_view());
  return row == nullptr ? 0 : static_cast<std::int32_t>(row - tag.Scale.data());
}

template <typename Table, typename Text>
std::vector<FormOption> RowOptions(const Table& table, Text text) {
  std::vector<FormOption> out;
  for (std::size_t i = 0; i < std::size(table); ++i) out.push_back({std::to_string(i), std::string(text(table[i])), {}});
  return out;
}

// Every node of the tree under its category, nodes below the category's children
// indented.
const std::vector<FormOption>& SpeciesOptions() {
  static const std::vector<FormOption> options = [] {
    std::vector<FormOption> out;
    std::string category;
    for (std::int32_t node : SpeciesNodes()) {
      const std::string code = SpeciesNodeCode(node);
      if (code.size() == 1) category = std::string(SpeciesNodeName(node));
      std::string text;
      for (std::size_t depth = 2; depth < code.size(); ++depth) text += "\u00a0\u00a0\u00a0";
      text += SpeciesNodeName(node);
      out.push_back({std::to_string(node), std::move(text), category});
    }
    return out;
  }();
  return options;
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

// Breath shapes wrap what stands before them: the last one is said first.
std::string ShapeText(std::string_view shapes) {
  if (shapes.empty()) return "as it is";
  std::string text;
  for (auto shape = shapes.rbegin(); shape != shapes.rend(); ++shape) text += *shape == '|' ? "beams of " : "clouds of ";
  return Plain(text);
}

// A select of spellings, with the one chosen offered even when it is none of the usual.
std::vector<FormOption> Spellings(std::vector<std::string_view> usual, std::string_view chosen,
                                  std::string (*text)(std::string_view)) {
  if (std::find(usual.begin(), usual.end(), chosen) == usual.end()) usual.push_back(chosen);
  std::vector<FormOption> out;
  for (std::string_view s : usual) out.push_back({std::string(s), text(s), {}});
  return out;
}

// --- the species ---
// A value that changes the length of a list returns at once: the walk goes on over
// the new choices, but no reference into the list may outlive the change.

void PartFields(Form& f, SpeciesPart& part) {
  if (const auto node = f.Rows("Species", SpeciesOptions(), part.Node)) {
    part.Node = *node;
    // Only a node with kinds below it has an unknown kind or an own name.
    if (!SpeciesNodeHasChildren(part.Node)) part.Shape = SpeciesPart::Form::Node;
  }
  if (SpeciesNodeHasChildren(part.Node)) {
    const std::string name(SpeciesNodeName(part.Node));
    if (const auto shape = f.Rows("Which one", {{"0", name, {}}, {"1", "Unknown " + name, {}}, {"2", "a name of my own (" + name + ")", {}}},
                                  static_cast<std::int32_t>(part.Shape)))
      part.Shape = static_cast<SpeciesPart::Form>(*shape);
  }
  if (part.Shape == SpeciesPart::Form::OwnName) {
    if (const auto text = f.Text("My own name", part.Name)) {
      part.Name.clear();
      for (char c : *text)
        if (OwnNameAllows(static_cast<unsigned char>(c))) part.Name += c;
    }
  }
  if (const auto on = f.Check("who changes shape occasionally", part.ChangesShape)) part.ChangesShape = *on;
}

void PartList(Form& f, std::vector<SpeciesPart>& parts, std::string_view name, std::string add) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    f.Group(Numbered(name, i, parts.size()));
    PartFields(f, parts[i]);
    if (parts.size() > 1 && f.Button("Remove " + Numbered(name, i, parts.size()))) return EraseAt(parts, i);
  }
  f.Group({});
  if (parts.size() < MostParts && f.Button(std::move(add))) parts.emplace_back();
}

void SpeciesFields(Form& f, SpeciesChoices& c) {
  using Whole = SpeciesChoices::Whole;
  using Relation = SpeciesChoices::Relation;
  f.Group("What I am");
  if (const auto kind = f.Rows("What I am", {{"0", "a species, or a mix of species", {}}, {"1", "a shapechanger", {}}, {"2", "I don't know what I am", {}}},
                               static_cast<std::int32_t>(c.Kind))) {
    c.Kind = static_cast<Whole>(*kind);
    if (c.Kind != Whole::Mix) c.Other = Relation::None, c.OtherMembers.clear();
    if (c.Kind != Whole::DontKnow && c.Members.empty()) c.Members.emplace_back();
  }
  if (c.Kind == Whole::DontKnow) return;
  if (c.Kind == Whole::Shapechanger) return PartList(f, c.Members, "Form", "Add a form");
  PartList(f, c.Members, "Species", "Add a species to the mix");
  f.Group("And");
  if (const auto other = f.Rows("And", {{"0", "nothing more", {}}, {"1", "who looks like", {}}, {"2", "trapped in the body of", {}}},
                                static_cast<std::int32_t>(c.Other))) {
    c.Other = static_cast<Relation>(*other);
    if (c.Other == Relation::None) c.OtherMembers.clear();
    else if (c.OtherMembers.empty()) c.OtherMembers.emplace_back();
  }
  if (c.Other == Relation::LooksLike) PartList(f, c.OtherMembers, "Looks like", "Add a species it looks like");
  if (c.Other == Relation::TrappedIn) PartList(f, c.OtherMembers, "Trapped in", "Add a species it is trapped in");
}

// --- tags ---

void RatedFields(Form& f, const TagRow& tag, RatedChoices& c) {
  if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), c.Rating)) c.Rating = *row;
  if (tag.Kind == TagKind::Fruitiness) {
    if (const auto on = f.Check(Plain(FruitinessJoinedText), c.Joined)) c.Joined = *on;
    if (const auto on = f.Check(Plain(FruitinessFlamedText), c.Flamed)) c.Flamed = *on;
  }
  if (tag.Kind == TagKind::Irritability)
    if (const auto on = f.Check(Plain(BarbequeText), c.Barbeque)) c.Barbeque = *on;
  if (tag.Kind == TagKind::Specialist) {
    if (const auto text = f.Text("My specialist field (none when empty)", c.Field.value_or(""))) {
      std::string field = Clean(*text, "]");
      if (field.empty()) c.Field.reset();
      else c.Field = std::move(field);
    }
  }
}

void EntryFields(Form& f, const TagRow& tag, SplitChoices& c, std::size_t i) {
  SplitEntry& e = c.Entries[i];
  using Life = SplitEntry::Life;
  std::vector<FormOption> lives;
  if (c.Entries.size() == 1) lives.push_back({"0", "real and virtual life alike", {}});
  lives.push_back({"1", Plain(tag.RealLife), {}});
  lives.push_back({"2", Plain(tag.Virtual), {}});
  if (const auto life = f.Rows("For", std::move(lives), static_cast<std::int32_t>(e.Of))) e.Of = static_cast<Life>(*life);

  const std::string title(tag.Title);
  if (tag.ReadEntry == ReadOffspringEntry) {
    std::vector<FormOption> options = RatingOptions(tag);
    options.push_back({"+", "I have … hatchlings that are still home.", {}});
    options.push_back({"-", "I have … hatchlings that have flown the coop.", {}});
    const bool counted = e.CountSign == '+' || e.CountSign == '-';
    if (const auto v = f.Select(title, std::move(options), counted ? std::string(1, e.CountSign) : std::to_string(e.Rating))) {
      if (*v == "+" || *v == "-") e.CountSign = v->front();
      else e.CountSign = '\0', e.Rating = *ToInt(*v);
    }
    if (counted)
      if (f.Number("How many hatchlings", std::to_string(e.Count), Count(f.Value()).has_value())) e.Count = *Count(f.Value());
    if (const auto on = f.Check("My hatchlings are adopted.", e.Adopted)) e.Adopted = *on;
    return;
  }
  if (const auto row = f.Rows(title, RatingOptions(tag), e.Rating)) e.Rating = *row;
  if (tag.ReadEntry != ReadMatingEntry) return;
  const auto rating = static_cast<std::size_t>(std::clamp<std::int32_t>(e.Rating, 0, static_cast<std::int32_t>(tag.Scale.size()) - 1));
  // Counts and deaths follow plusses only.
  if (tag.Scale[rating].Key.starts_with('+')) {
    if (f.Number("How many mates (0: not said)", std::to_string(e.Mates), Count(f.Value()).has_value())) e.Mates = *Count(f.Value());
    if (const auto on = f.Check("My mate is dead", e.MateDead)) e.MateDead = *on;
  }
  const bool conspiracy = e.Conspiracy == 'x' || e.Conspiracy == 'y';
  if (const auto v = f.Select("Conspiracy",
                              {{"", "none", {}}, {"x", "I'm a member of the XX conspiracy!", {}}, {"y", "I'm a member of the XY conspiracy!", {}}},
                              conspiracy ? std::string(1, e.Conspiracy) : std::string()))
    e.Conspiracy = v->empty() ? '\0' : v->front();
}

void SplitFields(Form& f, const TagRow& tag, SplitChoices& c) {
  for (std::size_t i = 0; i < c.Entries.size(); ++i) {
    f.Group(c.Entries.size() > 1 ? Numbered("Entry", i, c.Entries.size()) : std::string());
    EntryFields(f, tag, c, i);
    if (c.Entries.size() > 1 && f.Button("Remove " + Numbered("entry", i, c.Entries.size()))) return EraseAt(c.Entries, i);
  }
  f.Group({});
  if (c.Entries.size() < 4 && f.Button("Add an entry for another life")) {
    using Life = SplitEntry::Life;
    // Entries of a group are told apart by their lives.
    if (c.Entries.size() == 1 && c.Entries[0].Of == Life::Both) c.Entries[0].Of = Life::Real;
    SplitEntry next;
    next.Of = c.Entries.empty() || c.Entries.back().Of == Life::Virtual ? Life::Real : Life::Virtual;
    c.Entries.push_back(next);
  }
}

void GenderFields(Form& f, GenderChoices& c) {
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    GenderPart& part = c.Parts[i];
    const std::string name = c.Parts.size() > 1 ? Numbered("Gender", i, c.Parts.size()) : std::string();
    f.Group(name);
    if (i > 0)
      if (const auto v = f.Select("Then", {{"/", "but mentally I'm", {}}, {">", "changing into", {}}}, part.Join == '>' ? ">" : "/"))
        part.Join = v->front();
    std::vector<FormOption> options = RowOptions(GenderLetters, [](const GenderRow& row) { return row.Phrase; });
    options.push_back({"own", "a description of my own", {}});
    options.push_back({"variable", "variable", {}});
    const std::string value = part.Shape == GenderPart::Form::Free       ? "own"
                              : part.Shape == GenderPart::Form::Variable ? "variable"
                                                                          : std::to_string(part.Letter);
    if (const auto v = f.Select("I'm", std::move(options), value)) {
      if (*v == "own") part.Shape = GenderPart::Form::Free;
      else if (*v == "variable") part.Shape = GenderPart::Form::Variable;
      else part.Shape = GenderPart::Form::Letter, part.Letter = *ToInt(*v);
    }
    if (part.Shape == GenderPart::Form::Free)
      if (const auto text = f.Text("My own description", part.Text)) part.Text = Clean(*text, "\"");
    if (part.Shape == GenderPart::Form::Variable) {
      f.Group(name.empty() ? std::string("Variable between") : name + ": variable between");
      for (std::size_t row = 0; row < GenderLetters.size(); ++row) {
        const auto r = static_cast<std::int32_t>(row);
        const bool among = std::find(part.Among.begin(), part.Among.end(), r) != part.Among.end();
        if (const auto on = f.Check(std::string(GenderLetters[row].Phrase), among)) {
          std::erase(part.Among, r);
          if (*on) part.Among.push_back(r);
        }
      }
    }
    if (c.Parts.size() > 1 && f.Button("Remove " + Numbered("gender", i, c.Parts.size()))) return EraseAt(c.Parts, i);
  }
  f.Group({});
  if (c.Parts.size() < 4 && f.Button("Add a gender")) c.Parts.emplace_back();
}

void MeasureFields(Form& f, const TagRow& tag, MeasureChoices& c) {
  if (const auto v = f.Select("Given as", {{"size", "a size", {}}, {"number", "a number with a unit", {}}}, c.Rating ? "size" : "number")) {
    if (*v == "number") c.Rating.reset();
    else if (!c.Rating) c.Rating = NormalRating(tag);
  }
  if (c.Rating) {
    if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), *c.Rating)) c.Rating = *row;
    return;
  }
  if (const auto v = f.Number("Number", c.Number, Decimal(f.Value()))) c.Number = std::string(*v);
  if (const auto row = f.Rows("Unit", RowOptions(tag.Units, [](const UnitRow& u) { return u.Word; }), c.Unit)) c.Unit = *row;
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    MeasureChoices::Part& part = c.Parts[i];
    f.Group(Numbered("Body part", i, c.Parts.size()));
    if (const auto v = f.Number("Number", part.Number, Decimal(f.Value()))) part.Number = std::string(*v);
    const auto parts = RowOptions(tag.BodyParts, [](const BodyPartRow& b) { return Plain(std::string(b.Before) + "…" + std::string(b.After)); });
    if (const auto row = f.Rows("Body part", parts, part.Row)) part.Row = *row;
    if (f.Button("Remove " + Numbered("body part", i, c.Parts.size()))) return EraseAt(c.Parts, i);
  }
  f.Group({});
  if (!tag.BodyParts.empty() && c.Parts.size() < tag.BodyParts.size() && f.Button("Add a body part")) c.Parts.push_back({"1", 0});
}

void LinkFields(Form& f, std::vector<ColourLink>& chain, std::size_t k) {
  ColourLink& link = chain[k];
  if (const auto row = f.Rows("Colour", RowOptions(ColourTable, [](const ColourEntry& e) { return e.Name; }), link.Colour))
    link.Colour = *row;
  std::string shades;
  for (char m : link.Modifiers)
    if (IsShade(m)) shades += m;
  if (const auto v = f.Select("Shade", Spellings({"", "+", "++", "-", "--"}, shades, ShadeText), shades)) {
    std::erase_if(link.Modifiers, IsShade);
    link.Modifiers += *v;
  }
  for (const ColourModifier& m : ColourModifiers) {
    if (m.Shade) continue;
    if (const auto on = f.Check(Plain(m.Word), link.Modifiers.find(m.Key) != std::string::npos)) {
      std::erase(link.Modifiers, m.Key);
      if (*on) link.Modifiers.insert(link.Modifiers.begin(), m.Key);
    }
  }
  // A pattern joins the next colour: chosen on the last, it adds one.
  const bool last = k + 1 == chain.size();
  std::vector<FormOption> patterns{{"-1", last ? "no pattern" : "no pattern (ends the colours here)", {}}};
  if (!last || chain.size() < MostColourLinks) {
    for (std::size_t p = 0; p < ColourCombiners.size(); ++p) {
      const ColourJoin& join = ColourCombiners[p].Join;
      patterns.push_back({std::to_string(p), Plain(std::string(join.Before) + "…" + std::string(join.Between) + "…" + std::string(join.After)), {}});
    }
  }
  if (const auto combiner = f.Rows("Pattern with the next colour", std::move(patterns), last ? -1 : std::max(link.Combiner, 0))) {
    link.Combiner = *combiner;
    if (*combiner < 0) chain.resize(k + 1);
    else if (last) chain.emplace_back();
  }
}

void ChainFields(Form& f, std::vector<ColourLink>& chain, const std::string& name) {
  for (std::size_t k = 0; k < chain.size(); ++k) {
    if (k > 0) f.Group(name + ", colour " + std::to_string(k + 1));
    const std::size_t links = chain.size();
    LinkFields(f, chain, k);
    if (chain.size() != links) return;
  }
}

void ColourFields(Form& f, ColourChoices& c) {
  const auto partOptions = RowOptions(ColourBodyParts, [](const ColourBodyPart& p) { return Plain(p.Heading); });
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    ColourGroup& group = c.Groups[g];
    const std::string name =
        g == 0 ? std::string("My colour") : partOptions[static_cast<std::size_t>(std::clamp<std::int32_t>(group.BodyPart, 0, static_cast<std::int32_t>(partOptions.size()) - 1))].Text;
    f.Group(name);
    if (g > 0) {
      if (const auto row = f.Rows("Body part", partOptions, group.BodyPart)) group.BodyPart = *row;
      if (f.Button("Remove this body part")) return EraseAt(c.Groups, g);
    }
    ChainFields(f, group.Colour, name);
    f.Group(name + ", changing to");
    if (const auto on = f.Check("changing to another colour", !group.ChangesTo.empty())) {
      group.ChangesTo.clear();
      if (*on) group.ChangesTo.emplace_back();
    }
    ChainFields(f, group.ChangesTo, name + ", changing to");
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

void BreathFields(Form& f, BreathChoices& c) {
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    BreathPart& w = c.Weapons[i];
    f.Group(Numbered("Breath weapon", i, c.Weapons.size()));
    std::vector<FormOption> options = RowOptions(BreathWeapons, [](const BreathWeapon& b) { return b.Name; });
    options.push_back({"-1", "a name of my own", {}});
    if (const auto row = f.Rows("I breathe", std::move(options), std::clamp<std::int32_t>(w.Weapon, -1, static_cast<std::int32_t>(BreathWeapons.size()) - 1)))
      w.Weapon = *row;
    if (w.Weapon < 0)
      if (const auto text = f.Text("My own name", w.Name)) w.Name = Clean(*text, "\"");
    if (const auto text = f.Text("A word in front (none when empty)", w.Adjective)) w.Adjective = Clean(*text, "\"");
    if (const auto v = f.Select("Shape", Spellings({"", "|", "#", "|#", "#|"}, w.Shapes, ShapeText), w.Shapes)) w.Shapes = std::string(*v);
    if (c.Weapons.size() > 1 && f.Button("Remove " + Numbered("breath weapon", i, c.Weapons.size()))) return EraseAt(c.Weapons, i);
  }
  f.Group({});
  if (c.Weapons.size() < MostParts && f.Button("Add another breath weapon")) c.Weapons.emplace_back();
}

void DietFields(Form& f, const TagRow& tag, DietChoices& c) {
  if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), c.Rating)) c.Rating = *row;
  f.Group("What I eat");
  for (std::size_t row = 0; row < FoodTable.size(); ++row) {
    const FoodEntry& food = FoodTable[row];
    const auto r = static_cast<std::int32_t>(row);
    const auto has = [r](const DietChoices::Food& e) { return e.Row == r; };
    const auto chosen = std::find_if(c.Foods.begin(), c.Foods.end(), has);
    const bool any = chosen != c.Foods.end() && chosen->Any;
    if (const auto on = f.Check("I " + std::string(food.Verb) + std::string(food.Food), chosen != c.Foods.end())) {
      std::erase_if(c.Foods, has);
      if (*on) c.Foods.push_back({r, false});
      return;
    }
    // "~" behind a food letter: any of it; the "~" food itself takes none.
    if (chosen != c.Foods.end() && food.Letter != U'~') {
      if (const auto on = f.Check("I " + std::string(food.Verb) + "any " + std::string(food.Food), any))
        for (DietChoices::Food& e : c.Foods)
          if (has(e)) e.Any = *on;
    }
  }
}

void AppendageFields(Form& f, AppendageChoices& c) {
  using Says = AppendageChoices::Entry::Count;
  for (std::size_t i = 0; i < c.Entries.size(); ++i) {
    AppendageChoices::Entry& e = c.Entries[i];
    f.Group(Numbered("Appendage", i, c.Entries.size()));
    if (const auto row = f.Rows("Appendage", RowOptions(Appendages, [](const AppendageRow& a) { return a.Noun; }), e.Row)) e.Row = *row;
    const std::string usual = Plain(Appendages[static_cast<std::size_t>(std::clamp<std::int32_t>(e.Row, 0, static_cast<std::int32_t>(Appendages.size()) - 1))].DefaultPhrase);
    if (const auto says = f.Rows("How many", {{"0", usual, {}}, {"1", "many", {}}, {"2", "a variable amount of", {}}, {"3", "a number", {}}},
                                 static_cast<std::int32_t>(e.Says)))
      e.Says = static_cast<Says>(*says);
    if (e.Says == Says::Number)
      if (f.Number("Number", std::to_string(e.Number), Count(f.Value()).has_value())) e.Number = *Count(f.Value());
    if (const auto on = f.Check("webbed", e.Webbed)) e.Webbed = *on;
    if (f.Button("Remove " + Numbered("appendage", i, c.Entries.size()))) return EraseAt(c.Entries, i);
  }
  f.Group({});
  if (c.Entries.size() < 2 * Appendages.size() && f.Button("Add an appendage")) c.Entries.emplace_back();
}

void SkinTypeChecks(Form& f, std::vector<std::int32_t>& types) {
  for (std::size_t row = 0; row < SkinTypes.size(); ++row) {
    const auto r = static_cast<std::int32_t>(row);
    if (const auto on = f.Check(std::string(SkinTypes[row].Word), std::find(types.begin(), types.end(), r) != types.end())) {
      std::erase(types, r);
      if (*on) types.push_back(r);
    }
  }
}

void SkinFields(Form& f, SkinChoices& c) {
  f.Group("I have");
  SkinTypeChecks(f, c.Types);
  const auto partOptions = RowOptions(SkinBodyParts, [](const SkinBodyPart& p) { return Plain(p.Opener); });
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    SkinChoices::Group& group = c.Groups[g];
    f.Group(partOptions[static_cast<std::size_t>(std::clamp<std::int32_t>(group.Part, 0, static_cast<std::int32_t>(partOptions.size()) - 1))].Text);
    if (const auto row = f.Rows("Body part", partOptions, group.Part)) group.Part = *row;
    SkinTypeChecks(f, group.Types);
    if (f.Button("Remove this body part")) return EraseAt(c.Groups, g);
  }
  f.Group({});
  if (c.Groups.size() < SkinBodyParts.size() && f.Button("Add a body part")) {
    SkinChoices::Group group;
    for (; group.Part + 1 < static_cast<std::int32_t>(SkinBodyParts.size()); ++group.Part)
      if (std::none_of(c.Groups.begin(), c.Groups.end(), [&](const SkinChoices::Group& g) { return g.Part == group.Part; })) break;
    group.Types.push_back(0);
    c.Groups.push_back(std::move(group));
  }
}

// An item kept as written: its text, and what reading it alone says.
void KeptFields(Form& f, const PersonaItem& item) {
  f.Note("As written", item.Kept);
  const ParseResult reading = ParseCode("ZN2. " + item.Kept);
  std::string messages;
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) messages += std::string(reading.Message(i)) + "\n";
  if (!messages.empty()) messages.pop_back();
  f.Note("Read alone", messages.empty() ? "No message: the builder writes this item another way, so it stays as written." : messages);
}

void Fill(Form& f, PersonaItem& item) {
  const TagRow* tag = item.Tag;
  std::visit(
      [&](auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, std::monostate>) KeptFields(f, item);
        else if constexpr (std::is_same_v<C, SpeciesChoices>) SpeciesFields(f, c);
        else if (tag == nullptr) return;
        else if constexpr (std::is_same_v<C, RatedChoices>) RatedFields(f, *tag, c);
        else if constexpr (std::is_same_v<C, SplitChoices>) SplitFields(f, *tag, c);
        else if constexpr (std::is_same_v<C, GenderChoices>) GenderFields(f, c);
        else if constexpr (std::is_same_v<C, MeasureChoices>) MeasureFields(f, *tag, c);
        else if constexpr (std::is_same_v<C, ColourChoices>) ColourFields(f, c);
        else if constexpr (std::is_same_v<C, BreathChoices>) BreathFields(f, c);
        else if constexpr (std::is_same_v<C, DietChoices>) DietFields(f, *tag, c);
        else if constexpr (std::is_same_v<C, AppendageChoices>) AppendageFields(f, c);
        else SkinFields(f, c);
      },
      item.Choices);
}

}  // namespace

std::string_view KindName(FormField::Kind kind) {
  switch (kind) {
    case Kind::Select: return "select";
    case Kind::Number: return "number";
    case Kind::Text: return "text";
    case Kind::Check: return "check";
    case Kind::Button: return "button";
    case Kind::Note: return "note";
  }
  return "note";
}

std::vector<FormField> DescribeItem(const PersonaItem& item) {
  PersonaItem copy = item;
  Form f;
  Fill(f, copy);
  return std::move(f.Fields);
}

bool SetField(Persona& p, std::size_t at, std::size_t field, std::string_view value) {
  if (at >= p.Items.size()) return false;
  PersonaItem item = p.Items[at];
  Form f(field, value);
  Fill(f, item);
  if (!f.Taken) return false;
  ReplaceChoices(p, at, std::move(item.Choices));
  return true;
}

}  // namespace zendric
