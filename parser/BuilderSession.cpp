#include "BuilderSession.h"

#include <algorithm>
#include <optional>

#include "ParseState.h"

namespace zendric {
namespace {

// Steps kept for undo: enough for any sitting, and a bound on memory when every step
// holds a persona with a long text kept as written.
constexpr std::size_t MostSteps = 500;
constexpr std::size_t MostStepBytes = std::size_t{64} << 20;

std::u16string Utf16Of(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (char32_t ch : DecodeUtf8(utf8)) {
    if (ch >= 0x10000) {
      ch -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (ch >> 10));
      out += static_cast<char16_t>(0xDC00 + (ch & 0x3FF));
    } else {
      out += static_cast<char16_t>(ch);
    }
  }
  return out;
}

bool HighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool LowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The units of the character starting at `at`: a surrogate pair is one character.
std::size_t CharacterUnits(std::u16string_view text, std::size_t at) {
  return HighSurrogate(text[at]) && at + 1 < text.size() && LowSurrogate(text[at + 1]) ? 2 : 1;
}

// The offset where line `line` (from 1) starts, or npos past the last line.
std::size_t LineStart(std::u16string_view field, std::int32_t line) {
  std::size_t at = 0;
  for (std::int32_t n = 1; n < line; ++n) {
    while (at < field.size() && !IsLineEnd(field[at])) ++at;
    if (at == field.size()) return std::u16string_view::npos;
    at += field[at] == u'\r' && at + 1 < field.size() && field[at + 1] == u'\n' ? 2 : 1;
  }
  return at;
}

std::size_t LineEnd(std::u16string_view field, std::size_t at) {
  while (at < field.size() && !IsLineEnd(field[at])) ++at;
  return at;
}

bool Blank(char16_t u) { return u == u' ' || u == u'\t'; }

std::size_t Bytes(const Persona& p) {
  std::size_t n = p.Prefix.size() + p.Tail.size();
  for (const PersonaItem& item : p.Items)
    n += sizeof item + item.Kept.size() + item.Lead.value_or("").size() + item.Spelling.value_or("").size();
  return n;
}

}  // namespace

FieldRange FoundCodeRange(std::u16string_view field, const FoundCode& code) {
  const auto end = static_cast<std::int32_t>(field.size());
  std::size_t at = LineStart(field, code.Line);
  if (at == std::u16string_view::npos) return {end, end};
  // A byte-order mark in front of the text counts for no column.
  if (code.Line == 1 && at < field.size() && field[at] == 0xFEFF) ++at;
  for (std::int32_t column = 1; column < code.Column && at < field.size() && !IsLineEnd(field[at]); ++column)
    at += CharacterUnits(field, at);
  const std::size_t start = at;
  if (field.substr(start, 4) != u"ZN2.") return {end, end};
  std::size_t stop = 0;
  if (code.Lines <= 1) {
    // The code's own characters: it may end before another code on the line, or where
    // the finder stopped taking a very long line.
    const std::size_t characters = DecodeUtf8(code.Code).size();
    stop = start;
    for (std::size_t n = 0; n < characters && stop < field.size() && !IsLineEnd(field[stop]); ++n)
      stop += CharacterUnits(field, stop);
  } else {
    const std::size_t last = LineStart(field, code.Line + code.Lines - 1);
    stop = LineEnd(field, last == std::u16string_view::npos ? start : last);
    while (stop > start && Blank(field[stop - 1])) --stop;
  }
  return {static_cast<std::int32_t>(start), static_cast<std::int32_t>(stop)};
}

BuilderSession::BuilderSession() { Load({}, -1); }

