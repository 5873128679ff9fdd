#include "Builder.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <map>

namespace zendric {
namespace {

constexpr std::string_view CodePrefix = "ZN2.";

template <typename Table>
std::int32_t RowIndex(const Table& table, const auto* row) {
  return row == nullptr ? -1 : static_cast<std::int32_t>(row - std::data(table));
}

template <typename Table>
bool InTable(const Table& table, std::int32_t i) {
  return i >= 0 && static_cast<std::size_t>(i) < std::size(table);
}

// A free text without the characters that would end it early, and without line
// breaks and other control characters, which a one-line code cannot hold.
std::string Clean(std::string_view text, std::string_view forbidden) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && forbidden.find(c) == std::string_view::npos) out += c;
  return out;
}
std::string CleanOwnName(std::string_view text) {
  std::string out;
  for (char c : text)
    if (OwnNameAllows(static_cast<unsigned char>(c))) out += c;
  return out;
}

// `text` between two marks.
std::string Enclose(char open, std::string_view text, char close) {
  std::string out(1, open);
  out += text;
  out += close;
  return out;
}

bool IsPlus(std::string_view key) { return !key.empty() && key.front() == '+'; }

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

// --- tags ---

std::string_view Key(const TagRow& tag, std::int32_t rating) {
  return InTable(tag.Scale, rating) ? tag.Scale[static_cast<std::size_t>(rating)].Key : std::string_view();
}

std::string BuildRated(const TagRow& tag, const RatedChoices& c) {
  std::string out(Key(tag, c.Rating));
  if (tag.Kind == TagKind::Fruitiness) {
    if (c.Joined) out += '^';
    if (c.Flamed) out += '*';
  }
  if (tag.Kind == TagKind::Irritability && c.Barbeque) out += '#';
  if (tag.Kind == TagKind::Specialist && c.Field) out += Enclose('[', Clean(*c.Field, "]"), ']');
  return out;
}

std::string BuildEntry(const TagRow& tag, const SplitEntry& e) {
  std::string out;
  if (e.Of == SplitEntry::Life::Real) out += 'r';
  if (e.Of == SplitEntry::Life::Virtual) out += 'v';
  if (tag.ReadEntry == ReadOffspringEntry) {
    if (e.Adopted) out += 'a';
    if (e.CountSign == '+' || e.CountSign == '-') return out + e.CountSign + std::to_string(std::max(e.Count, 0));
  }
  const std::string_view key = Key(tag, e.Rating);
  out += key;
  if (tag.ReadEntry == ReadMatingEntry) {
    // Counts and deaths follow plusses only.
    if (IsPlus(key) && e.Mates > 0) out += std::to_string(e.Mates);
    if (IsPlus(key) && e.MateDead) out += '_';
    if (e.Conspiracy == 'x' || e.Conspiracy == 'y') out += std::string("x") + e.Conspiracy;
  }
  return out;
}

std::string BuildSplit(const TagRow& tag, const SplitChoices& c) {
  if (c.Entries.size() == 1 && c.Entries[0].Of == SplitEntry::Life::Both) return BuildEntry(tag, c.Entries[0]);
  std::string out = "(";
  for (const SplitEntry& e : c.Entries) {
    SplitEntry marked = e;
    // Entries in a group are told apart by their life marks.
    if (marked.Of == SplitEntry::Life::Both) marked.Of = SplitEntry::Life::Real;
    out += BuildEntry(tag, marked);
  }
  return out + ")";
}

std::string BuildGender(const GenderChoices& c) {
  std::string out;
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    const GenderPart& part = c.Parts[i];
    if (i > 0) out += part.Join == '>' ? '>' : '/';
    switch (part.Shape) {
      case GenderPart::Form::Letter:
        out += InTable(GenderLetters, part.Letter) ? GenderLetters[static_cast<std::size_t>(part.Letter)].Letter : 'f';
        break;
      case GenderPart::Form::Free:
        out += Enclose('"', Clean(part.Text, "\""), '"');
        break;
      case GenderPart::Form::Variable:
        out += '~';
        if (!part.Among.empty()) {
          out += '(';
          for (std::int32_t row : part.Among)
            if (InTable(GenderLetters, row)) out += GenderLetters[static_cast<std::size_t>(row)].Letter;
          out += ')';
        }
        break;
    }
  }
  return out;
}

