#include "Fixes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <tuple>

#include "Builder.h"
#include "Catalogue.h"

namespace zendric {
namespace {

constexpr std::u32string_view Prefix = U"ZN2.";
constexpr std::string_view PrefixMessage = "Error - this isn't a Zendric 2";

// Candidates that the reading has to confirm: enough to find the few that pass, few
// enough that a request stays within milliseconds on a long code.
constexpr std::size_t MaxChecks = 160;
// How far from the message's position a mistyped code may start or end.
constexpr std::int32_t Reach = 6;

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t ch : text) AppendUtf8(out, ch);
  return out;
}

char32_t Lower(char32_t ch) { return ch >= U'A' && ch <= U'Z' ? ch + 32 : ch; }
char32_t Upper(char32_t ch) { return ch >= U'a' && ch <= U'z' ? ch - 32 : ch; }

bool SameIgnoringCase(std::u32string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool Same(std::u32string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != static_cast<unsigned char>(b[i])) return false;
  return true;
}

// Letters changed, added, dropped or two neighbours swapped: the slips of typing.
// One key struck twice, or once where it was meant twice ("++++" for "+++").
bool DoubledKey(std::u32string_view a, std::string_view b) {
  std::u32string longer(a), shorter;
  for (char ch : b) shorter += static_cast<unsigned char>(ch);
  if (longer.size() < shorter.size()) std::swap(longer, shorter);
  if (longer.size() != shorter.size() + 1) return false;
  std::size_t k = 0;
  while (k < shorter.size() && longer[k] == shorter[k]) ++k;
  if (longer.substr(k + 1) != shorter.substr(k)) return false;
  return (k > 0 && longer[k - 1] == longer[k]) || (k + 1 < longer.size() && longer[k + 1] == longer[k]);
}

int CharClass(char32_t ch) { return IsDigit(ch) ? 0 : (Lower(ch) >= U'a' && Lower(ch) <= U'z') ? 1 : 2; }

int Distance(std::u32string_view a, std::string_view b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<int> d((n + 1) * (m + 1));
  auto at = [&](std::size_t i, std::size_t j) -> int& { return d[i * (m + 1) + j]; };
  for (std::size_t i = 0; i <= n; ++i) at(i, 0) = static_cast<int>(i);
  for (std::size_t j = 0; j <= m; ++j) at(0, j) = static_cast<int>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      const bool same = a[i - 1] == static_cast<unsigned char>(b[j - 1]);
      int best = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (same ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == static_cast<unsigned char>(b[j - 2]) &&
          a[i - 2] == static_cast<unsigned char>(b[j - 1]))
        best = std::min(best, at(i - 2, j - 2) + 1);
      at(i, j) = best;
    }
  }
  return at(n, m);
}

// Where a key lies on a common keyboard: rows from the top, each row shifted right
// of the one above it; shifted characters lie on their key.
struct KeyRow {
  std::string_view Plain;
  std::string_view Shifted;
  double Offset;
};
constexpr std::array<KeyRow, 4> Keyboard{{
    {"`1234567890-=", "~!@#$%^&*()_+", 0.0},
    {"qwertyuiop[]\\", "QWERTYUIOP{}|", 1.5},
    {"asdfghjkl;'", "ASDFGHJKL:\"", 1.75},
    {"zxcvbnm,./", "ZXCVBNM<>?", 2.25},
}};

bool KeyPlace(char32_t ch, int& row, double& x) {
  for (std::size_t r = 0; r < Keyboard.size(); ++r) {
    for (std::string_view keys : {Keyboard[r].Plain, Keyboard[r].Shifted}) {
      if (ch >= 128) continue;
      if (const std::size_t c = keys.find(static_cast<char>(ch)); c != std::string_view::npos) {
        row = static_cast<int>(r);
        x = Keyboard[r].Offset + static_cast<double>(c);
        return true;
      }
    }
  }
  return false;
}

bool Neighbours(char32_t a, char32_t b) {
  int ra = 0, rb = 0;
  double xa = 0, xb = 0;
  if (!KeyPlace(a, ra, xa) || !KeyPlace(b, rb, xb)) return false;
  const int dy = std::abs(ra - rb);
  const double dx = std::abs(xa - xb);
  return (dy == 0 && dx <= 1.0 && dx > 0.0) || (dy == 1 && dx < 1.0);
}

