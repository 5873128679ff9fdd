// Breath weapons: each a code or an own name, with a word in front and beams or clouds.
#include <algorithm>

#include "Kit.h"

namespace zendric::builder {
namespace {
std::string BuildBreath(const BreathChoices& c) {
  std::string out;
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    const BreathPart& w = c.Weapons[i];
    if (i > 0) out += '/';
    if (InTable(BreathWeapons, w.Weapon)) {
      out += BreathWeapons[static_cast<std::size_t>(w.Weapon)].Code;
    } else {
      out += Enclose('"', Clean(w.Name, "\""), '"');
    }
    if (!w.Adjective.empty()) out += Enclose('"', Clean(w.Adjective, "\""), '"');
    for (char shape : w.Shapes)
      if (shape == '|' || shape == '#') out += shape;
  }
  return out;
}

std::optional<BreathChoices> OpenBreath(TextCursor& t) {
  BreathChoices c;
  do {
    BreathPart w;
    if (t.Accept('"')) {
      w.Weapon = -1;
      if (!t.Enclosed('"', w.Name)) return std::nullopt;
    } else {
      w.Weapon = RowIndex(BreathWeapons, FindRow(BreathWeapons, &BreathWeapon::Code, t.KeyUntil(BreathTerminators)));
      if (w.Weapon < 0) return std::nullopt;
    }
    if (t.Accept('"') && (!t.Enclosed('"', w.Adjective) || w.Adjective.empty())) return std::nullopt;
    while (t.Peek() == '|' || t.Peek() == '#') {
      w.Shapes += t.Peek();
      t.Accept(t.Peek());
    }
    c.Weapons.push_back(std::move(w));
  } while (t.Accept('/'));
  return c;
}

// Breath shapes wrap what stands before them: the last one is said first.
std::string ShapeText(std::string_view shapes) {
  if (shapes.empty()) return "as it is";
  std::string text;
  for (auto shape = shapes.rbegin(); shape != shapes.rend(); ++shape) text += *shape == '|' ? BeamsText : CloudsText;
  return Plain(text);
}

void BreathFields(Form& f, BreathChoices& c) {
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    BreathPart& w = c.Weapons[i];
    f.Group(Numbered("Breath weapon", i, c.Weapons.size()));
    std::vector<FormOption> options = RowOptions(BreathWeapons, [](const BreathWeapon& b) { return b.Name; });
    options.push_back({"-1", "a name of my own", {}});
    if (const auto row = f.Rows("I breathe", std::move(options), std::clamp<std::int32_t>(w.Weapon, -1, static_cast<std::int32_t>(BreathWeapons.size()) - 1)))
      w.Weapon = *row;
    if (w.Weapon < 0)
      if (const auto text = f.Text("My own name", w.Name)) w.Name = Clean(*text, "\"");
    if (const auto text = f.Text("A word in front (none when empty)", w.Adjective)) w.Adjective = Clean(*text, "\"");
    if (const auto v = f.Select("Shape", Spellings({"", "|", "#", "|#", "#|"}, w.Shapes, ShapeText), w.Shapes)) w.Shapes = std::string(*v);
    if (c.Weapons.size() > 1 && f.Button("Remove " + Numbered("breath weapon", i, c.Weapons.size()))) return EraseAt(c.Weapons, i);
  }
  f.Group({});
  if (c.Weapons.size() < MostParts && f.Button("Add another breath weapon")) c.Weapons.emplace_back();
}

}  // namespace

std::string Build(const TagRow*, const BreathChoices& c) { return BuildBreath(c); }

std::optional<BreathChoices> Open(const TagRow*, TextCursor& t, const BreathChoices&) { return OpenBreath(t); }

void Start(const TagRow*, BreathChoices& c) {
  c.Weapons = {BreathPart{}};
}

void Random(Dice& d, const TagRow*, BreathChoices& c) {
  for (std::int32_t n = 1 + (d.Chance(0.3) ? d.Below(2) : 0); n > 0; --n) {
    BreathPart w;
    w.Weapon = d.Row(BreathWeapons);
    if (d.Chance(0.1)) w.Weapon = -1, w.Name = d.Word();
    if (d.Chance(0.1)) w.Adjective = d.Word();
    for (std::int32_t k = d.Chance(0.3) ? 1 + d.Below(2) : 0; k > 0; --k) w.Shapes += d.Chance(0.5) ? '|' : '#';
    c.Weapons.push_back(std::move(w));
  }
}

void Fields(Form& f, const TagRow*, BreathChoices& c) { BreathFields(f, c); }

}  // namespace zendric::builder