// Digits with at most one "." between digits; anything else reads as "1".
std::string CleanNumber(std::string_view number) {
  const std::size_t dot = number.find('.');
  const auto digits = [](std::string_view d) {
    return !d.empty() && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const bool ok = dot == std::string_view::npos ? digits(number)
                                                : digits(number.substr(0, dot)) && digits(number.substr(dot + 1));
  return ok ? std::string(number) : std::string("1");
}

std::string BuildMeasure(const TagRow& tag, const MeasureChoices& c) {
  if (c.Rating) return std::string(Key(tag, *c.Rating));
  std::string out = CleanNumber(c.Number);
  out += InTable(tag.Units, c.Unit) ? tag.Units[static_cast<std::size_t>(c.Unit)].Letter : tag.DefaultUnit;
  for (const MeasureChoices::Part& part : c.Parts) {
    if (!InTable(tag.BodyParts, part.Row)) continue;
    out += CleanNumber(part.Number);
    out += tag.BodyParts[static_cast<std::size_t>(part.Row)].Letter;
  }
  return out;
}

std::string BuildColourChain(const std::vector<ColourLink>& chain) {
  std::string out;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const ColourLink& link = chain[i];
    if (InTable(ColourTable, link.Colour)) out += ColourTable[static_cast<std::size_t>(link.Colour)].Code;
    for (char m : link.Modifiers)
      if (FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(m))) out += m;
    if (i + 1 < chain.size()) {
      const std::int32_t c = InTable(ColourCombiners, link.Combiner) ? link.Combiner : 0;
      out += ColourCombiners[static_cast<std::size_t>(c)].Key;
    }
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

std::string BuildBreath(const BreathChoices& c) {
  std::string out;
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    const BreathPart& w = c.Weapons[i];
    if (i > 0) out += '/';
    if (InTable(BreathWeapons, w.Weapon)) {
      out += BreathWeapons[static_cast<std::size_t>(w.Weapon)].Code;
    } else {
      out += Enclose('"', Clean(w.Name, "\""), '"');
    }
    if (!w.Adjective.empty()) out += Enclose('"', Clean(w.Adjective, "\""), '"');
    for (char shape : w.Shapes)
      if (shape == '|' || shape == '#') out += shape;
  }
  return out;
}

// The "~" food (anything) cannot follow a rating, and "~" right behind it reads as
// "any": it goes in front, and never together with the "~" rating.
constexpr std::int32_t AnythingRow = 0;
static_assert(FoodTable[AnythingRow].Letter == U'~');

std::string BuildDiet(const TagRow& tag, const DietChoices& c) {
  const std::string_view key = Key(tag, c.Rating);
  std::string out;
  const bool anything = std::any_of(c.Foods.begin(), c.Foods.end(), [](const DietChoices::Food& f) { return f.Row == AnythingRow; });
  if (anything && key != "~") out += '~';
  out += key;
  for (const DietChoices::Food& f : c.Foods) {
    if (f.Row == AnythingRow || !InTable(FoodTable, f.Row)) continue;
    out += static_cast<char>(FoodTable[static_cast<std::size_t>(f.Row)].Letter);
    if (f.Any) out += '~';
  }
  return out;
}

std::string BuildAppendages(const AppendageChoices& c) {
  std::string out;
  for (const AppendageChoices::Entry& e : c.Entries) {
    if (!InTable(Appendages, e.Row)) continue;
    out += Appendages[static_cast<std::size_t>(e.Row)].Code;
    switch (e.Says) {
      case AppendageChoices::Entry::Count::NotGiven: break;
      case AppendageChoices::Entry::Count::Many: out += '!'; break;
      case AppendageChoices::Entry::Count::Variable: out += '~'; break;
      case AppendageChoices::Entry::Count::Number: out += std::to_string(std::max(e.Number, 0)); break;
    }
    if (e.Webbed) out += '^';
  }
  return out;
}

std::string BuildSkin(const SkinChoices& c) {
  std::string out;
  const auto types = [&](const std::vector<std::int32_t>& rows) {
    for (std::int32_t r : rows)
      if (InTable(SkinTypes, r)) out += static_cast<char>(SkinTypes[static_cast<std::size_t>(r)].Letter);
  };
  types(c.Types);
  for (const SkinChoices::Group& g : c.Groups) {
    out += ',';
    out += static_cast<char>(SkinBodyParts[static_cast<std::size_t>(InTable(SkinBodyParts, g.Part) ? g.Part : 0)].Letter);
    types(g.Types);
  }
  return out;
}

// --- reading an item's text back into choices ---
// Only the shapes the builder writes are recognised; the caller keeps the choices only
// when building them gives the same text again.

