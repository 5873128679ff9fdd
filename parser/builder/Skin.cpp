// Skin: the kinds of the whole body, and body parts with kinds of their own.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
std::string BuildSkin(const SkinChoices& c) {
  std::string out;
  const auto types = [&](const std::vector<std::int32_t>& rows) {
    for (std::int32_t r : rows)
      if (InTable(SkinTypes, r)) out += static_cast<char>(SkinTypes[static_cast<std::size_t>(r)].Letter);
  };
  types(c.Types);
  for (const SkinChoices::Group& g : c.Groups) {
    out += ',';
    out += static_cast<char>(SkinBodyParts[static_cast<std::size_t>(InTable(SkinBodyParts, g.Part) ? g.Part : 0)].Letter);
    types(g.Types);
  }
  return out;
}

std::optional<SkinChoices> OpenSkin(TextCursor& t) {
  SkinChoices c;
  const auto types = [&](std::vector<std::int32_t>& rows) {
    for (;;) {
      const std::int32_t row = RowIndex(SkinTypes, FindRow(SkinTypes, &SkinType::Letter, static_cast<char32_t>(t.Peek())));
      if (row < 0 || t.AtEnd()) return;
      rows.push_back(row);
      t.Accept(t.Peek());
    }
  };
  types(c.Types);
  while (t.Accept(',')) {
    SkinChoices::Group g;
    g.Part = RowIndex(SkinBodyParts, FindRow(SkinBodyParts, &SkinBodyPart::Letter, static_cast<char32_t>(t.Peek())));
    if (g.Part < 0 || t.AtEnd()) return std::nullopt;
    t.Accept(t.Peek());
    types(g.Types);
    c.Groups.push_back(std::move(g));
  }
  return c;
}

void SkinTypeChecks(Form& f, std::vector<std::int32_t>& types, std::uint8_t hints) {
  for (std::size_t row = 0; row < SkinTypes.size(); ++row) {
    const auto r = static_cast<std::int32_t>(row);
    if (const auto on = f.Check(std::string(SkinTypes[row].Word), std::find(types.begin(), types.end(), r) != types.end(), hints)) {
      std::erase(types, r);
      if (*on) types.push_back(r);
    }
  }
}

void SkinFields(Form& f, SkinChoices& c) {
  f.Group("I have");
  SkinTypeChecks(f, c.Types, HintNone);
  const auto partOptions = RowOptions(SkinBodyParts, [](const SkinBodyPart& p) { return Plain(p.Opener); });
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    SkinChoices::Group& group = c.Groups[g];
    f.Group(partOptions[static_cast<std::size_t>(std::clamp<std::int32_t>(group.Part, 0, static_cast<std::int32_t>(partOptions.size()) - 1))].Text,
            "Body part " + std::to_string(g + 1));
    if (const auto row = f.Rows("Body part", partOptions, group.Part)) group.Part = *row;
    SkinTypeChecks(f, group.Types, HintTicks);
    if (f.Button("Remove this body part")) return EraseAt(c.Groups, g);
  }
  f.Group({});
  if (c.Groups.size() < SkinBodyParts.size() && f.Button("Add a body part")) {
    SkinChoices::Group group;
    for (; group.Part + 1 < static_cast<std::int32_t>(SkinBodyParts.size()); ++group.Part)
      if (std::none_of(c.Groups.begin(), c.Groups.end(), [&](const SkinChoices::Group& g) { return g.Part == group.Part; })) break;
    group.Types.push_back(0);
    c.Groups.push_back(std::move(group));
  }
}

}  // namespace

std::string Build(const TagRow*, const SkinChoices& c) { return BuildSkin(c); }

std::optional<SkinChoices> Open(const TagRow*, TextCursor& t, const SkinChoices&) { return OpenSkin(t); }

void Start(const TagRow*, SkinChoices& c) {
  c.Types = {0};
}

void Random(Dice& d, const TagRow*, SkinChoices& c) {
  for (std::int32_t n = 1 + d.Below(2); n > 0; --n) c.Types.push_back(d.Row(SkinTypes));
  for (std::int32_t n = d.Chance(0.3) ? 1 + d.Below(2) : 0; n > 0; --n)
    c.Groups.push_back({d.Row(SkinBodyParts), {d.Row(SkinTypes)}});
}

void Fields(Form& f, const TagRow*, SkinChoices& c) { SkinFields(f, c); }

}  // namespace zendric::builder
