// The species behind "ZN2.": a node of the tree, an unknown kind or an own name, a mix,
// a shapechanger's forms, what it looks like or is trapped in.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {

// --- the species tree ---

struct TreeIndex {
  std::vector<std::int32_t> Nodes;
  std::vector<std::string> Codes;  // by position - 1
};

const TreeIndex& Tree() {
  static const TreeIndex index = [] {
    TreeIndex t;
    t.Codes.resize(SpeciesTree.size());
    std::string path;
    for (std::size_t i = 0; i < SpeciesTree.size(); ++i) {
      const char c = SpeciesTree[i];
      if (c == '(') continue;
      if (c == ')') {
        path.pop_back();
        continue;
      }
      const bool children = i + 1 < SpeciesTree.size() && SpeciesTree[i + 1] == '(';
      t.Codes[i] = path + c;
      // "?" after a node names its unknown kind, so the "?" node itself cannot be named.
      if (c != '?') t.Nodes.push_back(static_cast<std::int32_t>(i + 1));
      if (children) path += c;
    }
    return t;
  }();
  return index;
}

std::string PartCode(const SpeciesPart& part) {
  std::string code = SpeciesNodeCode(part.Node);
  if (part.Shape == SpeciesPart::Form::Unknown) code += '?';
  if (part.Shape == SpeciesPart::Form::OwnName) code += Enclose('"', CleanOwnName(part.Name), '"');
  if (part.ChangesShape) code += '~';
  return code;
}

std::string JoinParts(const std::vector<SpeciesPart>& parts, char between) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += between;
    out += PartCode(parts[i]);
  }
  return out;
}

std::string BuildSpecies(const SpeciesChoices& c) {
  switch (c.Kind) {
    case SpeciesChoices::Whole::DontKnow:
      return "?";
    case SpeciesChoices::Whole::Shapechanger:
      return JoinParts(c.Members, '/').insert(0, 1, '~');
    case SpeciesChoices::Whole::Mix:
      break;
  }
  std::string out = JoinParts(c.Members, '+');
  if (c.Other == SpeciesChoices::Relation::None) return out;
  out += c.Other == SpeciesChoices::Relation::LooksLike ? '^' : '[';
  out += JoinParts(c.OtherMembers, '+');
  if (c.Other == SpeciesChoices::Relation::TrappedIn) out += ']';
  return out;
}

std::optional<SpeciesPart> OpenPart(TextCursor& t, std::string_view stops) {
  // The longest path of tree letters that names a node.
  std::string code;
  while (!t.AtEnd() && stops.find(t.Peek()) == std::string_view::npos && t.Peek() != '"' && t.Peek() != '?' &&
         t.Peek() != '~' && (code.empty() || !IsTagLetter(static_cast<unsigned char>(t.Peek()))))
    code += t.Peek(), t.Accept(t.Peek());
  const auto& codes = Tree().Codes;
  const auto node = std::find(codes.begin(), codes.end(), code);
  if (code.empty() || node == codes.end()) return std::nullopt;
  SpeciesPart part;
  part.Node = static_cast<std::int32_t>(node - codes.begin()) + 1;
  if (t.Accept('?')) {
    part.Shape = SpeciesPart::Form::Unknown;
  } else if (t.Accept('"')) {
    part.Shape = SpeciesPart::Form::OwnName;
    if (!t.Enclosed('"', part.Name)) return std::nullopt;
  }
  part.ChangesShape = t.Accept('~');
  return part;
}

std::optional<std::vector<SpeciesPart>> OpenParts(TextCursor& t, char between, std::string_view stops) {
  std::vector<SpeciesPart> parts;
  do {
    auto part = OpenPart(t, stops);
    if (!part) return std::nullopt;
    parts.push_back(std::move(*part));
  } while (t.Accept(between));
  return parts;
}

std::optional<SpeciesChoices> OpenSpecies(TextCursor& t) {
  SpeciesChoices c;
  if (t.Accept('?')) {
    c.Kind = SpeciesChoices::Whole::DontKnow;
    return c;
  }
  if (t.Accept('~')) {
    c.Kind = SpeciesChoices::Whole::Shapechanger;
    if (t.AtEnd()) return c;
    auto forms = OpenParts(t, '/', "/");
    if (!forms) return std::nullopt;
    c.Members = std::move(*forms);
    return c;
  }
  auto members = OpenParts(t, '+', "+[^");
  if (!members) return std::nullopt;
  c.Members = std::move(*members);
  const bool looks = t.Accept('^');
  const bool trapped = !looks && t.Accept('[');
  if (looks || trapped) {
    c.Other = looks ? SpeciesChoices::Relation::LooksLike : SpeciesChoices::Relation::TrappedIn;
    auto other = OpenParts(t, '+', "+[^]");
    if (!other || (trapped && !t.Accept(']'))) return std::nullopt;
    c.OtherMembers = std::move(*other);
  }
  return c;
}

SpeciesPart RandomPart(Dice& d) {
  SpeciesPart part;
  const auto& nodes = SpeciesNodes();
  part.Node = nodes[static_cast<std::size_t>(d.Below(nodes.size()))];
  if (SpeciesNodeHasChildren(part.Node)) {
    if (d.Chance(0.15)) part.Shape = SpeciesPart::Form::Unknown;
    else if (d.Chance(0.12)) part.Shape = SpeciesPart::Form::OwnName, part.Name = d.Word();
  }
  part.ChangesShape = d.Chance(0.1);
  return part;
}

