// Length and weight: a size, or a number with its unit and the lengths of body parts.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
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

std::string RandomNumber(Dice& d) {
  std::string n = std::to_string(1 + d.Below(400));
  if (d.Chance(0.2)) {
    n += '.';
    n += std::to_string(d.Below(10));
  }
  return n;
}

void MeasureFields(Form& f, const TagRow& tag, MeasureChoices& c) {
  if (const auto v = f.Select("Given as", {{"size", "a size", {}}, {"number", "a number with a unit", {}}}, c.Rating ? "size" : "number")) {
    if (*v == "number") c.Rating.reset();
    else if (!c.Rating) c.Rating = NormalRating(tag);
  }
  if (c.Rating) {
    if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), *c.Rating)) c.Rating = *row;
    return;
  }
  if (const auto v = f.Number("Number", c.Number, Decimal(f.Value()), DecimalTakes)) c.Number = std::string(*v);
  if (const auto row = f.Rows("Unit", RowOptions(tag.Units, [](const UnitRow& u) { return u.Word; }), c.Unit)) c.Unit = *row;
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    MeasureChoices::Part& part = c.Parts[i];
    f.Group(Numbered("Body part", i, c.Parts.size()));
    if (const auto v = f.Number("Number", part.Number, Decimal(f.Value()), DecimalTakes)) part.Number = std::string(*v);
    const auto parts = RowOptions(tag.BodyParts, [](const BodyPartRow& b) { return Plain(std::string(b.Before) + "…" + std::string(b.After)); });
    if (const auto row = f.Rows("Body part", parts, part.Row)) part.Row = *row;
    if (f.Button("Remove " + Numbered("body part", i, c.Parts.size()))) return EraseAt(c.Parts, i);
  }
  f.Group({});
  if (!tag.BodyParts.empty() && c.Parts.size() < tag.BodyParts.size() && f.Button("Add a body part")) c.Parts.push_back({"1", 0});
}

}  // namespace

std::string Build(const TagRow* tag, const MeasureChoices& c) { return BuildMeasure(*tag, c); }

std::optional<MeasureChoices> Open(const TagRow* tag, TextCursor& t, const MeasureChoices&) { return OpenMeasure(*tag, t); }

void Start(const TagRow*, MeasureChoices&) {}

void Random(Dice& d, const TagRow* tagRow, MeasureChoices& c) {
  const TagRow& tag = *tagRow;
  c.Rating = d.Rating(tag);
  if (d.Chance(0.5)) {
    c.Rating.reset();
    c.Number = RandomNumber(d);
    c.Unit = d.Row(tag.Units);
    for (std::int32_t n = tag.BodyParts.empty() ? 0 : d.Below(3); n > 0; --n)
      c.Parts.push_back({RandomNumber(d), d.Row(tag.BodyParts)});
  }
}

void Fields(Form& f, const TagRow* tag, MeasureChoices& c) { MeasureFields(f, *tag, c); }

}  // namespace zendric::builder