// Letters changed into one that is not beside it on the keyboard: a slip of the
// finger onto the next key is likelier than a wrong code, and a digit typed for a
// letter is a slip least of all. A letter added or dropped counts as far.
int FarKeys(std::u32string_view a, std::string_view b, int near) {
  if (a.size() != b.size()) return near == 1 && DoubledKey(a, b) ? 0 : near;
  std::vector<std::size_t> differ;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != static_cast<unsigned char>(b[i])) differ.push_back(i);
  // two letters typed in the wrong order are a slip of their own
  if (differ.size() == 2 && differ[1] == differ[0] + 1 && a[differ[0]] == static_cast<unsigned char>(b[differ[1]]) &&
      a[differ[1]] == static_cast<unsigned char>(b[differ[0]]))
    return 0;
  int far = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char32_t w = static_cast<unsigned char>(b[i]);
    if (a[i] != w && !Neighbours(a[i], w)) far += CharClass(a[i]) == CharClass(w) ? 1 : 2;
  }
  return far;
}

// A digit typed for a letter or a mark, away from its key, is no slip: such a change
// would mend the reading by saying something else.
bool CrossesClass(std::u32string_view a, std::string_view b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char32_t w = static_cast<unsigned char>(b[i]);
    if (a[i] != w && CharClass(a[i]) != CharClass(w) && (CharClass(a[i]) == 0 || CharClass(w) == 0) &&
        !Neighbours(a[i], w))
      return true;
  }
  return false;
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

// A sentence of a scale shortened to what it rates: up to its first " - " or " / ".
std::string ShortMeaning(std::string_view text) {
  for (std::string_view cut : {" - ", " / "})
    if (const std::size_t at = text.find(cut); at != std::string_view::npos) text = text.substr(0, at);
  std::string out = Trimmed(text);
  if (out.size() > 40) {
    std::size_t at = out.rfind(' ', 37);
    out.resize(at == std::string::npos ? 37 : at);
    out += "...";
  }
  return out;
}

// "\rMy arms are " is about the arms.
std::string BodyPartWord(std::string_view heading) {
  std::string text = Trimmed(heading);
  std::string_view view = text;
  if (view.starts_with("My ")) view.remove_prefix(3);
  for (std::string_view verb : {" are", " is", " have", " has"})
    if (view.ends_with(verb)) view.remove_suffix(verb.size());
  return std::string(view);
}

struct Word {
  std::string Code;
  std::string Meaning;
};

// What the reading found at the message: the item, and which vocabulary applies.
struct Context {
  enum class Of : std::uint8_t { Prefix, Species, Tag, Stray };
  Of What = Of::Prefix;
  const TagRow* Tag = nullptr;
  std::int32_t TagAt = 0;  // where the tag stands
  Span Item;
};

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<Word> TagWords() {
  std::vector<Word> words;
  for (const TagRow& row : TagCatalogue) words.push_back({std::string(row.Letters), Lowered(row.Title)});
  return words;
}

void AddScale(std::vector<Word>& words, std::span<const ScaleEntry> scale) {
  for (const ScaleEntry& e : scale)
    if (!e.Key.empty()) words.push_back({std::string(e.Key), ShortMeaning(e.Text)});
}