std::vector<SpeciesPart> RandomParts(Dice& d, std::size_t most) {
  std::vector<SpeciesPart> parts(1 + static_cast<std::size_t>(d.Chance(0.3) ? d.Below(most) : 0));
  for (SpeciesPart& part : parts) part = RandomPart(d);
  return parts;
}

SpeciesChoices RandomSpecies(Dice& d) {
  SpeciesChoices c;
  if (d.Chance(0.05)) {
    c.Kind = SpeciesChoices::Whole::DontKnow;
  } else if (d.Chance(0.12)) {
    c.Kind = SpeciesChoices::Whole::Shapechanger;
    c.Members = RandomParts(d, 3);
  } else {
    c.Members = RandomParts(d, 3);
    if (d.Chance(0.2)) {
      c.Other = d.Chance(0.5) ? SpeciesChoices::Relation::LooksLike : SpeciesChoices::Relation::TrappedIn;
      c.OtherMembers = RandomParts(d, 2);
    }
  }
  return c;
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
      out.push_back({std::to_string(node), std::string(SpeciesNodeName(node)), category, static_cast<std::int32_t>(code.size()) - 1});
    }
    return out;
  }();
  return options;
}

// --- the species ---
// A value that changes the length of a list returns at once: the walk goes on over
// the new choices, but no reference into the list may outlive the change.

void PartFields(Form& f, SpeciesPart& part) {
  if (const auto node = f.Rows("Species", SpeciesOptions(), part.Node, HintTree | HintSearch)) {
    part.Node = *node;
    // Only a node with kinds below it has an unknown kind or an own name.
    if (!SpeciesNodeHasChildren(part.Node)) part.Shape = SpeciesPart::Form::Node;
  }
  if (SpeciesNodeHasChildren(part.Node)) {
    const std::string name(SpeciesNodeName(part.Node));
    if (const auto shape = f.Rows("Which one", {{"0", name, {}}, {"1", std::string(UnknownWord) + name, {}}, {"2", "a name of my own (" + name + ")", {}}},
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
  if (const auto on = f.Check(Plain(ChangesShapeText), part.ChangesShape)) part.ChangesShape = *on;
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
  if (const auto kind = f.Rows("What I am", {{"0", "a species, or a mix of species", {}}, {"1", std::string(ShapechangerText), {}}, {"2", std::string(DontKnowText), {}}},
                               static_cast<std::int32_t>(c.Kind))) {
    c.Kind = static_cast<Whole>(*kind);
    if (c.Kind != Whole::Mix) c.Other = Relation::None, c.OtherMembers.clear();
    if (c.Kind != Whole::DontKnow && c.Members.empty()) c.Members.emplace_back();
  }
  if (c.Kind == Whole::DontKnow) return;
  if (c.Kind == Whole::Shapechanger) return PartList(f, c.Members, "Form", "Add a form");
  PartList(f, c.Members, "Species", "Add a species to the mix");
  f.Group("And");
  if (const auto other = f.Rows("And", {{"0", "nothing more", {}}, {"1", Plain(LooksLikeText), {}}, {"2", Plain(TrappedInText), {}}},
                                static_cast<std::int32_t>(c.Other))) {
    c.Other = static_cast<Relation>(*other);
    if (c.Other == Relation::None) c.OtherMembers.clear();
    else if (c.OtherMembers.empty()) c.OtherMembers.emplace_back();
  }
  if (c.Other == Relation::LooksLike) PartList(f, c.OtherMembers, "Looks like", "Add a species it looks like");
  if (c.Other == Relation::TrappedIn) PartList(f, c.OtherMembers, "Trapped in", "Add a species it is trapped in");
}

}  // namespace

const std::vector<std::string>& SpeciesCodes() { return Tree().Codes; }

std::string Build(const TagRow*, const SpeciesChoices& c) { return BuildSpecies(c); }

std::optional<SpeciesChoices> Open(const TagRow*, TextCursor& t, const SpeciesChoices&) { return OpenSpecies(t); }

void Start(const TagRow*, SpeciesChoices& c) { c.Members.emplace_back(); }

void Random(Dice& d, const TagRow*, SpeciesChoices& c) { c = RandomSpecies(d); }

void Fields(Form& f, const TagRow*, SpeciesChoices& c) { SpeciesFields(f, c); }

}  // namespace zendric::builder

namespace zendric {

using builder::Tree;

const std::vector<std::int32_t>& SpeciesNodes() { return Tree().Nodes; }

std::string SpeciesNodeCode(std::int32_t position) {
  const auto& codes = Tree().Codes;
  return position >= 1 && static_cast<std::size_t>(position) <= codes.size() ? codes[static_cast<std::size_t>(position - 1)]
                                                                              : std::string("D");
}

std::string_view SpeciesNodeName(std::int32_t position) {
  return position >= 1 && static_cast<std::size_t>(position) <= SpeciesNames.size()
             ? SpeciesNames[static_cast<std::size_t>(position - 1)]
             : std::string_view();
}

bool SpeciesNodeHasChildren(std::int32_t position) {
  return position >= 1 && static_cast<std::size_t>(position) < SpeciesTree.size() &&
         SpeciesTree[static_cast<std::size_t>(position)] == '(';
}

bool OwnNameAllows(char32_t ch) {
  // A name behind letters is cut like any code: blanks, capitals and marks end it.
  constexpr std::string_view Marks = " \"$+[]^{}~/";
  return ch >= 0x21 && ch != 0x7F && !IsTagLetter(ch) && (ch >= 128 || Marks.find(static_cast<char>(ch)) == std::string_view::npos);
}

}  // namespace zendric
