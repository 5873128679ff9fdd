// What the builder's kinds of item share: small helpers over the readers' tables, a
// cursor over an item's text, the dice of random personas and the walk that describes
// and sets a form. Each kind of item has its own file beside this one, with its writer,
// its reader of what it writes, its first and its random choices and its form.
#pragma once

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Builder.h"
#include "BuilderForm.h"

namespace zendric::builder {

inline constexpr std::string_view CodePrefix = "ZN2.";

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
inline std::string Clean(std::string_view text, std::string_view forbidden) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && forbidden.find(c) == std::string_view::npos) out += c;
  return out;
}
inline std::string CleanOwnName(std::string_view text) {
  std::string out;
  for (char c : text)
    if (OwnNameAllows(static_cast<unsigned char>(c))) out += c;
  return out;
}

// Bytes of the character `text` starts with, as DecodeUtf8 reads it: a maximal
// ill-formed part counts as one character. `text` is not empty.
inline std::size_t CharacterBytes(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char b = p[0];
  int need = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) need = 1;
  else if (b >= 0xE0 && b <= 0xEF) need = 2, lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
  else if (b >= 0xF0 && b <= 0xF4) need = 3, lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
  // A maximal ill-formed part ends at the first byte that cannot continue it.
  std::size_t i = 1;
  for (int k = 0; k < need && i < text.size() && p[i] >= lo && p[i] <= hi; ++k, ++i) lo = 0x80, hi = 0xBF;
  return i;
}

// `text` between two marks.
inline std::string Enclose(char open, std::string_view text, char close) {
  std::string out(1, open);
  out += text;
  out += close;
  return out;
}

inline bool IsPlus(std::string_view key) { return !key.empty() && key.front() == '+'; }

inline std::string_view Key(const TagRow& tag, std::int32_t rating) {
  return InTable(tag.Scale, rating) ? tag.Scale[static_cast<std::size_t>(rating)].Key : std::string_view();
}