// The codes an item of this context reads, in the order they are listed.
std::vector<Word> Vocabulary(const Context& c) {
  std::vector<Word> words;
  auto one = [](auto ch) { return std::string(1, static_cast<char>(ch)); };
  switch (c.What) {
    case Context::Of::Prefix:
      words.push_back({"ZN2.", "the start of every code"});
      return words;
    case Context::Of::Stray:
      return TagWords();
    case Context::Of::Species:
      for (std::int32_t node : SpeciesNodes())
        words.push_back({SpeciesNodeCode(node), std::string(SpeciesNodeName(node))});
      return words;
    case Context::Of::Tag:
      break;
  }
  const TagRow& tag = *c.Tag;
  switch (tag.Kind) {
    case TagKind::Colour:
      for (const ColourEntry& e : ColourTable)
        if (!e.Code.empty()) words.push_back({std::string(e.Code), std::string(e.Name)});
      for (const ColourModifier& m : ColourModifiers) words.push_back({one(m.Key), Trimmed(m.Word)});
      for (const ColourCombiner& k : ColourCombiners)
        words.push_back({one(k.Key), k.Join.After.empty() ? Trimmed(std::string(k.Join.Before) + std::string(k.Join.Between))
                                                          : Trimmed(k.Join.After)});
      for (const ColourBodyPart& b : ColourBodyParts) words.push_back({one(b.Letter), BodyPartWord(b.Heading)});
      break;
    case TagKind::Breath:
      for (const BreathWeapon& w : BreathWeapons) words.push_back({std::string(w.Code), std::string(w.Name)});
      break;
    case TagKind::Gender:
      for (const GenderRow& g : GenderLetters) {
        std::string_view phrase = g.Phrase;
        for (std::string_view article : {"a ", "an "})
          if (phrase.starts_with(article)) phrase.remove_prefix(article.size());
        words.push_back({one(g.Letter), std::string(phrase)});
      }
      break;
    case TagKind::Appendages:
      for (const AppendageRow& a : Appendages) words.push_back({std::string(a.Code), std::string(a.Noun)});
      break;
    case TagKind::Skin:
      for (const SkinType& t : SkinTypes) words.push_back({one(t.Letter), std::string(t.Word)});
      for (const SkinBodyPart& b : SkinBodyParts) words.push_back({one(b.Letter), BodyPartWord(b.Opener)});
      break;
    case TagKind::Diet:
      AddScale(words, tag.Scale);
      for (const FoodEntry& f : FoodTable) words.push_back({one(f.Letter), std::string(f.Food)});
      break;
    default:
      AddScale(words, tag.Scale);
      // the unit a number without one is read in comes first
      for (const UnitRow& u : tag.Units)
        if (u.Letter == tag.DefaultUnit) words.push_back({one(u.Letter), std::string(u.Word)});
      for (const UnitRow& u : tag.Units)
        if (u.Letter != tag.DefaultUnit) words.push_back({one(u.Letter), std::string(u.Word)});
      for (const BodyPartRow& b : tag.BodyParts) words.push_back({one(b.Letter), Trimmed(b.After)});
      break;
  }
  return words;
}

// The tag written at position q (from 1) of `text`, as the item dispatcher finds it:
// a two-letter tag before the one-letter tag of the same capital.
const TagRow* TagAt(std::u32string_view text, std::int32_t q) {
  auto at = [&](std::int32_t p) -> char32_t {
    return p >= 1 && p <= static_cast<std::int32_t>(text.size()) ? text[static_cast<std::size_t>(p - 1)] : U'\0';
  };
  const char32_t first = at(q), second = at(q + 1);
  if (first >= 128) return nullptr;
  if (second < 128 && second != 0) {
    const char two[] = {static_cast<char>(first), static_cast<char>(second)};
    if (const TagRow* row = FindTag(std::string_view(two, 2))) return row;
  }
  const char letter = static_cast<char>(first);
  return FindTag(std::string_view(&letter, 1));
}

Context FindContext(std::u32string_view text, const ParseResult& reading, std::size_t index) {
  Context c;
  c.Item = reading.MessageItem(index);
  if (c.Item.From == 0) return c;
  if (c.Item.From == 1) {
    // A tag inside the species' form block stands behind its "{" or a blank.
    c.What = Context::Of::Species;
    const std::int32_t p = std::min(reading.MessagePosition(index), c.Item.To);
    for (std::int32_t q = p; q > 5; --q) {
      const char32_t before = text[static_cast<std::size_t>(q - 2)];
      if (before != U'{' && before != U' ') continue;
      if (const TagRow* tag = TagAt(text, q)) {
        c.What = Context::Of::Tag;
        c.Tag = tag;
        c.TagAt = q;
      }
      break;
    }
    return c;
  }
  if (const TagRow* tag = TagAt(text, c.Item.From)) {
    c.What = Context::Of::Tag;
    c.Tag = tag;
    c.TagAt = c.Item.From;
  } else {
    c.What = Context::Of::Stray;
  }
  return c;
}

// Characters that part one code from the next in this context: a window over the
// code never holds one, unless it is that one character alone.
std::u32string_view Separators(const Context& c) {
  if (c.What == Context::Of::Species) return U" \"{}+^[]/~";
  if (c.Tag != nullptr && c.Tag->Kind == TagKind::Colour) return U" \"{},>!%'+-^_|:=*\\@#&/";
  if (c.Tag != nullptr && c.Tag->Kind == TagKind::Breath) return U" \"{}#/|";
  return U" \"{}";
}