void BuilderSession::Load(std::u16string_view field, std::ptrdiff_t chosen, const FieldModel* read) {
  auto opened = std::make_shared<Opened>();
  opened->Field = std::u16string(field);
  opened->Range = {0, static_cast<std::int32_t>(field.size())};
  std::optional<FieldModel> own;
  const FieldModel& model = read != nullptr && read->Text() == field ? *read : own.emplace(opened->Field);
  if (model.MayOffer()) {
    const std::vector<OfferedCode> found = FindOffered(field);
    if (model.Offers(found.size()) && !found.empty()) {
      const std::size_t pick = chosen >= 0 && static_cast<std::size_t>(chosen) < found.size() ? static_cast<std::size_t>(chosen) : 0;
      const FieldRange range = FoundCodeRange(field, found[pick].Found);
      if (range.End > range.Start) {
        opened->Whole = false;
        opened->Range = range;
        opened->Text = found[pick].Found.Code;
      }
    }
  }
  if (opened->Whole) opened->Text = std::string(model.Code());
  if (opened->Text.empty()) {
    persona_ = Persona();
    persona_.Items.push_back(NewItem(nullptr));
  } else {
    // The whole field is read already.
    const bool read = opened->Whole && !model.TooLarge();
    const ParseResult ownReading = read ? ParseResult() : ParseCode(opened->Text);
    const ParseResult& reading = read ? model.Reading() : ownReading;
    persona_ = OpenCode(opened->Text, reading);
    listing_ = ListReading(reading);
    listed_ = opened->Text;
    hasListing_ = true;
  }
  opened->Code = BuildCode(persona_);
  opened_ = std::move(opened);
}

void BuilderSession::Start(std::u16string_view field, std::ptrdiff_t chosen, const FieldModel* read) {
  undo_.clear();
  redo_.clear();
  typing_ = false;
  Load(field, chosen, read);
}

void BuilderSession::Open(std::u16string_view field, std::ptrdiff_t chosen) {
  typing_ = false;
  Persona before = persona_;
  std::shared_ptr<const Opened> from = opened_;
  Load(field, chosen);
  Record(std::move(before), 0, std::move(from));
}

const ReadingListing& BuilderSession::Listing() const {
  std::string code = Code();
  if (!hasListing_ || code != listed_) {
    listing_ = ListReading(ParseCode(code));
    listed_ = std::move(code);
    hasListing_ = true;
  }
  return listing_;
}

bool BuilderSession::Changed() const { return BuildCode(persona_) != opened_->Code; }

void BuilderSession::EndTyping() { typing_ = false; }

namespace {

// Whether two personas are the same to the user: the same code, item by item.
bool Same(const Persona& a, const Persona& b) {
  return a.Prefix == b.Prefix && a.Tail == b.Tail && a.Items.size() == b.Items.size() &&
         std::equal(a.Items.begin(), a.Items.end(), b.Items.begin(), [](const PersonaItem& x, const PersonaItem& y) {
           return x.Tag == y.Tag && x.IsKept() == y.IsKept() && x.Lead == y.Lead && BuildItem(x) == BuildItem(y);
         });
}

}  // namespace

// A step is kept only when it changed the persona: a choice of what was chosen is none.
void BuilderSession::Record(Persona before, std::size_t item, std::shared_ptr<const Opened> from) {
  if (Same(before, persona_) && from == opened_) return;
  redo_.clear();
  undo_.push_back(Step{std::move(before), std::move(from), item});
  // The oldest steps go first when the sitting grows too long or too large.
  std::size_t bytes = 0;
  for (const Step& s : undo_) bytes += Bytes(s.State);
  while (undo_.size() > MostSteps || (undo_.size() > 1 && bytes > MostStepBytes)) {
    bytes -= Bytes(undo_.front().State);
    undo_.erase(undo_.begin());
  }
}

FieldAnswer BuilderSession::Choose(std::size_t at, std::string_view key, std::string_view value) {
  typing_ = false;
  Persona before = persona_;
  FieldAnswer answer = GiveField(persona_, at, key, value);
  Record(std::move(before), at);
  return answer;
}

