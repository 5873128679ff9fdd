// The form of any item: the fields of its kind, or for an item kept as written its
// text and what reading it alone says.
#include "Finder.h"
#include "Kit.h"
#include "ZNParser.h"

#include <algorithm>

namespace zendric::builder {
namespace {

// A message that quotes a long text is cut shorter in the note than in the reading:
// the note stands in a label among the item's fields, a hundred messages at the most.
constexpr std::size_t LongestNoteMessage = 200;

// What reading a kept text alone says: its messages, as many as a builder lists.
std::string ReadAloneNote(const std::string& kept) {
  const ParseResult reading = ParseCode("ZN2. " + kept);
  std::string messages;
  const std::size_t listed = std::min(reading.MessageCount(), MostMessagesListed);
  for (std::size_t i = 0; i < listed; ++i) messages += CutText(reading.Message(i), LongestNoteMessage) + "\n";
  if (listed < reading.MessageCount()) messages += MoreMessages(reading.MessageCount() - listed) + "\n";
  if (!messages.empty()) messages.pop_back();
  return messages.empty() ? "No message: the builder writes this item another way, so it stays as written." : messages;
}

// The form of a kept item is described again on every choice and key, and a megabyte
// full of errors takes a tenth of a second to read: the item keeps the note of the
// text it was last read with, shared by its copies in the steps to undo.
const std::string& ReadAlone(const PersonaItem& item) {
  if (!item.KeptNote || item.KeptNote->first != item.Kept)
    item.KeptNote = std::make_shared<const std::pair<std::string, std::string>>(item.Kept, ReadAloneNote(item.Kept));
  return item.KeptNote->second;
}

// A kept item is its text, edited in place: it stays kept while it is typed, so that
// its form keeps its shape under the typing, and what reading it alone says follows.
// A value given to the text is checked by walks of their own, none of which shows the
// note: reading a megabyte for it three times made a key cost a tenth of a second more.
void KeptFields(Form& f, PersonaItem& item) {
  if (const auto text = f.Text("As written", item.Kept)) item.Kept = std::string(*text);
  f.Note("Read alone", f.Setting() ? std::string() : ReadAlone(item));
}

void Fill(Form& f, PersonaItem& item) {
  std::visit(
      [&](auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, std::monostate>) KeptFields(f, item);
        else if (std::is_same_v<C, SpeciesChoices> || item.Tag != nullptr) Fields(f, item.Tag, c);
      },
      item.Choices);
}

// The item's own text, as the builder writes its choices.
std::string OwnText(PersonaItem item) {
  item.Spelling.reset();
  return BuildItem(item);
}

// Whether `value`, given to the text field `key` of `item`, reads back as typed: the
// item built from it, opened again behind a species of its own, has that very text in
// that field, and pasted after a few words it is found as one code.
bool ReadsBack(const PersonaItem& item, std::string_view key, std::string_view value) {
  PersonaItem changed = item;
  changed.Spelling.reset();
  Form f(key, value);
  Fill(f, changed);
  if (!f.Taken) return false;
  if (changed.IsKept()) return true;  // a kept text is what it is; only the rules below hold it
  Persona alone;
  if (!changed.IsSpecies()) alone.Items.push_back(NewItem(nullptr));
  alone.Items.push_back(changed);
  const std::string code = BuildCode(alone);
  const Persona opened = OpenCode(code);
  if (opened.Items.size() != alone.Items.size() || opened.Items.back().IsKept()) return false;
  for (const FormField& field : DescribeItem(opened.Items.back()))
    if (field.Key == key) return field.Value == value && FindCodes("My code: " + code).size() == 1;
  return false;
}

// Bytes of the UTF-8 sequence starting with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
  return lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
}