// What a message quotes: its last part in parentheses, or a species code.
std::u32string Quoted(std::string_view message) {
  if (message.ends_with(')')) {
    if (const std::size_t at = message.find(" ("); at != std::string_view::npos)
      return DecodeUtf8(message.substr(at + 2, message.size() - at - 3));
  }
  constexpr std::string_view Lead = "Species code ";
  if (const std::size_t at = message.find(Lead); at != std::string_view::npos) {
    const std::size_t from = at + Lead.size();
    for (std::string_view tail : {" is invalid", " can be cut off"})
      if (const std::size_t end = message.rfind(tail); end != std::string_view::npos && end >= from)
        return DecodeUtf8(message.substr(from, end - from));
  }
  return {};
}

std::string Shortened(std::u32string_view text) {
  if (text.size() <= 20) return Utf8(text);
  return Utf8(text.substr(0, 16)) + "...";
}

struct Candidate {
  std::int32_t From = 0;
  std::int32_t To = 0;
  std::u32string Text;
  std::string Label;
  // the ranking, best first
  int Class = 0;     // 0 letter case, 1 a missing mark, 2 a code near the one written, 3 a removal
  int Near = 0;      // letters to change
  int Gap = 0;       // letters more or fewer than written
  int Keys = 0;      // of those, not beside the key typed
  int Window = 0;    // 0 the code the message quotes, 1 a code at its position, 2 one near it
  int Order = 0;     // order of the vocabulary and of generation
  // the code the message quotes is the likeliest to be mistyped, however far from
  // the one meant
  auto Rank() const { return std::make_tuple(Class, Window > 0, Near, Keys, Window, Gap, Order); }
};

std::u32string Edited(std::u32string_view text, std::int32_t from, std::int32_t to, std::u32string_view by) {
  std::u32string out(text.substr(0, static_cast<std::size_t>(from - 1)));
  out += by;
  out += text.substr(static_cast<std::size_t>(to));
  return out;
}

// Reads edited codes and tells whether they pass: fewer messages, none of a new kind.
std::set<std::string> KindsOf(const ParseResult& reading) {
  std::set<std::string> kinds;
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) kinds.insert(MessageKind(reading.Message(i)));
  return kinds;
}

class Checker {
 public:
  Checker(const ParseResult& reading, const std::set<std::string>* kinds)
      : before_(reading.MessageCount()), kinds_(kinds ? *kinds : KindsOf(reading)) {}
  bool Passes(const std::string& code) {
    ++checks_;
    ParseCode(state_, code);
    const ParseResult& r = state_.Result;
    if (r.MessageCount() >= before_) return false;
    for (std::size_t i = 0; i < r.MessageCount(); ++i)
      if (!kinds_.contains(MessageKind(r.Message(i)))) return false;
    return true;
  }
  std::size_t Checks() const { return checks_; }

 private:
  std::size_t before_;
  std::set<std::string> kinds_;
  ParseState state_;
  std::size_t checks_ = 0;
};

// `chain`: how many fixes of later messages a mended prefix may take along. `kinds`,
// when given, are the reading's message kinds, found once for all its messages;
// `checks` counts the edited codes read.
std::vector<Fix> Fixes(std::u32string_view text, const ParseResult& reading, std::size_t index, std::size_t limit,
                       int chain, bool removals = true, const std::set<std::string>* kinds = nullptr,
                       std::size_t* checks = nullptr);

void AddPrefixCandidates(std::u32string_view text, std::vector<Candidate>& out) {
  auto starts = [&](std::size_t k) { return text.substr(0, std::min(k, text.size())); };
  int order = 0;
  if (text.size() >= 4 && SameIgnoringCase(starts(4), "ZN2.")) {
    out.push_back({1, 4, std::u32string(Prefix), "Write ZN2. in capitals", 0, 0, 0, 0, 0, order++});
  }
  if (text.size() >= 3 && SameIgnoringCase(starts(3), "ZN2") && (text.size() == 3 || text[3] != U'.')) {
    if (Same(starts(3), "ZN2")) {
      out.push_back({4, 3, U".", "Insert . after ZN2", 1, 0, 0, 0, 0, order++});
    } else {
      out.push_back({1, 3, std::u32string(Prefix), "Write ZN2. in capitals, with its dot", 1, 0, 0, 0, 0, order++});
    }
  }
  std::size_t blanks = 0;
  while (blanks < text.size() && (text[blanks] == U' ' || text[blanks] == U'\t')) ++blanks;
  if (blanks > 0 && blanks < text.size()) {
    out.push_back({1, static_cast<std::int32_t>(blanks), U"", "Remove the blanks before the code", 1, 0, 0, 0, 0,
                   order++});
  }
  // a prefix mistyped otherwise, when it is not one of those
  for (std::size_t k = 2; k <= 6 && k <= text.size() && out.empty(); ++k) {
    std::u32string upper(starts(k));
    for (char32_t& ch : upper) ch = Upper(ch);
    if (Distance(upper, "ZN2.") == 1) {
      out.push_back({1, static_cast<std::int32_t>(k), std::u32string(Prefix),
                     "Replace " + Utf8(starts(k)) + " with ZN2.", 2, 1, 0, 0, 0, order++});
    }
  }
  out.push_back({1, 0, std::u32string(Prefix), "Insert ZN2. at the start", 2, 4, 0, 0, 0, order++});
}