// The keys typed into one field make one step: the first that changes the persona
// records the persona from before the first key, and the later ones change only the
// persona.
FieldAnswer BuilderSession::Type(std::size_t at, std::string_view key, std::string_view value) {
  if (!typing_ || typingAt_ != at || typingKey_ != key) {
    typing_ = true;
    typingAt_ = at;
    typingKey_ = std::string(key);
    typingRecorded_ = false;
    typingBefore_ = persona_;
  }
  FieldAnswer answer = GiveField(persona_, at, key, value);
  if (!typingRecorded_ && !Same(typingBefore_, persona_)) {
    Record(typingBefore_, at);
    typingRecorded_ = true;
  }
  return answer;
}

std::size_t BuilderSession::Add(const TagRow* tag, std::ptrdiff_t after) {
  typing_ = false;
  Persona before = persona_;
  const std::size_t at = AddItemBehind(persona_, tag, after);
  Record(std::move(before), at);
  return at;
}

void BuilderSession::Remove(std::size_t at) {
  typing_ = false;
  Persona before = persona_;
  RemoveItem(persona_, at);
  Record(std::move(before), at);
}

std::size_t BuilderSession::Move(std::size_t at, int step) {
  typing_ = false;
  Persona before = persona_;
  const std::size_t now = MoveItemBy(persona_, at, step);
  Record(std::move(before), now);
  return now;
}

void BuilderSession::Random(std::mt19937& random) {
  typing_ = false;
  Persona before = persona_;
  persona_ = RandomPersona(random);
  Record(std::move(before), 0);
}

bool BuilderSession::CanUndo() const { return !undo_.empty(); }
bool BuilderSession::CanRedo() const { return !redo_.empty(); }

// Undo and redo are one move: the last step of one list swaps its state with the
// persona's and goes onto the other.
std::optional<std::size_t> BuilderSession::Swap(std::vector<Step>& from, std::vector<Step>& to) {
  typing_ = false;
  if (from.empty()) return std::nullopt;
  Step step = std::move(from.back());
  from.pop_back();
  std::swap(step.State, persona_);
  std::swap(step.From, opened_);
  const std::size_t item = step.Item;
  to.push_back(std::move(step));
  return std::min(item, persona_.Items.empty() ? 0 : persona_.Items.size() - 1);
}

std::optional<std::size_t> BuilderSession::Undo() { return Swap(undo_, redo_); }
std::optional<std::size_t> BuilderSession::Redo() { return Swap(redo_, undo_); }

std::optional<BuilderSession::Splice> BuilderSession::Use(std::u16string_view field) const {
  const std::string code = BuildCode(persona_);
  const Opened& o = *opened_;
  if (code == o.Text) return std::nullopt;
  const std::u16string text = Utf16Of(code);
  const auto size = static_cast<std::int32_t>(field.size());
  if (field == o.Field) return Splice{o.Range, text};
  // The field was edited since: the code goes where the text opened stands now, the
  // place nearest the one it was opened at; a field emptied takes it whole.
  if (field.empty()) return Splice{{0, 0}, text};
  const std::u16string_view was =
      std::u16string_view(o.Field).substr(static_cast<std::size_t>(o.Range.Start), static_cast<std::size_t>(o.Range.End - o.Range.Start));
  if (!was.empty()) {
    std::size_t best = std::u16string_view::npos;
    for (std::size_t at = field.find(was); at != std::u16string_view::npos; at = field.find(was, at + 1)) {
      const auto distance = [&](std::size_t a) {
        const auto was = static_cast<std::size_t>(o.Range.Start);
        return a > was ? a - was : was - a;
      };
      if (best == std::u16string_view::npos || distance(at) < distance(best)) best = at;
    }
    if (best != std::u16string_view::npos)
      return Splice{{static_cast<std::int32_t>(best), static_cast<std::int32_t>(best + was.size())}, text};
  }
  return Splice{{size, size}, (IsLineEnd(field.back()) ? u"" : u"\n") + text};
}

std::u16string BuilderSession::Used(std::u16string_view field) const {
  const std::optional<Splice> splice = Use(field);
  std::u16string out(field);
  if (splice)
    out.replace(static_cast<std::size_t>(splice->Range.Start), static_cast<std::size_t>(splice->Range.End - splice->Range.Start),
                splice->Text);
  return out;
}

}  // namespace zendric
