// The builder's form: choices made through the fields of each kind of item build
// the code expected, which reads without a message and says what was chosen; values a
// field does not take change nothing; and every option of every field, tried on random
// personas, keeps the code readable and open-able as choices.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "BuilderForm.h"
#include "ChoiceTexts.h"
#include "ZNParser.h"

namespace zendric {
namespace {

// The field `label` of group `group`, or nullptr.
const FormField* FindField(const std::vector<FormField>& fields, std::string_view group, std::string_view label) {
  for (const FormField& f : fields)
    if (f.Group == group && f.Label == label) return &f;
  return nullptr;
}

// An option given by its value or by its text (indentation left out).
std::string OptionValue(const FormField& field, std::string_view wanted) {
  for (const FormOption& o : field.Options) {
    std::string_view text = o.Text;
    while (text.starts_with("\u00a0")) text.remove_prefix(2);
    if (o.Value == wanted || text == wanted) return o.Value;
  }
  return std::string(wanted);
}

// Reads without a message, and each item built from choices says what was chosen.
void ExpectReadsAsChosen(const Persona& p) {
  const std::string code = BuildCode(p);
  const ParseResult r = ParseCode(code);
  ASSERT_EQ(r.MessageCount(), 0u) << code << ": " << r.Message(0);
  ASSERT_EQ(r.LineCount(), p.Items.size()) << code;
  for (std::size_t i = 0; i < p.Items.size(); ++i)
    for (const std::string& text : testing::ChoiceTexts(p.Items[i]))
      EXPECT_NE(r.Line(i).find(text), std::string_view::npos) << code << ": line " << i << " lacks " << text;
}

struct Step {
  std::string_view group, label, value;
};

TEST(BuilderForm, ChoicesOfEachKindBuildTheCode) {
  struct Case {
    std::string_view code;
    std::size_t item;
    std::vector<Step> steps;
    std::string_view built;
  };
  const Case cases[] = {
      {"ZN2.Dw Gm", 0, {{"Species", "Species", "Dwarf"}}, "ZN2.Hd Gm"},
      {"ZN2.D", 0, {{"Species", "Which one", "Unknown Dragon"}}, "ZN2.D?"},
      {"ZN2.D", 0, {{"Species", "Which one", "a name of my own (Dragon)"}, {"Species", "My own name", "ember-glow"}}, "ZN2.D\"ember-glow\""},
      {"ZN2.Ds", 0, {{"Species", "Species", "Sea Serpent"}, {"Species", "who changes shape occasionally", "1"}}, "ZN2.Dss~"},
      {"ZN2.Dw", 0, {{"", "Add a species to the mix", ""}, {"Species 2", "Species", "Dwarf"}}, "ZN2.Dw+Hd"},
      {"ZN2.Dw+Hd", 0, {{"Species 1", "Remove Species 1", ""}}, "ZN2.Hd"},
      {"ZN2.Dw", 0, {{"And", "And", "who looks like:"}, {"Looks like", "Species", "Feline (cat)"}}, "ZN2.Dw^Mf"},
      {"ZN2.Dw^Mf", 0, {{"And", "And", "trapped in the body of:"}}, "ZN2.Dw[Mf]"},
      {"ZN2.Dw^Mf", 0, {{"What I am", "What I am", "a shapechanger"}, {"", "Add a form", ""}, {"Form 2", "Species", "Human"}}, "ZN2.~Dw/H"},
      {"ZN2.Dw Gm", 0, {{"What I am", "What I am", "I don't know what I am"}}, "ZN2.? Gm"},
      {"ZN2.Dw W", 1, {{"", "Width", "'I'm a little on the broad side!'"}}, "ZN2.Dw W+"},
      {"ZN2.Dw Fr", 1, {{"", "I have joined, left, returned, etc.", "1"}, {"", "I once got flamed off the newsgroup - and came back for more!", "1"}}, "ZN2.Dw Fr^*"},
      {"ZN2.Dw I", 1, {{"", "But when I do get angry, I hope you like barbeque!", "1"}}, "ZN2.Dw I#"},
      {"ZN2.Dw Tc", 1, {{"", "My specialist field (none when empty)", "alchemy"}}, "ZN2.Dw Tc[alchemy]"},
      {"ZN2.Dw V[x]", 1, {{"", "My specialist field (none when empty)", ""}}, "ZN2.Dw V"},
      {"ZN2.Dw A", 1, {{"", "Add an entry for another life", ""}, {"Entry 2", "Age", "Elder"}}, "ZN2.Dw A(rv++)"},
      {"ZN2.Dw A(r+v-)", 1, {{"Entry 1", "Remove entry 1", ""}, {"", "For", "real and virtual life alike"}}, "ZN2.Dw A-"},
      {"ZN2.Dw J", 1, {{"", "For", "My virtual joviality:"}}, "ZN2.Dw J(v)"},
      {"ZN2.Dw M", 1, {{"", "Mating status", "I'm seeing someone."}, {"", "How many mates (0: not said)", "3"}, {"", "My mate is dead", "1"}, {"", "Conspiracy", "y"}}, "ZN2.Dw M+3_xy"},
      {"ZN2.Dw M+3_", 1, {{"", "Mating status", "Don't ask!"}, {"", "Conspiracy", "x"}}, "ZN2.Dw M-xx"},
      {"ZN2.Dw O", 1, {{"", "Offspring", "+"}, {"", "How many hatchlings", "4"}, {"", "My hatchlings are adopted.", "1"}}, "ZN2.Dw Oa+4"},
      {"ZN2.Dw O-4", 1, {{"", "Offspring", "I've got one still in the nest."}}, "ZN2.Dw O+"},
      {"ZN2.Dw Gf", 1, {{"", "I'm", "a male"}, {"", "Add a gender", ""}, {"Gender 2", "Then", "changing into"}, {"Gender 2", "I'm", "variable"}, {"Gender 2: variable between", "a female", "1"}, {"Gender 2: variable between", "a neuter", "1"}}, "ZN2.Dw Gm>~(fn)"},
      {"ZN2.Dw Gf", 1, {{"", "I'm", "a description of my own"}, {"", "My own description", "a big one"}}, "ZN2.Dw G\"a big one\""},
      {"ZN2.Dw L", 1, {{"", "Given as", "a number with a unit"}, {"", "Number", "3.5"}, {"", "Unit", "feet"}, {"", "Add a body part", ""}, {"Body part", "Body part", "a … wingspan"}, {"Body part", "Number", "20"}}, "ZN2.Dw L3.5f20w"},
      {"ZN2.Dw T4t", 1, {{"", "Given as", "a size"}}, "ZN2.Dw T"},
      {"ZN2.Dw C", 1, {{"My colour", "Colour", "green"}, {"My colour", "Shade", "very light"}, {"My colour", "metallic", "1"}, {"My colour", "Pattern with the next colour", "… with … stripes"}, {"My colour, colour 2", "Colour", "black"}}, "ZN2.Dw Cgr++^|bk"},
      {"ZN2.Dw Cgr|bk:re", 1, {{"My colour", "Pattern with the next colour", "no pattern (ends the colours here)"}}, "ZN2.Dw Cgr"},
      {"ZN2.Dw Cgr", 1, {{"My colour, changing to", "changing to another colour", "1"}, {"My colour, changing to", "Colour", "blue"}, {"", "Add a colour for a body part", ""}, {"My arms are", "Colour", "red"}, {"My arms are", "Body part", "My wings are"}}, "ZN2.Dw Cgr>bl,wre"},
      {"ZN2.Dw Bfl", 1, {{"Breath weapon", "I breathe", "ice"}, {"Breath weapon", "Shape", "clouds of beams of"}, {"Breath weapon", "A word in front (none when empty)", "cold"}, {"", "Add another breath weapon", ""}, {"Breath weapon 2", "I breathe", "a name of my own"}, {"Breath weapon 2", "My own name", "sparks"}}, "ZN2.Dw Bic\"cold\"|#/\"sparks\""},
      {"ZN2.Dw F", 1, {{"What I eat", "I eat meat", "1"}, {"What I eat", "I eat any meat", "1"}, {"What I eat", "I eat anything", "1"}, {"", "Diet", "a glutton - 'Is there a second course? And a third?'"}}, "ZN2.Dw F~++c~"},
      {"ZN2.Dw Pa", 1, {{"Appendage", "Appendage", "wings"}, {"Appendage", "How many", "a number"}, {"Appendage", "Number", "4"}, {"Appendage", "webbed", "1"}, {"", "Add an appendage", ""}, {"Appendage 2", "How many", "many"}}, "ZN2.Dw Pw4^a!"},
      {"ZN2.Dw Sk", 1, {{"I have", "bark", "0"}, {"I have", "scales", "1"}, {"", "Add a body part", ""}, {"My arms have", "leather", "1"}, {"My arms have", "Body part", "My tail has"}}, "ZN2.Dw Sks,tbl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Persona p = OpenCode(c.code);
    ASSERT_LT(c.item, p.Items.size());
    ASSERT_FALSE(p.Items[c.item].IsKept());
    for (const Step& s : c.steps) {
      const std::vector<FormField> fields = DescribeItem(p.Items[c.item]);
      const FormField* field = FindField(fields, s.group, s.label);
      ASSERT_NE(field, nullptr) << "no field " << s.group << " / " << s.label;
      EXPECT_TRUE(SetField(p, c.item, field->Key, OptionValue(*field, s.value))) << s.label << " = " << s.value;
    }
    EXPECT_EQ(BuildCode(p), c.built);
    ExpectReadsAsChosen(p);
  }
}

TEST(BuilderForm, ValuesAFieldDoesNotTakeChangeNothing) {
  struct Case {
    std::string_view code;
    std::size_t item;
    Step step;
  };
  const Case cases[] = {
      {"ZN2.Dw L3m", 1, {"", "Number", "3."}},
      {"ZN2.Dw L3m", 1, {"", "Number", ".5"}},
      {"ZN2.Dw L3m", 1, {"", "Number", "1.2.3"}},
      {"ZN2.Dw L3m", 1, {"", "Number", "1e5"}},
      {"ZN2.Dw M+", 1, {"", "How many mates (0: not said)", "-2"}},
      {"ZN2.Dw M+", 1, {"", "How many mates (0: not said)", "9999999999"}},
      {"ZN2.Dw Pa3", 1, {"Appendage", "Number", " 4"}},
      {"ZN2.Dw W", 1, {"", "Width", "99"}},
      {"ZN2.Dw F", 1, {"", "Diet", "9"}},  // the "~" rating reads as a food
      {"ZN2.Dw Gm", 1, {"", "I'm", "z"}},
      {"ZN2.Dw I", 1, {"", "But when I do get angry, I hope you like barbeque!", "yes"}},
      {"ZN2.Dw Xq", 1, {"", "As written", "G\nm"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Persona p = OpenCode(c.code);
    const std::vector<FormField> fields = DescribeItem(p.Items[c.item]);
    const FormField* field = FindField(fields, c.step.group, c.step.label);
    ASSERT_NE(field, nullptr) << c.step.label;
    EXPECT_FALSE(SetField(p, c.item, field->Key, c.step.value)) << c.step.value;
    EXPECT_EQ(BuildCode(p), c.code);
  }
  Persona p = OpenCode("ZN2.Dw");
  EXPECT_FALSE(SetField(p, 1, "Species", "0"));
  EXPECT_FALSE(SetField(p, 0, "no such field", "0"));
}

TEST(BuilderForm, KeptItemsShowWhatReadingThemAloneSays) {
  const PersonaItem kept = OpenCode("ZN2.Dw Wq").Items[1];
  const std::vector<FormField> fields = DescribeItem(kept);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].Value, "Wq");
  EXPECT_EQ(fields[1].Value, std::string(ParseCode("ZN2. Wq").Message(0)));
}

// A kept item full of errors lists the first messages and counts the rest, so that
// neither builder lays out one line per character.
TEST(BuilderForm, KeptItemsFullOfErrorsCountTheRest) {
  const PersonaItem kept = OpenCode("ZN2.Dw" + std::string(5000, '{')).Items.back();
  ASSERT_TRUE(kept.IsKept());
  const std::size_t all = ParseCode("ZN2. " + kept.Kept).MessageCount();
  ASSERT_GT(all, MostMessagesListed);
  const std::vector<FormField> fields = DescribeItem(kept);
  const std::string& note = fields.back().Value;
  EXPECT_EQ(static_cast<std::size_t>(std::count(note.begin(), note.end(), '\n')), MostMessagesListed);
  EXPECT_TRUE(note.ends_with(MoreMessages(all - MostMessagesListed))) << note.substr(note.size() - std::min<std::size_t>(note.size(), 80));
}

// Every option of every select, both states of every check, a number, a text and every
// button, each tried on its own on random personas.
TEST(BuilderForm, EveryChoiceKeepsTheCodeReadable) {
  std::mt19937 random(7);
  std::size_t tried = 0;
  for (int n = 0; n < 60; ++n) {
    const Persona start = RandomPersona(random);
    for (std::size_t item = 0; item < start.Items.size(); ++item) {
      const std::vector<FormField> fields = DescribeItem(start.Items[item]);
      for (std::size_t i = 0; i < fields.size(); ++i) {
        std::vector<std::string> values;
        for (const FormOption& o : fields[i].Options) values.push_back(o.Value);
        if (fields[i].Shape == FormField::Kind::Check) values = {"0", "1"};
        if (fields[i].Shape == FormField::Kind::Number) values = {"0", "12", "7.25"};
        if (fields[i].Shape == FormField::Kind::Text) values = {"", "a b\"]}~\x01Ü"};
        if (fields[i].Shape == FormField::Kind::Button) values = {""};
        for (const std::string& value : values) {
          Persona p = start;
          if (!SetField(p, item, fields[i].Key, value)) continue;
          ++tried;
          SCOPED_TRACE(BuildCode(start) + " / " + fields[i].Group + " / " + fields[i].Label + " = " + value);
          ExpectReadsAsChosen(p);
          const std::string code = BuildCode(p);
          const Persona opened = OpenCode(code);
          EXPECT_EQ(BuildCode(opened), code);
          for (const PersonaItem& o : opened.Items) EXPECT_FALSE(o.IsKept()) << code << ": kept " << o.Kept;
          if (::testing::Test::HasFailure()) return;
        }
      }
    }
  }
  EXPECT_GT(tried, 15000u);
}

// Runs of choices one after the other on the same persona, so that what one choice
// leaves behind meets the next.
TEST(BuilderForm, RunsOfChoicesKeepTheCodeReadable) {
  std::mt19937 random(11);
  const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int run = 0; run < 30; ++run) {
    Persona p = RandomPersona(random);
    for (int step = 0; step < 200; ++step) {
      const std::size_t item = below(p.Items.size());
      const std::vector<FormField> fields = DescribeItem(p.Items[item]);
      if (fields.empty()) continue;
      const std::size_t i = below(fields.size());
      const FormField& field = fields[i];
      std::string value = field.Shape == FormField::Kind::Check ? (below(2) ? "1" : "0")
                          : field.Shape == FormField::Kind::Number ? std::to_string(below(500))
                          : field.Shape == FormField::Kind::Text ? std::string("ab\"] c").substr(0, below(7))
                                                                : std::string();
      if (field.Shape == FormField::Kind::Select) value = field.Options[below(field.Options.size())].Value;
      const std::string before = BuildCode(p);
      if (!SetField(p, item, field.Key, value)) continue;
      SCOPED_TRACE(before + " / " + field.Group + " / " + field.Label + " = " + value);
      ExpectReadsAsChosen(p);
      const std::string code = BuildCode(p);
      EXPECT_EQ(BuildCode(OpenCode(code)), code);
      for (const PersonaItem& o : OpenCode(code).Items) EXPECT_FALSE(o.IsKept()) << code << ": kept " << o.Kept;
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace zendric