// The missing closing mark a message names, and what it closes.
bool MissingMark(std::string_view message, char& mark, std::string& what) {
  std::size_t at = message.find("issing ");
  if (at == std::string_view::npos || at + 7 >= message.size()) return false;
  mark = message[at + 7];
  if (mark != ')' && mark != ']' && mark != '}' && mark != '"') return false;
  if (mark == '}') {
    what = "the form block";
    return true;
  }
  const std::size_t in = message.find(" in ", at);
  if (in == std::string_view::npos) {
    what = mark == ']' ? "the trapped-in species" : "the group";
    return true;
  }
  std::string_view subject = message.substr(in + 4);
  if (subject.ends_with(" tag")) {
    subject.remove_suffix(4);
    if (mark == ')') what = "the " + std::string(subject) + " group";
    else if (mark == '"') what = "the quoted " + std::string(subject);
    else what = "the " + std::string(subject) + " field";
  } else {
    what = "the " + std::string(subject);
  }
  return true;
}

void AddMarkCandidates(std::u32string_view text, const ParseResult& reading, std::size_t index,
                       const Context& c, std::vector<Candidate>& out) {
  const std::int32_t p = reading.MessagePosition(index);
  const auto length = static_cast<std::int32_t>(text.size());
  auto at = [&](std::int32_t q) { return q >= 1 && q <= length ? text[static_cast<std::size_t>(q - 1)] : U'\0'; };
  char mark = 0;
  std::string what;
  int order = 0;
  if (MissingMark(reading.Message(index), mark, what)) {
    // where the mark was looked for, before the next few blanks, where the item ends
    std::vector<std::int32_t> places{p};
    for (std::int32_t q = p + 1, found = 0; q <= length && found < 3; ++q)
      if (at(q) == U' ') places.push_back(q), ++found;
    places.push_back(c.Item.To + 1);
    places.push_back(length + 1);
    std::set<std::int32_t> seen;
    for (std::int32_t q : places) {
      if (q < 1 || q > length + 1 || !seen.insert(q).second) continue;
      std::string label = std::string("Insert ") + mark + " to close " + what;
      if (q != p) {
        std::int32_t from = q;
        while (from > 1 && from > q - 12 && at(from - 1) != U' ' && at(from - 1) != U'"' && at(from - 1) != U'(' &&
               at(from - 1) != U'[' && at(from - 1) != U'{')
          --from;
        if (from < q) label += " after " + Utf8(text.substr(static_cast<std::size_t>(from - 1),
                                                             static_cast<std::size_t>(q - from)));
      }
      out.push_back({q, q - 1, std::u32string(1, static_cast<char32_t>(mark)), label, 1, 0, 0, 0, 0, order++});
    }
  }
  if (p > 1 && p <= length && at(p) != U' ' && at(p - 1) != U' ') {
    std::int32_t to = p;
    while (to < length && to < p + 8 && at(to + 1) != U' ') ++to;
    out.push_back({p, p - 1, U" ",
                   "Insert a blank before " + Utf8(text.substr(static_cast<std::size_t>(p - 1),
                                                               static_cast<std::size_t>(to - p + 1))),
                   1, 0, 0, 0, 1, order++});
  }
}

std::string WithMeaning(const Word& w) {
  return w.Meaning.empty() ? w.Code : w.Code + " (" + w.Meaning + ")";
}