class TextCursor {
 public:
  explicit TextCursor(std::string_view text) : text_(text) {}
  bool AtEnd() const { return at_ >= text_.size(); }
  std::size_t At() const { return at_; }
  char Peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
  bool Accept(char c) {
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  // Characters up to (not including) `until`; moves past `until`. False when missing.
  bool Enclosed(char until, std::string& out) {
    const std::size_t end = text_.find(until, at_);
    if (end == std::string_view::npos) return false;
    out = std::string(text_.substr(at_, end - at_));
    at_ = end + 1;
    return true;
  }
  std::string Digits(bool decimal) {
    const std::size_t from = at_;
    while (!AtEnd() && ((Peek() >= '0' && Peek() <= '9') || (decimal && Peek() == '.'))) ++at_;
    return std::string(text_.substr(from, at_ - from));
  }
  // A rating key as the readers cut it: up to a terminator, a blank, a quote or a tag.
  std::string_view KeyUntil(TerminatorSet stops) {
    const std::size_t from = at_;
    while (!AtEnd() && !stops.Contains(static_cast<unsigned char>(Peek())) && !IsTagLetter(static_cast<unsigned char>(Peek())) &&
           Peek() != '$')
      ++at_;
    return text_.substr(from, at_ - from);
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<std::int32_t> RatingOf(const TagRow& tag, TextCursor& t, TerminatorSet stops) {
  const std::string_view key = t.KeyUntil(stops.With(" \""));
  const ScaleEntry* row = FindRow(tag.Scale, &ScaleEntry::Key, key);
  if (row == nullptr) return std::nullopt;
  return static_cast<std::int32_t>(row - tag.Scale.data());
}

std::int32_t ToInt(std::string_view digits) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : -1;
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

std::optional<RatedChoices> OpenRated(const TagRow& tag, TextCursor& t) {
  RatedChoices c;
  const auto rating = RatingOf(tag, t, tag.Terminators);
  if (!rating) return std::nullopt;
  c.Rating = *rating;
  if (tag.Kind == TagKind::Fruitiness) {
    c.Joined = t.Accept('^');
    c.Flamed = t.Accept('*');
  }
  if (tag.Kind == TagKind::Irritability) c.Barbeque = t.Accept('#');
  if (tag.Kind == TagKind::Specialist && t.Accept('[')) {
    std::string field;
    if (!t.Enclosed(']', field)) return std::nullopt;
    c.Field = std::move(field);
  }
  return c;
}

std::optional<SplitEntry> OpenEntry(const TagRow& tag, TextCursor& t) {
  SplitEntry e;
  if (t.Accept('r')) e.Of = SplitEntry::Life::Real;
  else if (t.Accept('v')) e.Of = SplitEntry::Life::Virtual;
  if (tag.ReadEntry == ReadOffspringEntry) {
    e.Adopted = t.Accept('a');
    if ((t.Peek() == '+' || t.Peek() == '-') && t.Peek(1) >= '0' && t.Peek(1) <= '9') {
      e.CountSign = t.Peek();
      t.Accept(e.CountSign);
      e.Count = ToInt(t.Digits(false));
      return e.Count < 0 ? std::nullopt : std::optional(e);
    }
  }
  const auto rating = RatingOf(tag, t, tag.Terminators);
  if (!rating) return std::nullopt;
  e.Rating = *rating;
  if (tag.ReadEntry == ReadMatingEntry) {
    if (t.Peek() >= '1' && t.Peek() <= '9') e.Mates = ToInt(t.Digits(false));
    e.MateDead = t.Accept('_');
    if (t.Peek() == 'x' && (t.Peek(1) == 'x' || t.Peek(1) == 'y')) {
      t.Accept('x');
      e.Conspiracy = t.Peek();
      t.Accept(e.Conspiracy);
    }
  }
  return e;
}

std::optional<SplitChoices> OpenSplit(const TagRow& tag, TextCursor& t) {
  SplitChoices c;
  if (!t.Accept('(')) {
    auto entry = OpenEntry(tag, t);
    if (!entry) return std::nullopt;
    c.Entries.push_back(*entry);
    return c;
  }
  while (!t.Accept(')')) {
    if (t.AtEnd()) return std::nullopt;
    // An entry the builder cannot write (a mate's "*", say) may take nothing; the
    // item is then kept as written rather than read again at the same place forever.
    const std::size_t before = t.At();
    auto entry = OpenEntry(tag, t);
    if (!entry || t.At() == before) return std::nullopt;
    c.Entries.push_back(*entry);
  }
  return c;
}

std::optional<GenderChoices> OpenGender(TextCursor& t) {
  GenderChoices c;
  for (char join = '/';;) {
    GenderPart part;
    part.Join = join;
    if (t.Accept('"')) {
      part.Shape = GenderPart::Form::Free;
      if (!t.Enclosed('"', part.Text)) return std::nullopt;
    } else if (t.Accept('~')) {
      part.Shape = GenderPart::Form::Variable;
      std::string letters;
      if (t.Accept('(') && (!t.Enclosed(')', letters) || letters.empty())) return std::nullopt;
      for (char l : letters) {
        part.Among.push_back(RowIndex(GenderLetters, FindRow(GenderLetters, &GenderRow::Letter, static_cast<char32_t>(l))));
        if (part.Among.back() < 0) return std::nullopt;
      }
    } else {
      part.Letter = RowIndex(GenderLetters, FindRow(GenderLetters, &GenderRow::Letter, static_cast<char32_t>(t.Peek())));
      if (part.Letter < 0 || t.AtEnd()) return std::nullopt;
      t.Accept(t.Peek());
    }
    c.Parts.push_back(std::move(part));
    join = t.Peek();
    if (!t.Accept('/') && !t.Accept('>')) return c;
  }
}

std::optional<MeasureChoices> OpenMeasure(const TagRow& tag, TextCursor& t) {
  MeasureChoices c;
  if (!(t.Peek() >= '0' && t.Peek() <= '9')) {
    c.Rating = RatingOf(tag, t, tag.Terminators);
    return c.Rating ? std::optional(c) : std::nullopt;
  }
  c.Rating.reset();
  c.Number = t.Digits(true);
  c.Unit = RowIndex(tag.Units, FindRow(tag.Units, &UnitRow::Letter, static_cast<char32_t>(t.Peek())));
  if (c.Unit < 0 || t.AtEnd()) return std::nullopt;
  t.Accept(t.Peek());
  while (t.Peek() >= '0' && t.Peek() <= '9') {
    MeasureChoices::Part part;
    part.Number = t.Digits(true);
    part.Row = RowIndex(tag.BodyParts, FindRow(tag.BodyParts, &BodyPartRow::Letter, static_cast<char32_t>(t.Peek())));
    if (part.Row < 0 || t.AtEnd()) return std::nullopt;
    t.Accept(t.Peek());
    c.Parts.push_back(std::move(part));
  }
  return c;
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

std::optional<BreathChoices> OpenBreath(TextCursor& t) {
  BreathChoices c;
  do {
    BreathPart w;
    if (t.Accept('"')) {
      w.Weapon = -1;
      if (!t.Enclosed('"', w.Name)) return std::nullopt;
    } else {
      w.Weapon = RowIndex(BreathWeapons, FindRow(BreathWeapons, &BreathWeapon::Code, t.KeyUntil(BreathTerminators)));
      if (w.Weapon < 0) return std::nullopt;
    }
    if (t.Accept('"') && (!t.Enclosed('"', w.Adjective) || w.Adjective.empty())) return std::nullopt;
    while (t.Peek() == '|' || t.Peek() == '#') {
      w.Shapes += t.Peek();
      t.Accept(t.Peek());
    }
    c.Weapons.push_back(std::move(w));
  } while (t.Accept('/'));
  return c;
}

std::optional<DietChoices> OpenDiet(const TagRow& tag, TextCursor& t) {
  DietChoices c;
  if (t.Peek() == '~' && t.Peek(1) != '\0' && !(t.Peek(1) == ' ')) {
    // "~" in front of a rating is the "anything" food; alone it is the "~" rating.
    TextCursor probe = t;
    probe.Accept('~');
    if (RatingOf(tag, probe, tag.Terminators)) {
      t.Accept('~');
      c.Foods.push_back({AnythingRow, false});
    }
  }
  const auto rating = RatingOf(tag, t, tag.Terminators);
  if (!rating) return std::nullopt;
  c.Rating = *rating;
  while (!t.AtEnd()) {
    const std::int32_t row = RowIndex(FoodTable, FindRow(FoodTable, &FoodEntry::Letter, static_cast<char32_t>(t.Peek())));
    if (row <= AnythingRow) break;
    t.Accept(t.Peek());
    c.Foods.push_back({row, t.Accept('~')});
  }
  return c;
}

std::optional<AppendageChoices> OpenAppendages(TextCursor& t) {
  AppendageChoices c;
  while (!t.AtEnd()) {
    AppendageChoices::Entry e;
    const std::string two{t.Peek(), t.Peek(1)};
    e.Row = RowIndex(Appendages, FindRow(Appendages, &AppendageRow::Code, std::string_view(two)));
    if (e.Row < 0) e.Row = RowIndex(Appendages, FindRow(Appendages, &AppendageRow::Code, std::string_view(two).substr(0, 1)));
    if (e.Row < 0) return std::nullopt;
    for (std::size_t i = 0; i < Appendages[static_cast<std::size_t>(e.Row)].Code.size(); ++i) t.Accept(t.Peek());
    if (t.Accept('!')) {
      e.Says = AppendageChoices::Entry::Count::Many;
    } else if (t.Accept('~')) {
      e.Says = AppendageChoices::Entry::Count::Variable;
    } else if (t.Peek() >= '0' && t.Peek() <= '9') {
      e.Says = AppendageChoices::Entry::Count::Number;
      e.Number = ToInt(t.Digits(false));
      if (e.Number < 0) return std::nullopt;
    }
    e.Webbed = t.Accept('^');
    c.Entries.push_back(e);
  }
  return c;
}

std::optional<SkinChoices> OpenSkin(TextCursor& t) {
  SkinChoices c;
  const auto types = [&](std::vector<std::int32_t>& rows) {
    for (;;) {
      const std::int32_t row = RowIndex(SkinTypes, FindRow(SkinTypes, &SkinType::Letter, static_cast<char32_t>(t.Peek())));
      if (row < 0 || t.AtEnd()) return;
      rows.push_back(row);
      t.Accept(t.Peek());
    }
  };
  types(c.Types);
  while (t.Accept(',')) {
    SkinChoices::Group g;
    g.Part = RowIndex(SkinBodyParts, FindRow(SkinBodyParts, &SkinBodyPart::Letter, static_cast<char32_t>(t.Peek())));
    if (g.Part < 0 || t.AtEnd()) return std::nullopt;
    t.Accept(t.Peek());
    types(g.Types);
    c.Groups.push_back(std::move(g));
  }
  return c;
}

// The choices written as `body` (the item's text behind its tag), when the builder
// writes them that same way.
ItemChoices OpenChoices(const TagRow* tag, std::string_view body) {
  TextCursor t(body);
  ItemChoices choices;
  const auto take = [&](auto opened) {
    if (opened && t.AtEnd()) choices = std::move(*opened);
  };
  if (tag == nullptr) {
    take(OpenSpecies(t));
  } else {
    switch (tag->Kind) {
      case TagKind::Scaled:
      case TagKind::Fruitiness:
      case TagKind::Irritability:
      case TagKind::Specialist: take(OpenRated(*tag, t)); break;
      case TagKind::Split: take(OpenSplit(*tag, t)); break;
      case TagKind::Gender: take(OpenGender(t)); break;
      case TagKind::Length:
      case TagKind::Weight: take(OpenMeasure(*tag, t)); break;
      case TagKind::Colour: take(OpenColour(t)); break;
      case TagKind::Breath: take(OpenBreath(t)); break;
      case TagKind::Diet: take(OpenDiet(*tag, t)); break;
      case TagKind::Appendages: take(OpenAppendages(t)); break;
      case TagKind::Skin: take(OpenSkin(t)); break;
    }
  }
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
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  while (i < bytes.size()) {
    offsets.push_back(i);
    const unsigned char b = p[i++];
    int need = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) need = 1;
    else if (b >= 0xE0 && b <= 0xEF) need = 2, lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    else if (b >= 0xF0 && b <= 0xF4) need = 3, lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
    // A maximal ill-formed part ends at the first byte that cannot continue it.
    for (int k = 0; k < need && i < bytes.size() && p[i] >= lo && p[i] <= hi; ++k, ++i) lo = 0x80, hi = 0xBF;
  }
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
std::vector<ItemPiece> TopLevelItems(std::string_view text) {
  const ParseResult reading = ParseCode(text);
  std::map<std::int32_t, ItemPiece> byStart;
  const auto add = [&](Span where, bool message) {
    if (where.From <= 0) return;  // the message about a missing prefix belongs to no item
    ItemPiece& piece = byStart.try_emplace(where.From, ItemPiece{where.From, where.To, false}).first->second;
    piece.To = std::max(piece.To, where.To);
    piece.Message = piece.Message || message;
  };
  for (std::size_t i = 0; i < reading.LineCount(); ++i) add(reading.LineSpan(i), false);
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) add(reading.MessageItem(i), true);
  std::vector<ItemPiece> pieces;
  for (const auto& [from, piece] : byStart) pieces.push_back(piece);
  return pieces;
}

std::string BuildChoices(const TagRow* tag, const ItemChoices& choices) {
  return std::visit(
      [&](const auto& c) -> std::string {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, std::monostate>) return {};
        else if constexpr (std::is_same_v<C, SpeciesChoices>) return BuildSpecies(c);
        else if constexpr (std::is_same_v<C, RatedChoices>) return BuildRated(*tag, c);
        else if constexpr (std::is_same_v<C, SplitChoices>) return BuildSplit(*tag, c);
        else if constexpr (std::is_same_v<C, GenderChoices>) return BuildGender(c);
        else if constexpr (std::is_same_v<C, MeasureChoices>) return BuildMeasure(*tag, c);
        else if constexpr (std::is_same_v<C, ColourChoices>) return BuildColour(c);
        else if constexpr (std::is_same_v<C, BreathChoices>) return BuildBreath(c);
        else if constexpr (std::is_same_v<C, DietChoices>) return BuildDiet(*tag, c);
        else if constexpr (std::is_same_v<C, AppendageChoices>) return BuildAppendages(c);
        else return BuildSkin(c);
      },
      choices);
}

}  // namespace

// --- building and opening ---

std::string BuildItem(const PersonaItem& item) {
  if (item.IsKept()) return item.Kept;
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

Persona OpenCode(std::string_view text) {
  Persona p;
  p.Prefix.clear();
  const std::vector<std::size_t> offsets = Utf8Offsets(text);  // byte offset of each code point, and the end
  const auto byteAt = [&](std::int32_t position) {  // of code point `position` (from 1)
    return offsets[static_cast<std::size_t>(std::clamp<std::int32_t>(position, 1, static_cast<std::int32_t>(offsets.size())) - 1)];
  };

  const std::vector<ItemPiece> pieces = TopLevelItems(text);
  std::size_t done = 0;  // bytes of `text` already in the persona
  if (text.starts_with(CodePrefix)) {
    p.Prefix = std::string(CodePrefix);
    done = CodePrefix.size();
  }
  for (const ItemPiece& piece : pieces) {
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
        if (!item.IsKept() && BuildItem(item) != written) item.Choices = std::monostate{};
      }
    }
    if (item.IsKept()) {
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

namespace zendric {

// --- new items and their texts ---

PersonaItem NewItem(const TagRow* tag) {
  PersonaItem item;
  item.Tag = tag;
  if (tag == nullptr) {
    SpeciesChoices c;
    c.Members.emplace_back();
    item.Choices = std::move(c);
    return item;
  }
  switch (tag->Kind) {
    case TagKind::Scaled:
    case TagKind::Fruitiness:
    case TagKind::Irritability:
    case TagKind::Specialist: item.Choices = RatedChoices{}; break;
    case TagKind::Split: item.Choices = SplitChoices{{SplitEntry{}}}; break;
    case TagKind::Gender: item.Choices = GenderChoices{{GenderPart{}}}; break;
    case TagKind::Length:
    case TagKind::Weight: item.Choices = MeasureChoices{}; break;
    case TagKind::Colour: {
      ColourGroup whole;
      whole.Colour.emplace_back();
      item.Choices = ColourChoices{{std::move(whole)}};
      break;
    }
    case TagKind::Breath: item.Choices = BreathChoices{{BreathPart{}}}; break;
    case TagKind::Diet: item.Choices = DietChoices{}; break;
    case TagKind::Appendages: item.Choices = AppendageChoices{{AppendageChoices::Entry{}}}; break;
    case TagKind::Skin: item.Choices = SkinChoices{{0}, {}}; break;
  }
  return item;
}

namespace {

void PartTexts(const SpeciesPart& part, std::vector<std::string>& out) {
  const std::string name(SpeciesNodeName(part.Node));
  switch (part.Shape) {
    case SpeciesPart::Form::Node: out.push_back(name); break;
    case SpeciesPart::Form::Unknown: out.push_back("Unknown " + name); break;
    case SpeciesPart::Form::OwnName: out.push_back(CleanOwnName(part.Name) + " (" + name + ")"); break;
  }
}

void SpeciesTexts(const SpeciesChoices& c, std::vector<std::string>& out) {
  if (c.Kind == SpeciesChoices::Whole::DontKnow) out.push_back("I don't know what I am");
  if (c.Kind == SpeciesChoices::Whole::Shapechanger) out.push_back("a shapechanger");
  if (c.Kind == SpeciesChoices::Whole::DontKnow) return;
  for (const SpeciesPart& part : c.Members) PartTexts(part, out);
  // Members of a relation the code does not write say nothing.
  if (c.Kind == SpeciesChoices::Whole::Mix && c.Other != SpeciesChoices::Relation::None)
    for (const SpeciesPart& part : c.OtherMembers) PartTexts(part, out);
}

std::string_view ScaleText(const TagRow& tag, std::int32_t rating) {
  return InTable(tag.Scale, rating) ? tag.Scale[static_cast<std::size_t>(rating)].Text : std::string_view();
}

void TagTexts(const TagRow& tag, const ItemChoices& choices, std::vector<std::string>& out) {
  const auto add = [&](std::string_view text) {
    if (!text.empty()) out.emplace_back(text);
  };
  if (const auto* c = std::get_if<RatedChoices>(&choices)) {
    add(ScaleText(tag, c->Rating));
    if (tag.Kind == TagKind::Fruitiness && c->Joined) add(FruitinessJoinedText);
    if (tag.Kind == TagKind::Fruitiness && c->Flamed) add(FruitinessFlamedText);
    if (tag.Kind == TagKind::Irritability && c->Barbeque) add(BarbequeText);
    if (tag.Kind == TagKind::Specialist && c->Field) add(Clean(*c->Field, "]"));
  } else if (const auto* c = std::get_if<SplitChoices>(&choices)) {
    for (const SplitEntry& e : c->Entries) {
      if (c->Entries.size() > 1 || e.Of != SplitEntry::Life::Both)
        add(e.Of == SplitEntry::Life::Virtual ? tag.Virtual : tag.RealLife);
      if (tag.ReadEntry == ReadOffspringEntry && (e.CountSign == '+' || e.CountSign == '-')) {
        add("I have " + std::to_string(std::max(e.Count, 0)) + " hatchlings");
      } else {
        add(ScaleText(tag, e.Rating));
        if (tag.ReadEntry == ReadMatingEntry && IsPlus(Key(tag, e.Rating)) && e.Mates > 0)
          add("I have " + std::to_string(e.Mates) + " mates");
      }
    }
  } else if (const auto* c = std::get_if<GenderChoices>(&choices)) {
    for (const GenderPart& part : c->Parts) {
      if (part.Shape == GenderPart::Form::Letter && InTable(GenderLetters, part.Letter))
        add(GenderLetters[static_cast<std::size_t>(part.Letter)].Phrase);
      if (part.Shape == GenderPart::Form::Free) add(Clean(part.Text, "\""));
      if (part.Shape == GenderPart::Form::Variable)
        for (std::int32_t row : part.Among)
          if (InTable(GenderLetters, row)) add(GenderLetters[static_cast<std::size_t>(row)].Phrase);
    }
  } else if (const auto* c = std::get_if<MeasureChoices>(&choices)) {
    if (c->Rating) {
      add(ScaleText(tag, *c->Rating));
    } else {
      const std::string_view unit =
          InTable(tag.Units, c->Unit) ? tag.Units[static_cast<std::size_t>(c->Unit)].Word : std::string_view();
      add(CleanNumber(c->Number) + " " + std::string(unit));
      for (const MeasureChoices::Part& part : c->Parts)
        if (InTable(tag.BodyParts, part.Row)) add(tag.BodyParts[static_cast<std::size_t>(part.Row)].After);
    }
  } else if (const auto* c = std::get_if<ColourChoices>(&choices)) {
    for (const ColourGroup& g : c->Groups) {
      if (InTable(ColourBodyParts, g.BodyPart)) add(ColourBodyParts[static_cast<std::size_t>(g.BodyPart)].Heading);
      for (const auto* chain : {&g.Colour, &g.ChangesTo}) {
        for (const ColourLink& link : *chain) {
          if (InTable(ColourTable, link.Colour)) add(ColourTable[static_cast<std::size_t>(link.Colour)].Name);
          for (char m : link.Modifiers)
            if (const ColourModifier* row = FindRow(ColourModifiers, &ColourModifier::Key, static_cast<char32_t>(m)); row && !row->Shade)
              add(row->Word);
        }
      }
    }
  } else if (const auto* c = std::get_if<BreathChoices>(&choices)) {
    for (const BreathPart& w : c->Weapons) {
      add(InTable(BreathWeapons, w.Weapon) ? BreathWeapons[static_cast<std::size_t>(w.Weapon)].Name : Clean(w.Name, "\""));
      add(Clean(w.Adjective, "\""));
    }
  } else if (const auto* c = std::get_if<DietChoices>(&choices)) {
    add(ScaleText(tag, c->Rating));
    for (const DietChoices::Food& f : c->Foods)
      if (InTable(FoodTable, f.Row) && !(f.Row == AnythingRow && Key(tag, c->Rating) == "~"))
        add(FoodTable[static_cast<std::size_t>(f.Row)].Food);
  } else if (const auto* c = std::get_if<AppendageChoices>(&choices)) {
    for (const AppendageChoices::Entry& e : c->Entries)
      if (InTable(Appendages, e.Row)) add(Appendages[static_cast<std::size_t>(e.Row)].Noun);
  } else if (const auto* c = std::get_if<SkinChoices>(&choices)) {
    for (std::int32_t r : c->Types)
      if (InTable(SkinTypes, r)) add(SkinTypes[static_cast<std::size_t>(r)].Word);
    for (const SkinChoices::Group& g : c->Groups) {
      if (InTable(SkinBodyParts, g.Part)) add(SkinBodyParts[static_cast<std::size_t>(g.Part)].Opener);
      for (std::int32_t r : g.Types)
        if (InTable(SkinTypes, r)) add(SkinTypes[static_cast<std::size_t>(r)].Word);
    }
  }
}

}  // namespace

std::vector<std::string> ChoiceTexts(const PersonaItem& item) {
  std::vector<std::string> out;
  if (const auto* species = std::get_if<SpeciesChoices>(&item.Choices)) SpeciesTexts(*species, out);
  else if (item.Tag != nullptr) TagTexts(*item.Tag, item.Choices, out);
  return out;
}

// --- random personas ---

namespace {

class Dice {
 public:
  explicit Dice(std::mt19937& random) : random_(random) {}
  std::int32_t Below(std::size_t n) {
    return n == 0 ? 0 : static_cast<std::int32_t>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random_));
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  template <typename Table>
  std::int32_t Row(const Table& table) { return Below(std::size(table)); }
  std::int32_t Rating(const TagRow& tag) {
    std::int32_t r = Row(tag.Scale);
    while (!RatingOffered(tag, r)) r = Row(tag.Scale);
    return r;
  }
  std::string Word() {
    static constexpr std::string_view Words[] = {"ember", "frost", "moss", "storm", "velvet", "cinder", "tide",
                                                 "thistle", "quartz", "dusk", "lantern", "brine"};
    return std::string(Words[static_cast<std::size_t>(Below(std::size(Words)))]);
  }
  std::mt19937& Engine() { return random_; }

 private:
  std::mt19937& random_;
};

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

SplitEntry RandomEntry(Dice& d, const TagRow& tag) {
  SplitEntry e;
  e.Rating = d.Rating(tag);
  if (tag.ReadEntry == ReadMatingEntry) {
    if (d.Chance(0.3)) e.Mates = 1 + d.Below(12);
    e.MateDead = d.Chance(0.15);
    if (d.Chance(0.15)) e.Conspiracy = d.Chance(0.5) ? 'x' : 'y';
  }
  if (tag.ReadEntry == ReadOffspringEntry) {
    e.Adopted = d.Chance(0.15);
    if (d.Chance(0.25)) e.CountSign = d.Chance(0.5) ? '+' : '-', e.Count = d.Below(20);
  }
  return e;
}

std::string RandomNumber(Dice& d) {
  std::string n = std::to_string(1 + d.Below(400));
  if (d.Chance(0.2)) {
    n += '.';
    n += std::to_string(d.Below(10));
  }
  return n;
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

ItemChoices RandomChoices(Dice& d, const TagRow& tag) {
  switch (tag.Kind) {
    case TagKind::Scaled:
    case TagKind::Fruitiness:
    case TagKind::Irritability:
    case TagKind::Specialist: {
      RatedChoices c;
      c.Rating = d.Rating(tag);
      c.Joined = d.Chance(0.2);
      c.Flamed = d.Chance(0.2);
      c.Barbeque = d.Chance(0.3);
      if (d.Chance(0.3)) c.Field = d.Word() + (d.Chance(0.5) ? " and " + d.Word() : "");
      return c;
    }
    case TagKind::Split: {
      SplitChoices c;
      if (d.Chance(0.7)) {
        c.Entries.push_back(RandomEntry(d, tag));
      } else {
        for (std::int32_t n = 1 + d.Below(3); n > 0; --n) {
          c.Entries.push_back(RandomEntry(d, tag));
          c.Entries.back().Of = d.Chance(0.5) ? SplitEntry::Life::Real : SplitEntry::Life::Virtual;
        }
      }
      return c;
    }
    case TagKind::Gender: {
      GenderChoices c;
      for (std::int32_t n = 1 + (d.Chance(0.3) ? d.Below(3) : 0); n > 0; --n) {
        GenderPart part;
        part.Join = d.Chance(0.5) ? '/' : '>';
        part.Letter = d.Row(GenderLetters);
        if (d.Chance(0.12)) part.Shape = GenderPart::Form::Free, part.Text = d.Word();
        else if (d.Chance(0.12)) {
          part.Shape = GenderPart::Form::Variable;
          for (std::int32_t k = d.Below(4); k > 0; --k) part.Among.push_back(d.Row(GenderLetters));
        }
        c.Parts.push_back(std::move(part));
      }
      return c;
    }
    case TagKind::Length:
    case TagKind::Weight: {
      MeasureChoices c;
      c.Rating = d.Rating(tag);
      if (d.Chance(0.5)) {
        c.Rating.reset();
        c.Number = RandomNumber(d);
        c.Unit = d.Row(tag.Units);
        for (std::int32_t n = tag.BodyParts.empty() ? 0 : d.Below(3); n > 0; --n)
          c.Parts.push_back({RandomNumber(d), d.Row(tag.BodyParts)});
      }
      return c;
    }
    case TagKind::Colour: {
      ColourChoices c;
      for (std::int32_t n = 1 + (d.Chance(0.4) ? d.Below(3) : 0), i = 0; i < n; ++i) {
        ColourGroup g;
        g.BodyPart = i == 0 ? -1 : d.Row(ColourBodyParts);
        g.Colour = RandomChain(d, 4);
        if (d.Chance(0.15)) g.ChangesTo = RandomChain(d, 2);
        c.Groups.push_back(std::move(g));
      }
      return c;
    }
    case TagKind::Breath: {
      BreathChoices c;
      for (std::int32_t n = 1 + (d.Chance(0.3) ? d.Below(2) : 0); n > 0; --n) {
        BreathPart w;
        w.Weapon = d.Row(BreathWeapons);
        if (d.Chance(0.1)) w.Weapon = -1, w.Name = d.Word();
        if (d.Chance(0.1)) w.Adjective = d.Word();
        for (std::int32_t k = d.Chance(0.3) ? 1 + d.Below(2) : 0; k > 0; --k) w.Shapes += d.Chance(0.5) ? '|' : '#';
        c.Weapons.push_back(std::move(w));
      }
      return c;
    }
    case TagKind::Diet: {
      DietChoices c;
      c.Rating = d.Rating(tag);
      for (std::int32_t n = d.Below(4); n > 0; --n) c.Foods.push_back({d.Row(FoodTable), d.Chance(0.2)});
      return c;
    }
    case TagKind::Appendages: {
      AppendageChoices c;
      for (std::int32_t n = 1 + d.Below(4); n > 0; --n) {
        AppendageChoices::Entry e;
        e.Row = d.Row(Appendages);
        e.Says = static_cast<AppendageChoices::Entry::Count>(d.Below(4));
        e.Number = d.Below(9);
        e.Webbed = d.Chance(0.2);
        c.Entries.push_back(e);
      }
      return c;
    }
    case TagKind::Skin: {
      SkinChoices c;
      for (std::int32_t n = 1 + d.Below(2); n > 0; --n) c.Types.push_back(d.Row(SkinTypes));
      for (std::int32_t n = d.Chance(0.3) ? 1 + d.Below(2) : 0; n > 0; --n)
        c.Groups.push_back({d.Row(SkinBodyParts), {d.Row(SkinTypes)}});
      return c;
    }
  }
  return {};
}

}  // namespace

Persona RandomPersona(std::mt19937& random) {
  Dice d(random);
  Persona p;
  PersonaItem species = NewItem(nullptr);
  species.Choices = RandomSpecies(d);
  p.Items.push_back(std::move(species));
  // A few tags, each once, in a random order.
  std::vector<const TagRow*> tags;
  for (const TagRow& row : TagCatalogue) tags.push_back(&row);
  std::shuffle(tags.begin(), tags.end(), d.Engine());
  tags.resize(static_cast<std::size_t>(2 + d.Below(9)));
  for (const TagRow* tag : tags) {
    PersonaItem item = NewItem(tag);
    item.Choices = RandomChoices(d, *tag);
    p.Items.push_back(std::move(item));
  }
  return p;
}

// --- model operations ---

namespace {
void OwnLeadIfEmpty(Persona& p, std::size_t at) {
  if (at < p.Items.size() && p.Items[at].Lead && p.Items[at].Lead->empty()) p.Items[at].Lead.reset();
}
}  // namespace

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
  OwnLeadIfEmpty(p, at + 1);
}

}  // namespace zendric
