// Age, joviality, mating status and offspring: one entry, or one per real or virtual life.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
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
    options.push_back({"+", "I have …" + std::string(StillHomeText), {}});
    options.push_back({"-", "I have …" + std::string(FlownText), {}});
    const bool counted = e.CountSign == '+' || e.CountSign == '-';
    if (const auto v = f.Select(title, std::move(options), counted ? std::string(1, e.CountSign) : std::to_string(e.Rating))) {
      if (*v == "+" || *v == "-") e.CountSign = v->front();
      else e.CountSign = '\0', e.Rating = ToInt(*v);
    }
    if (counted)
      if (f.Number("How many hatchlings", std::to_string(e.Count), Count(f.Value()).has_value(), CountTakes)) e.Count = *Count(f.Value());
    if (const auto on = f.Check(Plain(AdoptedText), e.Adopted)) e.Adopted = *on;
    return;
  }
  if (const auto row = f.Rows(title, RatingOptions(tag), e.Rating)) e.Rating = *row;
  if (tag.ReadEntry != ReadMatingEntry) return;
  const auto rating = static_cast<std::size_t>(std::clamp<std::int32_t>(e.Rating, 0, static_cast<std::int32_t>(tag.Scale.size()) - 1));
  // Counts and deaths follow plusses only.
  if (tag.Scale[rating].Key.starts_with('+')) {
    if (f.Number("How many mates (0: not said)", std::to_string(e.Mates), Count(f.Value()).has_value(), CountTakes)) e.Mates = *Count(f.Value());
    if (const auto on = f.Check(Plain(MateDeadText), e.MateDead)) e.MateDead = *on;
  }
  const bool conspiracy = e.Conspiracy == 'x' || e.Conspiracy == 'y';
  if (const auto v = f.Select("Conspiracy",
                              {{"", "none", {}}, {"x", Plain(XXConspiracyText), {}}, {"y", Plain(XYConspiracyText), {}}},
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

}  // namespace

std::string Build(const TagRow* tag, const SplitChoices& c) { return BuildSplit(*tag, c); }

std::optional<SplitChoices> Open(const TagRow* tag, TextCursor& t, const SplitChoices&) { return OpenSplit(*tag, t); }

void Start(const TagRow*, SplitChoices& c) {
  c.Entries = {SplitEntry{}};
}

void Random(Dice& d, const TagRow* tagRow, SplitChoices& c) {
  const TagRow& tag = *tagRow;
  if (d.Chance(0.7)) {
    c.Entries.push_back(RandomEntry(d, tag));
  } else {
    for (std::int32_t n = 1 + d.Below(3); n > 0; --n) {
      c.Entries.push_back(RandomEntry(d, tag));
      c.Entries.back().Of = d.Chance(0.5) ? SplitEntry::Life::Real : SplitEntry::Life::Virtual;
    }
  }
}

void Fields(Form& f, const TagRow* tag, SplitChoices& c) { SplitFields(f, *tag, c); }

}  // namespace zendric::builder