void AddVocabularyCandidates(std::u32string_view text, const ParseResult& reading, std::size_t index,
                             const Context& c, std::vector<Candidate>& out) {
  const std::vector<Word> words = Vocabulary(c);
  const std::int32_t p = reading.MessagePosition(index);
  const auto length = static_cast<std::int32_t>(text.size());
  const std::u32string quoted = Quoted(reading.Message(index));
  const std::u32string_view separators = Separators(c);

  // The windows over the code that may hold the code meant: at the message's position
  // or ending there, never across a separator, inside the item behind its tag.
  std::int32_t low = std::max(p - Reach, 1), high = std::min(p + Reach - 2, length + 1);
  if (c.What == Context::Of::Tag) {
    low = std::max(low, c.TagAt + static_cast<std::int32_t>(c.Tag->Letters.size()));
  } else if (c.What == Context::Of::Species) {
    low = std::max(low, 5);
  } else if (c.What == Context::Of::Stray) {
    low = p;
    high = std::min(p + 1, length + 1);
  }
  for (std::int32_t i = low; i <= p && i <= length + 1; ++i) {
    for (std::int32_t j = std::max(i, p - 1); j <= high; ++j) {
      // [i, j): positions i..j-1
      const std::u32string_view sub = text.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(j - i));
      if (sub.size() > 1 && sub.find_first_of(separators) != std::u32string_view::npos) continue;
      if (sub.size() == 1 && sub[0] == U' ') continue;
      const bool isQuoted = !quoted.empty() && sub == quoted && (j == p || i == p || j == p + 1);
      const int window = isQuoted ? 0 : (j == p || i == p) ? 1 : 2;
      // A stray character is only ever a tag in the wrong case.
      const int limit = c.What == Context::Of::Stray ? 0 : isQuoted ? std::max<int>(1, static_cast<int>(sub.size())) : 1;
      for (std::size_t w = 0; w < words.size(); ++w) {
        const Word& word = words[w];
        if (Same(sub, word.Code)) continue;
        // a species code from its category on starts a species, not the middle of one
        if (c.What == Context::Of::Species && IsTagLetter(static_cast<unsigned char>(word.Code[0])) && i > 5 &&
            separators.find(text[static_cast<std::size_t>(i - 2)]) == std::u32string_view::npos)
          continue;
        Candidate cand{i, j - 1, DecodeUtf8(word.Code), "", 2, 0, 0, 0, window, static_cast<int>(w)};
        if (SameIgnoringCase(sub, word.Code)) {
          cand.Class = 0;
          std::string meaning = word.Meaning.empty() ? "" : " (" + word.Meaning + ")";
          const bool allUpper = std::none_of(word.Code.begin(), word.Code.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; });
          cand.Label = allUpper ? "Write " + word.Code + meaning + " in capitals"
                                : "Write " + Utf8(sub) + " as " + word.Code + meaning;
        } else {
          const int d = Distance(sub, word.Code);
          // a window of several characters replaced whole is another code, not a slip
          if (d > limit || (!isQuoted && sub.size() > 1 && d >= static_cast<int>(std::max(sub.size(), word.Code.size()))))
            continue;
          cand.Near = d;
          cand.Gap = static_cast<int>(sub.size() > word.Code.size() ? sub.size() - word.Code.size()
                                                                    : word.Code.size() - sub.size());
          cand.Keys = FarKeys(sub, word.Code, d);
          if (sub.size() == word.Code.size() && CrossesClass(sub, word.Code)) continue;
          cand.Label = sub.empty() ? "Insert " + WithMeaning(word)
                                   : "Replace " + Utf8(sub) + " with " + WithMeaning(word);
        }
        out.push_back(std::move(cand));
      }
    }
  }
}

