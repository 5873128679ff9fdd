// A rating on a tag's scale, with the marks and the specialist field some tags add.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
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

void RatedFields(Form& f, const TagRow& tag, RatedChoices& c) {
  if (const auto row = f.Rows(std::string(tag.Title), RatingOptions(tag), c.Rating)) c.Rating = *row;
  if (tag.Kind == TagKind::Fruitiness) {
    if (const auto on = f.Check(Plain(FruitinessJoinedText), c.Joined)) c.Joined = *on;
    if (const auto on = f.Check(Plain(FruitinessFlamedText), c.Flamed)) c.Flamed = *on;
  }
  if (tag.Kind == TagKind::Irritability)
    if (const auto on = f.Check(Plain(BarbequeText), c.Barbeque)) c.Barbeque = *on;
  if (tag.Kind == TagKind::Specialist) {
    if (const auto text = f.Text("My specialist field (none when empty)", c.Field.value_or(""))) {
      std::string field = Clean(*text, "]");
      if (field.empty()) c.Field.reset();
      else c.Field = std::move(field);
    }
  }
}

}  // namespace

std::string Build(const TagRow* tag, const RatedChoices& c) { return BuildRated(*tag, c); }

std::optional<RatedChoices> Open(const TagRow* tag, TextCursor& t, const RatedChoices&) { return OpenRated(*tag, t); }

void Start(const TagRow*, RatedChoices&) {}

void Random(Dice& d, const TagRow* tagRow, RatedChoices& c) {
  const TagRow& tag = *tagRow;
  c.Rating = d.Rating(tag);
  c.Joined = d.Chance(0.2);
  c.Flamed = d.Chance(0.2);
  c.Barbeque = d.Chance(0.3);
  if (d.Chance(0.3)) c.Field = d.Word() + (d.Chance(0.5) ? " and " + d.Word() : "");
}

void Fields(Form& f, const TagRow* tag, RatedChoices& c) { RatedFields(f, *tag, c); }

}  // namespace zendric::builder
