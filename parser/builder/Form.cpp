// The form of any item: the fields of its kind, or for an item kept as written its
// text and what reading it alone says.
#include "Kit.h"
#include "ZNParser.h"

#include <algorithm>

namespace zendric::builder {
namespace {

void KeptFields(Form& f, const PersonaItem& item) {
  f.Note("As written", item.Kept);
  const ParseResult reading = ParseCode("ZN2. " + item.Kept);
  std::string messages;
  const std::size_t listed = std::min(reading.MessageCount(), MostMessagesListed);
  for (std::size_t i = 0; i < listed; ++i) messages += std::string(reading.Message(i)) + "\n";
  if (listed < reading.MessageCount()) messages += MoreMessages(reading.MessageCount() - listed) + "\n";
  if (!messages.empty()) messages.pop_back();
  f.Note("Read alone", messages.empty() ? "No message: the builder writes this item another way, so it stays as written." : messages);
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

}  // namespace
}  // namespace zendric::builder

namespace zendric {

std::string MoreMessages(std::size_t count) {
  return "… and " + std::to_string(count) + (count == 1 ? " more message" : " more messages");
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
  if (!f.Taken) return {false, "This value is not one the field takes."};
  ReplaceChoices(p, at, std::move(item.Choices));
  return {true, {}};
}

}  // namespace zendric