void AddRemovalCandidates(std::u32string_view text, const ParseResult& reading, std::size_t index,
                          const Context& c, std::vector<Candidate>& out) {
  const std::int32_t p = reading.MessagePosition(index);
  const auto length = static_cast<std::int32_t>(text.size());
  auto at = [&](std::int32_t q) { return q >= 1 && q <= length ? text[static_cast<std::size_t>(q - 1)] : U'\0'; };
  int order = 0;
  if (c.What == Context::Of::Stray && p >= 1 && p <= length) {
    out.push_back({p, p, U"", "Remove the stray " + Utf8(text.substr(static_cast<std::size_t>(p - 1), 1)), 3, 0, 0,
                   0, 0, order++});
  }
  const std::u32string quoted = Quoted(reading.Message(index));
  if (!quoted.empty()) {
    const auto n = static_cast<std::int32_t>(quoted.size());
    for (std::int32_t from : {p - n, p}) {
      if (from >= 1 && from + n - 1 <= length && text.substr(static_cast<std::size_t>(from - 1), quoted.size()) == quoted &&
          (c.What != Context::Of::Species || from > 4)) {
        out.push_back({from, from + n - 1, U"", "Remove " + Shortened(quoted), 3, 1, 0, 0, 0, order++});
        break;
      }
    }
  }
  if (c.What == Context::Of::Tag || c.What == Context::Of::Species) {
    std::int32_t from = c.What == Context::Of::Species ? 5 : c.Item.From;
    std::int32_t to = c.Item.To;
    if (to < from) return;
    const std::u32string_view item = text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
    std::string label = c.What == Context::Of::Species ? "Remove the species " + Shortened(item)
                                                       : "Remove the item " + Shortened(item);
    // take a blank with it, so that no run of blanks is left behind
    if (c.What == Context::Of::Tag && at(from - 1) == U' ') --from;
    else if (at(to + 1) == U' ') ++to;
    out.push_back({from, to, U"", label, 3, 2, 0, 0, 0, order++});
  }
}

// The one edit that turns `text` into `edited`.
Fix Difference(std::u32string_view text, std::u32string_view edited) {
  std::size_t head = 0;
  while (head < text.size() && head < edited.size() && text[head] == edited[head]) ++head;
  std::size_t tail = 0;
  while (tail < text.size() - head && tail < edited.size() - head &&
         text[text.size() - 1 - tail] == edited[edited.size() - 1 - tail])
    ++tail;
  Fix f;
  f.From = static_cast<std::int32_t>(head + 1);
  f.To = static_cast<std::int32_t>(text.size() - tail);
  f.Text = Utf8(edited.substr(head, edited.size() - tail - head));
  return f;
}

std::string Joined(std::string_view first, std::string_view next) {
  std::string out(first);
  out += " and ";
  std::string rest(next);
  if (!rest.empty()) rest[0] = static_cast<char>(Lower(static_cast<unsigned char>(rest[0])));
  return out + rest;
}

std::vector<Fix> Fixes(std::u32string_view text, const ParseResult& reading, std::size_t index, std::size_t limit,
                       int chain, bool removals, const std::set<std::string>* kinds, std::size_t* checks) {
  std::vector<Fix> fixes;
  if (index >= reading.MessageCount() || text.size() > MaxCodeForFixes) return fixes;
  const Context c = FindContext(text, reading, index);
  std::vector<Candidate> candidates;
  if (c.What == Context::Of::Prefix) {
    if (reading.Message(index) != PrefixMessage || text.empty()) return fixes;
    AddPrefixCandidates(text, candidates);
  } else {
    AddMarkCandidates(text, reading, index, c, candidates);
    AddVocabularyCandidates(text, reading, index, c, candidates);
    if (removals) AddRemovalCandidates(text, reading, index, c, candidates);
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.Rank() < b.Rank(); });

  const std::size_t maxChecks = std::clamp<std::size_t>(CheckBudget / (text.size() + 1), 8, MaxChecks);
  Checker checker(reading, kinds);
  struct Count {
    const Checker& checker;
    std::size_t* checks;
    ~Count() {
      if (checks) *checks += checker.Checks();
    }
  } count{checker, checks};
  std::set<std::u32string> tried, offered;
  for (const Candidate& cand : candidates) {
    if (fixes.size() >= limit || checker.Checks() >= maxChecks) break;
    std::u32string edited = Edited(text, cand.From, cand.To, cand.Text);
    if (!tried.insert(edited).second) continue;
    if (checker.Passes(Utf8(edited))) {
      offered.insert(edited);
      fixes.push_back({cand.From, cand.To, Utf8(cand.Text), cand.Label});
      continue;
    }
    // Behind a missing prefix nothing was read: mended, the code may show messages of
    // its own, which the fixes of those messages may mend in turn.
    if (c.What != Context::Of::Prefix || chain <= 0 || cand.Class > 1) continue;
    std::string label = cand.Label;
    for (int step = 0; step < 3; ++step) {
      const ParseResult next = ParseCode(Utf8(edited));
      if (next.MessageCount() == 0 || next.Message(0) == PrefixMessage) break;
      // what a prefix takes along mends; it removes nothing
      const std::vector<Fix> more = Fixes(edited, next, 0, 1, 0, false);
      if (more.empty()) break;
      edited = Edited(edited, more[0].From, more[0].To, DecodeUtf8(more[0].Text));
      label = Joined(label, more[0].Label);
      if (offered.contains(edited)) break;
      if (checker.Passes(Utf8(edited))) {
        offered.insert(edited);
        Fix f = Difference(text, edited);
        f.Label = label;
        fixes.push_back(std::move(f));
        break;
      }
    }
  }
  return fixes;
}

}  // namespace