// Digits with at most one "." between digits; anything else reads as "1".
inline std::string CleanNumber(std::string_view number) {
  const std::size_t dot = number.find('.');
  const auto digits = [](std::string_view d) {
    return !d.empty() && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const bool ok = dot == std::string_view::npos ? digits(number)
                                                : digits(number.substr(0, dot)) && digits(number.substr(dot + 1));
  return ok ? std::string(number) : std::string("1");
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

inline std::optional<std::int32_t> RatingOf(const TagRow& tag, TextCursor& t, TerminatorSet stops) {
  const std::string_view key = t.KeyUntil(stops.With(" \""));
  const ScaleEntry* row = FindRow(tag.Scale, &ScaleEntry::Key, key);
  if (row == nullptr) return std::nullopt;
  return static_cast<std::int32_t>(row - tag.Scale.data());
}

inline std::int32_t ToInt(std::string_view digits) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : -1;
}

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

// The "~" food (anything) cannot follow a rating, and "~" right behind it reads as
// "any": it goes in front, and never together with the "~" rating.
inline constexpr std::int32_t AnythingRow = 0;
static_assert(FoodTable[AnythingRow].Letter == U'~');

// --- the form ---

// Most entries a list of the form grows to: enough for any persona, few enough to read.
inline constexpr std::size_t MostParts = 8;
inline constexpr std::size_t MostColourLinks = 6;

// A reading text as a label: display-line breaks become blanks, none at either end.
inline std::string Plain(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '\r', ' ');
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

inline std::string Numbered(std::string_view name, std::size_t i, std::size_t count) {
  return count > 1 ? std::string(name) + " " + std::to_string(i + 1) : std::string(name);
}

// What a number field takes, said beside it when it refuses a value.
inline constexpr std::string_view CountTakes = "Digits only (0 to 9), at most 9 of them.";
inline constexpr std::string_view DecimalTakes =
    "Digits (0 to 9), with at most one \".\" between digits, and at most 12 digits on either side of it.";

// A count as typed: digits only, at most nine of them.
inline std::optional<std::int32_t> Count(std::string_view text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return ToInt(text);
}

// A measurement as typed: digits, and at most one "." with digits on both sides.
inline bool Decimal(std::string_view text) {
  const auto digits = [](std::string_view d) {
    return !d.empty() && d.size() <= 12 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::size_t dot = text.find('.');
  return dot == std::string_view::npos ? digits(text) : digits(text.substr(0, dot)) && digits(text.substr(dot + 1));
}

template <typename Vector>
void EraseAt(Vector& v, std::size_t i) {
  if (i < v.size()) v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
}

// The fields of an item, described by one walk over its choices. The same walk sets
// a value: the field whose key is `target` hands the value to the code that added it,
// which changes the choices there; fields added after it change nothing. A field's key
// is its group's key and its label, so it stays while other fields come and go.
class Form {
 public:
  using Kind = FormField::Kind;
  Form() = default;
  Form(std::string_view target, std::string_view value) : target_(target), value_(value), setting_(true) {}

  std::vector<FormField> Fields;
  bool Taken = false;  // the value was given to its field
  bool Found = false;  // the field set is among the fields
  Kind TakenShape = Kind::Note;
  std::string Why;     // the field set refused the value: what it takes

  // The fields from here on belong to a new group; `key` names it where its title
  // follows a choice (a body part's heading).
  void Group(std::string name) { Group(name, name); }
  void Group(std::string name, std::string key) {
    group_ = std::move(name);
    groupKey_ = std::move(key);
  }

  // Each field returns the value given to it, when it is the field set and takes it.
  std::optional<std::string_view> Select(std::string label, std::vector<FormOption> options, std::string value,
                                         std::uint8_t hints = HintNone) {
    const bool offered = std::any_of(options.begin(), options.end(), [&](const FormOption& o) { return o.Value == value_; });
    Add(Kind::Select, std::move(label), std::move(options), std::move(value), hints);
    return Take(offered, "This is none of the options offered here.");
  }
  // A choice of one table row, the row's index as the value.
  std::optional<std::int32_t> Rows(std::string label, std::vector<FormOption> options, std::int32_t row,
                                   std::uint8_t hints = HintNone) {
    const auto v = Select(std::move(label), std::move(options), std::to_string(row), hints);
    return v ? std::optional<std::int32_t>(ToInt(*v)) : std::nullopt;
  }
  std::optional<std::string_view> Number(std::string label, std::string value, bool valid, std::string_view takes) {
    Add(Kind::Number, std::move(label), {}, std::move(value));
    return Take(valid, takes);
  }
  std::optional<std::string_view> Text(std::string label, std::string value) {
    const std::uint8_t hints = value.size() > LongestShown ? HintLong : HintNone;
    Add(Kind::Text, std::move(label), {}, std::move(value), hints);
    return Take(true, {});
  }
  std::optional<bool> Check(std::string label, bool on, std::uint8_t hints = HintNone) {
    Add(Kind::Check, std::move(label), {}, on ? "1" : "0", hints);
    const auto v = Take(value_ == "1" || value_ == "0", "A check takes 1 (ticked) or 0.");
    return v ? std::optional<bool>(*v == "1") : std::nullopt;
  }
  bool Button(std::string label) {
    Add(Kind::Button, std::move(label), {}, {});
    return Take(true, {}).has_value();
  }
  void Note(std::string label, std::string text) { Add(Kind::Note, std::move(label), {}, std::move(text)); }

  // The value given, to check before describing the field (a number's validity).
  std::string_view Value() const { return value_; }
  // Whether the walk sets a value rather than describing: what only a description
  // shows (a note) need not be made.
  bool Setting() const { return setting_; }

 private:
  void Add(Kind kind, std::string label, std::vector<FormOption> options, std::string value, std::uint8_t hints = HintNone) {
    std::string key = groupKey_.empty() ? label : groupKey_ + "/" + label;
    Fields.push_back({kind, std::move(key), group_, std::move(label), std::move(options), std::move(value), hints});
  }
  std::optional<std::string_view> Take(bool acceptable, std::string_view why) {
    if (!setting_ || Taken || Found || Fields.back().Key != target_) return std::nullopt;
    Found = true;
    if (!acceptable) {
      Why = why;
      return std::nullopt;
    }
    Taken = true;
    TakenShape = Fields.back().Shape;
    return value_;
  }

  std::string_view target_;
  std::string_view value_;
  bool setting_ = false;
  std::string group_, groupKey_;
};

// --- vocabulary as options ---

inline std::vector<FormOption> RatingOptions(const TagRow& tag) {
  std::vector<FormOption> out;
  for (std::size_t i = 0; i < tag.Scale.size(); ++i)
    if (RatingOffered(tag, static_cast<std::int32_t>(i))) out.push_back({std::to_string(i), Plain(tag.Scale[i].Text), {}, 0});
  return out;
}

// The row the readers call normal: the empty key.
inline std::int32_t NormalRating(const TagRow& tag) {
  const ScaleEntry* row = FindRow(tag.Scale, &ScaleEntry::Key, std::string_view());
  return row == nullptr ? 0 : static_cast<std::int32_t>(row - tag.Scale.data());
}

template <typename Table, typename Text>
std::vector<FormOption> RowOptions(const Table& table, Text text) {
  std::vector<FormOption> out;
  for (std::size_t i = 0; i < std::size(table); ++i) out.push_back({std::to_string(i), std::string(text(table[i])), {}});
  return out;
}

// A select of spellings, with the one chosen offered even when it is none of the usual.
inline std::vector<FormOption> Spellings(std::vector<std::string_view> usual, std::string_view chosen,
                                  std::string (*text)(std::string_view)) {
  if (std::find(usual.begin(), usual.end(), chosen) == usual.end()) usual.push_back(chosen);
  std::vector<FormOption> out;
  for (std::string_view s : usual) out.push_back({std::string(s), text(s), {}});
  return out;
}

// --- one kind of item ---

// Every kind of choices has these, found by the type of its choices: the text it
// writes (behind the tag's letters), its choices read back from that text, the first
// choices of a new item, random choices, and its form.
#define ZENDRIC_BUILDER_KIND(C)                                  \
  std::string Build(const TagRow* tag, const C& c);              \
  std::optional<C> Open(const TagRow* tag, TextCursor& t, const C&); \
  void Start(const TagRow* tag, C& c);                           \
  void Random(Dice& d, const TagRow* tag, C& c);                 \
  void Fields(Form& f, const TagRow* tag, C& c);
ZENDRIC_BUILDER_KIND(SpeciesChoices)
ZENDRIC_BUILDER_KIND(RatedChoices)
ZENDRIC_BUILDER_KIND(SplitChoices)
ZENDRIC_BUILDER_KIND(GenderChoices)
ZENDRIC_BUILDER_KIND(MeasureChoices)
ZENDRIC_BUILDER_KIND(ColourChoices)
ZENDRIC_BUILDER_KIND(BreathChoices)
ZENDRIC_BUILDER_KIND(DietChoices)
ZENDRIC_BUILDER_KIND(AppendageChoices)
ZENDRIC_BUILDER_KIND(SkinChoices)
#undef ZENDRIC_BUILDER_KIND

// The species tree's code of each node, by position - 1.
const std::vector<std::string>& SpeciesCodes();

}  // namespace zendric::builder
