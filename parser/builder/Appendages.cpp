// Appendages: each with how many and whether webbed.
#include <algorithm>
#include <cstdint>

#include "Kit.h"

namespace zendric::builder {
namespace {
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

std::optional<AppendageChoices> OpenAppendages(TextCursor& t) {
  AppendageChoices c;
  while (!t.AtEnd()) {
    AppendageChoices::Entry e;
    const std::string two{t.Peek(), t.Peek(1)};
    e.Row = RowIndex(Appendages, FindRow(Appendages, &AppendageRow::Code, std::string_view(two)));
    if (e.Row < 0) e.Row = RowIndex(Appendages, FindRow(Appendages, &AppendageRow::Code, std::string_view(two).substr(0, 1)));
    if (e.Row < 0) return std::nullopt;
    const AppendageRow& row = Appendages[static_cast<std::size_t>(e.Row)];
    for (std::size_t i = 0; i < row.Code.size(); ++i) t.Accept(t.Peek());
    // The marks in any order, as the reader takes them: each overrides the ones before,
    // "+" and "-" step from the number or the usual count.
    using Says = AppendageChoices::Entry::Count;
    for (;;) {
      if (t.Accept('!')) {
        e.Says = Says::Many;
      } else if (t.Accept('~')) {
        e.Says = Says::Variable;
      } else if (t.Peek() >= '0' && t.Peek() <= '9') {
        e.Says = Says::Number;
        e.Number = ToInt(t.Digits(false));
        if (e.Number < 0) return std::nullopt;
      } else if (t.Peek() == '+' || t.Peek() == '-') {
        const std::int32_t from = e.Says == Says::Number ? e.Number : row.DefaultCount;
        e.Number = t.Accept('+') ? (from == INT32_MAX ? from : from + 1) : (t.Accept('-'), std::max(from - 1, 0));
        e.Says = Says::Number;
      } else if (t.Accept('^')) {
        e.Webbed = true;
      } else {
        break;
      }
    }
    c.Entries.push_back(e);
  }
  return c;
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
      if (f.Number("Number", std::to_string(e.Number), Count(f.Value()).has_value(), CountTakes)) e.Number = *Count(f.Value());
    if (const auto on = f.Check("webbed", e.Webbed)) e.Webbed = *on;
    if (f.Button("Remove " + Numbered("appendage", i, c.Entries.size()))) return EraseAt(c.Entries, i);
  }
  f.Group({});
  if (c.Entries.size() < 2 * Appendages.size() && f.Button("Add an appendage")) c.Entries.emplace_back();
}

}  // namespace

std::string Build(const TagRow*, const AppendageChoices& c) { return BuildAppendages(c); }

std::optional<AppendageChoices> Open(const TagRow*, TextCursor& t, const AppendageChoices&) { return OpenAppendages(t); }

void Start(const TagRow*, AppendageChoices& c) {
  c.Entries = {AppendageChoices::Entry{}};
}

void Random(Dice& d, const TagRow*, AppendageChoices& c) {
  for (std::int32_t n = 1 + d.Below(4); n > 0; --n) {
    AppendageChoices::Entry e;
    e.Row = d.Row(Appendages);
    e.Says = static_cast<AppendageChoices::Entry::Count>(d.Below(4));
    e.Number = d.Below(9);
    e.Webbed = d.Chance(0.2);
    c.Entries.push_back(e);
  }
}

void Fields(Form& f, const TagRow*, AppendageChoices& c) { AppendageFields(f, c); }

}  // namespace zendric::builder
