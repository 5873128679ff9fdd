// A chain of genders, each a letter, an own description or variable between some.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
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

void GenderFields(Form& f, GenderChoices& c) {
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    GenderPart& part = c.Parts[i];
    const std::string name = c.Parts.size() > 1 ? Numbered("Gender", i, c.Parts.size()) : std::string();
    f.Group(name);
    if (i > 0)
      if (const auto v = f.Select("Then", {{"/", Plain(MentallyText.substr(2)), {}}, {">", Plain(ChangingIntoText), {}}}, part.Join == '>' ? ">" : "/"))
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
      else part.Shape = GenderPart::Form::Letter, part.Letter = ToInt(*v);
    }
    if (part.Shape == GenderPart::Form::Free)
      if (const auto text = f.Text("My own description", part.Text)) part.Text = Clean(*text, "\"");
    if (part.Shape == GenderPart::Form::Variable) {
      f.Group(name.empty() ? std::string("Variable between") : name + ": variable between");
      for (std::size_t row = 0; row < GenderLetters.size(); ++row) {
        const auto r = static_cast<std::int32_t>(row);
        const bool among = std::find(part.Among.begin(), part.Among.end(), r) != part.Among.end();
        if (const auto on = f.Check(std::string(GenderLetters[row].Phrase), among, HintTicks)) {
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

}  // namespace

std::string Build(const TagRow*, const GenderChoices& c) { return BuildGender(c); }

std::optional<GenderChoices> Open(const TagRow*, TextCursor& t, const GenderChoices&) { return OpenGender(t); }

void Start(const TagRow*, GenderChoices& c) {
  c.Parts = {GenderPart{}};
}

void Random(Dice& d, const TagRow*, GenderChoices& c) {
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
}

void Fields(Form& f, const TagRow*, GenderChoices& c) { GenderFields(f, c); }

}  // namespace zendric::builder