std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = std::min(SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool IsControl(std::string_view ch) {
  return ch.size() == 1 && (static_cast<unsigned char>(ch[0]) < 0x20 || ch[0] == 0x7F);
}

// A character as the reason names it: the character, and what it is called.
std::string CharacterName(std::string_view ch) {
  static constexpr std::pair<char, std::string_view> Names[] = {
      {'!', "exclamation mark"}, {'"', "double quote"},   {'#', "hash"},          {'$', "dollar sign"},
      {'%', "percent sign"},     {'&', "ampersand"},      {'\'', "apostrophe"},   {'(', "opening parenthesis"},
      {')', "closing parenthesis"}, {'*', "asterisk"},    {'+', "plus sign"},     {',', "comma"},
      {'-', "hyphen"},           {'.', "full stop"},      {'/', "slash"},         {':', "colon"},
      {';', "semicolon"},        {'<', "less-than sign"}, {'=', "equals sign"},   {'>', "greater-than sign"},
      {'?', "question mark"},    {'@', "at sign"},        {'[', "opening bracket"}, {'\\', "backslash"},
      {']', "closing bracket"},  {'^', "caret"},          {'_', "underscore"},    {'`', "backquote"},
      {'{', "opening brace"},    {'|', "vertical bar"},   {'}', "closing brace"}, {'~', "tilde"}};
  if (ch == "\n" || ch == "\r") return "a line break";
  if (ch == "\t") return "a tab";
  if (IsControl(ch)) return "a control character";
  if (ch == " ") return "a blank";
  if (ch.size() == 1 && ch[0] >= 'A' && ch[0] <= 'Z') return std::string(ch) + " (a capital letter)";
  for (const auto& [c, name] : Names)
    if (ch.size() == 1 && ch[0] == c) return std::string(ch) + " (" + std::string(name) + ")";
  return std::string(ch);
}

// Why a text field refuses `value`, empty when it takes it. The characters to blame are
// found one by one: each is tried alone in the text, every other character a plain
// letter, so that a reason names each character that cannot stand there.
std::string TextRefusal(const PersonaItem& item, std::string_view key, std::string_view value) {
  std::vector<std::string> named;
  std::vector<std::string_view> tried;
  const std::vector<std::string_view> characters = Characters(value);
  const bool kept = item.IsKept();
  const bool second = value.find(CodePrefix) != std::string_view::npos;
  for (std::string_view ch : characters) {
    if (std::find(tried.begin(), tried.end(), ch) != tried.end()) continue;
    tried.push_back(ch);
    if (IsControl(ch)) {
      const std::string name = CharacterName(ch);
      if (std::find(named.begin(), named.end(), name) == named.end()) named.push_back(name);
      continue;
    }
    if (kept || ch == "a") continue;
    std::string alone;
    for (std::string_view other : characters) alone += other == ch ? other : std::string_view("a");
    if (!ReadsBack(item, key, alone)) named.push_back(CharacterName(ch));
  }
  std::string why;
  if (!named.empty()) {
    why = "Not allowed here: ";
    for (std::size_t i = 0; i < named.size(); ++i) why += (i > 0 ? ", " : "") + named[i];
    why += ".";
  }
  if (second) why += std::string(why.empty() ? "" : " ") + "\"ZN2.\" would start a second code.";
  if (why.empty() && !ReadsBack(item, key, value))
    why = value.empty() ? "This field cannot be empty." : "This text would not read back as typed here.";
  return why;
}

}  // namespace
}  // namespace zendric::builder

namespace zendric {

std::string MoreMessages(std::size_t count) {
  return "… and " + std::to_string(count) + (count == 1 ? " more message" : " more messages");
}

std::string CutText(std::string_view text, std::size_t most) {
  std::size_t at = 0;
  for (std::size_t shown = 0; shown < most && at < text.size(); ++shown)
    at += builder::CharacterBytes(text.substr(at));
  if (at >= text.size()) return std::string(text);
  return std::string(text.substr(0, at)) + "…";
}

std::string MoreLines(std::size_t count) {
  return "… and " + std::to_string(count) + (count == 1 ? " more line" : " more lines");
}

ReadingListing ListReading(const ParseResult& reading) {
  ReadingListing out;
  const std::size_t lines = std::min(reading.LineCount(), MostLinesListed);
  out.Lines.reserve(lines + 1);
  for (std::size_t i = 0; i < lines; ++i) out.Lines.push_back(CutText(reading.Line(i)));
  if (lines < reading.LineCount()) out.Lines.push_back(MoreLines(reading.LineCount() - lines));
  const std::size_t messages = std::min(reading.MessageCount(), MostMessagesListed);
  out.Messages.reserve(messages + 1);
  for (std::size_t i = 0; i < messages; ++i)
    out.Messages.push_back("Position " + std::to_string(reading.MessagePosition(i)) + ": " + CutText(reading.Message(i)));
  if (messages < reading.MessageCount()) out.Messages.push_back(MoreMessages(reading.MessageCount() - messages));
  return out;
}

std::string_view KindName(FormField::Kind kind) {
  using Kind = FormField::Kind;
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
  builder::Form f;
  builder::Fill(f, copy);
  // The note made for the copy stays with the item, for the next description.
  item.KeptNote = std::move(copy.KeptNote);
  return std::move(f.Fields);
}

bool SetField(Persona& p, std::size_t at, std::string_view key, std::string_view value) {
  return GiveField(p, at, key, value).Taken;
}

FieldAnswer GiveField(Persona& p, std::size_t at, std::string_view key, std::string_view value) {
  if (at >= p.Items.size()) return {};
  PersonaItem item = p.Items[at];
  builder::Form f(key, value);
  builder::Fill(f, item);
  if (!f.Found) return {};
  if (!f.Taken) return {false, f.Why.empty() ? std::string("This field does not take this value.") : f.Why};
  // A free text is taken only as typed: never a character dropped, never a second code.
  if (f.TakenShape == FormField::Kind::Text)
    if (std::string why = builder::TextRefusal(p.Items[at], key, value); !why.empty()) return {false, std::move(why)};
  // The item's own spelling stays while its choices still write the same.
  const bool same = builder::OwnText(p.Items[at]) == builder::OwnText(item);
  std::optional<std::string> spelling = p.Items[at].Spelling;
  std::string kept = std::move(item.Kept);
  ReplaceChoices(p, at, std::move(item.Choices));
  p.Items[at].Kept = std::move(kept);
  if (same) p.Items[at].Spelling = std::move(spelling);
  return {true, {}};
}

}  // namespace zendric