std::string MessageKind(std::string_view message) {
  std::string_view text = message;
  std::string_view after;
  if (const std::u32string quoted = Quoted(message); !quoted.empty() || message.ends_with("()")) {
    if (message.ends_with(')')) {
      text = message.substr(0, message.find(" (") + 2);
      after = ")";
    } else {
      const std::size_t from = message.find("Species code ") + 13;
      const std::size_t end = message.find(' ', from + Utf8(quoted).size());
      text = message.substr(0, from);
      after = end == std::string_view::npos ? std::string_view() : message.substr(end);
    }
  }
  std::string kind;
  for (std::string_view part : {text, after})
    for (char ch : part)
      if (ch < '0' || ch > '9') kind += ch;
  return kind;
}

std::vector<Fix> FixesFor(std::string_view code, const ParseResult& reading, std::size_t index) {
  return Fixes(DecodeUtf8(code), reading, index, MaxFixes, 1);
}

std::vector<std::vector<Fix>> FixesForEach(std::string_view code, const ParseResult& reading) {
  std::vector<std::vector<Fix>> all(reading.MessageCount());
  const std::u32string text = DecodeUtf8(code);
  if (text.size() > MaxCodeForFixes) return all;
  const std::set<std::string> kinds = KindsOf(reading);
  std::size_t checks = 0;
  // each message looked at walks the code once more, each check reads it once more
  for (std::size_t i = 0; i < all.size() && (checks + i) * (text.size() + 1) < CodeCheckBudget; ++i)
    all[i] = Fixes(text, reading, i, MaxFixes, 1, true, &kinds, &checks);
  return all;
}

std::string ApplyFix(std::string_view code, const Fix& fix) {
  const std::u32string text = DecodeUtf8(code);
  const auto length = static_cast<std::int32_t>(text.size());
  if (fix.From < 1 || fix.From > length + 1 || fix.To < fix.From - 1 || fix.To > length) return Utf8(text);
  return Utf8(Edited(text, fix.From, fix.To, DecodeUtf8(fix.Text)));
}

std::string ExplainMessage(std::string_view code, const ParseResult& reading, std::size_t index) {
  if (index >= reading.MessageCount()) return {};
  const std::u32string text = DecodeUtf8(code);
  const Context c = FindContext(text, reading, index);
  std::string out;
  std::size_t few = 6;
  switch (c.What) {
    case Context::Of::Prefix:
      return "A Zendric 2 code starts with ZN2. in capitals, then the species, then items separated by blanks.";
    case Context::Of::Stray:
      out = "Here a tag is expected, a capital letter or two:";
      few = 8;
      break;
    case Context::Of::Species:
      out = "Species, written right behind ZN2. as a path of letters:";
      break;
    case Context::Of::Tag:
      out = std::string(c.Tag->Title) + " (" + std::string(c.Tag->Letters) + "):";
      break;
  }
  const std::vector<Word> words = Vocabulary(c);
  for (std::size_t i = 0; i < words.size() && i < few; ++i) out += (i ? ", " : " ") + WithMeaning(words[i]);
  if (words.size() > few) out += ", ...";
  return out;
}

FixRun FixRepeatedly(std::string_view code, int maxSteps) {
  FixRun run;
  run.Fixed = ToValidUtf8(code);
  run.Reading = ParseCode(run.Fixed);
  for (int step = 0; step < maxSteps; ++step) {
    const std::u32string text = DecodeUtf8(run.Fixed);
    bool applied = false;
    for (std::size_t i = 0; i < run.Reading.MessageCount() && !applied; ++i) {
      const std::vector<Fix> fixes = Fixes(text, run.Reading, i, 1, 1);
      if (fixes.empty()) continue;
      run.Fixed = Utf8(Edited(text, fixes[0].From, fixes[0].To, DecodeUtf8(fixes[0].Text)));
      run.Applied.push_back(fixes[0].Label);
      run.Reading = ParseCode(run.Fixed);
      applied = true;
    }
    if (!applied) break;
  }
  return run;
}

}  // namespace zendric
