// The builder's form: choices made through the fields of each kind of item build
// the code expected, which reads without a message and says what was chosen; values a
// field does not take change nothing; and every option of every field, tried on random
// personas, keeps the code readable and open-able as choices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "BuilderForm.h"
#include "Finder.h"
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
      // "no pattern" leaves the colours behind it in the choices, for a pattern to bring back
      {"ZN2.Dw Cbl|re", 1, {{"My colour", "Pattern with the next colour", "no pattern (ends the colours here)"}, {"My colour", "Pattern with the next colour", "… with … stripes"}}, "ZN2.Dw Cbl|re"},
      {"ZN2.Dw Cbl|re", 1, {{"My colour", "Pattern with the next colour", "no pattern (ends the colours here)"}, {"My colour", "Pattern with the next colour", "… with … spots"}}, "ZN2.Dw Cbl:re"},
      {"ZN2.Dw Cbl|re:gr", 1, {{"My colour, colour 2", "Pattern with the next colour", "no pattern (ends the colours here)"}, {"My colour", "Colour", "white"}, {"My colour, colour 2", "Pattern with the next colour", "… with … spots"}}, "ZN2.Dw Cwh|re:gr"},
      {"ZN2.Dw Cbl|re:gr", 1, {{"My colour", "Pattern with the next colour", "no pattern (ends the colours here)"}, {"My colour", "Pattern with the next colour", "… with … bands"}, {"My colour, colour 2", "Pattern with the next colour", "no pattern (ends the colours here)"}}, "ZN2.Dw Cbl=re"},
      {"ZN2.Dw Cbl>re|gr", 1, {{"My colour, changing to", "Pattern with the next colour", "no pattern (ends the colours here)"}, {"My colour, changing to", "Pattern with the next colour", "… with … stripes"}}, "ZN2.Dw Cbl>re|gr"},
      // an own spelling stays until a choice changes what the item says
      {"ZN2.Dw Fc/v", 1, {{"What I eat", "I eat meat", "1"}, {"What I eat", "I eat any meat", "0"}}, "ZN2.Dw Fc/v"},
      {"ZN2.Dw Fc/v", 1, {{"What I eat", "I eat any meat", "1"}}, "ZN2.Dw Fc~v"},
      {"ZN2.Dw Fc/v", 1, {{"What I eat", "I eat meat", "0"}, {"What I eat", "I eat meat", "1"}}, "ZN2.Dw Fvc"},
      {"ZN2.Dw A(+)", 1, {{"", "Age", "Elder"}}, "ZN2.Dw A++"},
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

// Each refusal says what the field takes.
TEST(BuilderForm, ValuesAFieldDoesNotTakeChangeNothing) {
  struct Case {
    std::string_view code;
    std::size_t item;
    Step step;
    std::string_view says;  // a part of the reason
  };
  const Case cases[] = {
      {"ZN2.Dw L3m", 1, {"", "Number", "3."}, "between digits"},
      {"ZN2.Dw L3m", 1, {"", "Number", ".5"}, "between digits"},
      {"ZN2.Dw L3m", 1, {"", "Number", "1.2.3"}, "at most one \".\" between digits"},
      {"ZN2.Dw L3m", 1, {"", "Number", "1e5"}, "at most one \".\" between digits"},
      {"ZN2.Dw L3m", 1, {"", "Number", "12345678901234567890"}, "at most 12 digits"},
      {"ZN2.Dw L3m2w", 1, {"Body part", "Number", "x"}, "Digits (0 to 9)"},
      {"ZN2.Dw M+", 1, {"", "How many mates (0: not said)", "-2"}, "Digits only"},
      {"ZN2.Dw M+", 1, {"", "How many mates (0: not said)", "9999999999"}, "at most 9"},
      {"ZN2.Dw Oa+4", 1, {"", "How many hatchlings", "-4"}, "Digits only"},
      {"ZN2.Dw Pa3", 1, {"Appendage", "Number", " 4"}, "Digits only"},
      {"ZN2.Dw W", 1, {"", "Width", "99"}, "none of the options"},
      {"ZN2.Dw F", 1, {"", "Diet", "9"}, "none of the options"},  // the "~" rating reads as a food
      {"ZN2.Dw Gm", 1, {"", "I'm", "z"}, "none of the options"},
      {"ZN2.Dw I", 1, {"", "But when I do get angry, I hope you like barbeque!", "yes"}, "1 (ticked) or 0"},
      {"ZN2.Dw Xq", 1, {"", "As written", "G\nm"}, "a line break"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Persona p = OpenCode(c.code);
    const std::vector<FormField> fields = DescribeItem(p.Items[c.item]);
    const FormField* field = FindField(fields, c.step.group, c.step.label);
    ASSERT_NE(field, nullptr) << c.step.label;
    const FieldAnswer answer = GiveField(p, c.item, field->Key, c.step.value);
    EXPECT_FALSE(answer.Taken) << c.step.value;
    EXPECT_NE(answer.Why.find(c.says), std::string::npos) << c.step.value << ": " << answer.Why;
    EXPECT_EQ(BuildCode(p), c.code);
  }
  // Only where there is no such field is there nothing to say.
  Persona p = OpenCode("ZN2.Dw");
  EXPECT_EQ(GiveField(p, 1, "Species", "0").Why, "");
  EXPECT_EQ(GiveField(p, 0, "no such field", "0").Why, "");
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

// A text field of more than LongestShown bytes is hinted long, at any place in it.
TEST(BuilderForm, LongTextsAreHinted) {
  const struct {
    std::size_t bytes;
    bool hinted;
  } rows[] = {{2, false}, {LongestShown, false}, {LongestShown + 1, true}, {1 << 20, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    const Persona p = OpenCode("ZN2.Dw " + std::string(row.bytes, '{'));
    const std::vector<FormField> fields = DescribeItem(p.Items.back());
    ASSERT_EQ(fields.front().Shape, FormField::Kind::Text);
    EXPECT_EQ((fields.front().Hints & HintLong) != 0, row.hinted);
    EXPECT_EQ(fields.back().Hints & HintLong, 0);  // the note
  }
}

// Reading a megabyte full of errors for the note is done once per text: describing
// the item again takes a small part of the first time, and after the text changes the
// note is that of the new text.
TEST(BuilderForm, KeptNotesAreMadeOncePerText) {
  Persona p = OpenCode("ZN2.Dw " + std::string(1 << 20, '{'));
  const std::size_t at = p.Items.size() - 1;
  const auto cpu = [](const auto& work) {
    const std::clock_t start = std::clock();
    work();
    return static_cast<double>(std::clock() - start);
  };
  std::string first;
  const double made = cpu([&] { first = DescribeItem(p.Items[at]).back().Value; });
  const double again = cpu([&] { EXPECT_EQ(DescribeItem(p.Items[at]).back().Value, first); });
  EXPECT_LT(again * 10, made) << again << " against " << made;
  ASSERT_TRUE(GiveField(p, at, DescribeItem(p.Items[at]).front().Key, "Wq").Taken);
  EXPECT_EQ(DescribeItem(p.Items[at]).back().Value, std::string(ParseCode("ZN2. Wq").Message(0)));
}

// A cut counts characters, never splits one, and leaves a short text as it is.
TEST(BuilderForm, CutTextKeepsWholeCharacters) {
  const struct {
    std::string_view text;
    std::size_t most;
    std::string_view want;
  } cases[] = {
      {"abc", 3, "abc"},
      {"abcd", 3, "abc…"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, "\xC3\xA9\xC3\xA9…"},  // two-byte characters
      {"\xF0\x9F\x90\x89x", 1, "\xF0\x9F\x90\x89…"},        // a four-byte one
      {"\xFF\xFE" "ab", 2, "\xFF\xFE…"},                     // stray bytes count one each
      {"\xE2\x82", 1, "\xE2\x82"},                              // a sequence cut short by the end
      {"", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CutText(c.text, c.most), c.want) << c.text;
}

// Under the code a builder lists the reading's lines and messages up to their bounds,
// each cut, and counts what it leaves out.
TEST(BuilderForm, ListedReadingIsBounded) {
  std::string items = "ZN2.Dw";
  for (std::size_t i = 0; i < MostLinesListed + 10; ++i) items += " W+";
  const struct {
    std::string code;
    std::size_t lines, messages;
    std::string lastLine, lastMessage;
  } cases[] = {
      {"ZN2.Dw W+ Wq", 2, 1, "", ""},
      {items, MostLinesListed + 1, 0, MoreLines(11), ""},
      {"ZN2.Dw " + std::string(5000, 'x'), 1, MostMessagesListed + 1, "", MoreMessages(5000 - MostMessagesListed)},
      {"ZN2.Dw" + std::string(5000, '"'), 1, 1, "", ""},  // its one message quotes the run
      {"ZN2.Dw" + std::string(5000, '{'), 1, MostMessagesListed + 1, "", MoreMessages(5000 - MostMessagesListed)},
  };
  for (const auto& c : cases) {
    const ParseResult reading = ParseCode(c.code);
    const ReadingListing listed = ListReading(reading);
    ASSERT_EQ(listed.Lines.size(), c.lines) << c.code.substr(0, 20);
    ASSERT_EQ(listed.Messages.size(), c.messages) << c.code.substr(0, 20);
    if (!c.lastLine.empty()) {
      EXPECT_EQ(listed.Lines.back(), c.lastLine);
    }
    if (!c.lastMessage.empty()) {
      EXPECT_EQ(listed.Messages.back(), c.lastMessage);
    }
    for (std::size_t i = 0; i < std::min(reading.LineCount(), MostLinesListed); ++i)
      EXPECT_EQ(listed.Lines[i], CutText(reading.Line(i)));
    for (std::size_t i = 0; i < std::min(reading.MessageCount(), MostMessagesListed); ++i)
      EXPECT_EQ(listed.Messages[i], "Position " + std::to_string(reading.MessagePosition(i)) + ": " + CutText(reading.Message(i)));
    for (const std::string& text : listed.Lines) EXPECT_LE(text.size(), LongestShown * 4 + 3);
    for (const std::string& text : listed.Messages) EXPECT_LE(text.size(), LongestShown * 4 + 40);
  }
}

// The key of the field `label` of group `group` of the item at `at`, empty for none.
std::string KeyOf(const Persona& p, std::size_t at, std::string_view group, std::string_view label) {
  const std::vector<FormField> fields = DescribeItem(p.Items[at]);
  const FormField* field = FindField(fields, group, label);
  return field != nullptr ? field->Key : std::string();
}

struct TextField {
  std::string_view code;
  std::size_t item;
  std::string_view group, label;
};
const TextField TextFields[] = {
    {"ZN2.Dw G\"x\"", 1, "", "My own description"},
    {"ZN2.Dw Gm>\"x\"", 1, "Gender 2", "My own description"},
    {"ZN2.Dw B\"x\"", 1, "Breath weapon", "My own name"},
    {"ZN2.Dw Bfl", 1, "Breath weapon", "A word in front (none when empty)"},
    {"ZN2.D\"x\"", 0, "Species", "My own name"},
    {"ZN2.Dw+D\"x\"", 0, "Species 2", "My own name"},
    {"ZN2.Dw Tc", 1, "", "My specialist field (none when empty)"},
    {"ZN2.Dw Q+", 1, "", "My specialist field (none when empty)"},
    {"ZN2.Dw Xq", 1, "", "As written"},
    {"ZN2.Dw Gx L12m", 1, "", "As written"},
};

// Every free text, fed every ASCII punctuation character and a second code: either the
// code reads back with the text exactly, or the field refuses it, naming what it cannot
// hold; and the code pasted after a few words is found as one code.
TEST(BuilderForm, FreeTextsTakeOnlyWhatReadsBack) {
  std::vector<std::string> values = {"ZN2.", "a ZN2.Dw", "a storm \\ (wild) |x] ZN2.", "x\ny", "x\ty", "x\x7fy", " "};
  for (char c = 0x21; c < 0x7F; ++c)
    if (!std::isalnum(static_cast<unsigned char>(c))) values.insert(values.end(), {std::string(1, c), "a" + std::string(1, c) + "b"});
  std::size_t taken = 0, refused = 0;
  for (const TextField& t : TextFields) {
    const Persona start = OpenCode(t.code);
    const std::string key = KeyOf(start, t.item, t.group, t.label);
    ASSERT_FALSE(key.empty()) << t.code << " has no " << t.label;
    for (const std::string& value : values) {
      SCOPED_TRACE(std::string(t.code) + " / " + std::string(t.label) + " = " + value);
      Persona p = start;
      const FieldAnswer answer = GiveField(p, t.item, key, value);
      const std::string code = BuildCode(p);
      EXPECT_EQ(FindCodes("My code: " + code).size(), 1u);
      if (answer.Taken) {
        ++taken;
        EXPECT_EQ(value.find("ZN2."), std::string::npos);
        if (start.Items[t.item].IsKept()) {
          EXPECT_EQ(BuildItem(p.Items[t.item]), value);
          continue;
        }
        const Persona opened = OpenCode(code);
        ASSERT_EQ(opened.Items.size(), p.Items.size()) << code;
        ASSERT_FALSE(opened.Items[t.item].IsKept()) << code;
        EXPECT_EQ(KeyOf(opened, t.item, t.group, t.label), key);
        for (const FormField& f : DescribeItem(opened.Items[t.item]))
          if (f.Key == key) {
            EXPECT_EQ(f.Value, value) << code;
          }
        continue;
      }
      ++refused;
      EXPECT_EQ(code, BuildCode(start));
      if (value.find("ZN2.") != std::string::npos) {
        EXPECT_NE(answer.Why.find("\"ZN2.\" would start a second code"), std::string::npos) << answer.Why;
        continue;
      }
      // The reason names each character refused, in a list after its first words.
      const std::string_view list = "Not allowed here: ";
      ASSERT_TRUE(answer.Why.starts_with(list)) << answer.Why;
      const std::string named = answer.Why.substr(list.size());
      const std::string ch = value.size() == 1 ? value : value.substr(1, 1);
      const std::string name = ch == " " ? "a blank" : ch == "\n" ? "a line break" : ch == "\t" ? "a tab" : ch == "\x7f" ? "a control character" : ch;
      EXPECT_NE(named.find(name), std::string::npos) << answer.Why;
    }
  }
  // Both ways are met: the fields differ in what they hold.
  EXPECT_GT(taken, 200u);
  EXPECT_GT(refused, 100u);
}

TEST(BuilderForm, RefusedTextsSayWhy) {
  struct Row {
    std::size_t field;  // in TextFields
    std::string_view value;
    std::string_view why;
  };
  const Row rows[] = {
      {0, "a \"big\" one", "Not allowed here: \" (double quote)."},
      {0, "a storm \\ (wild) |x] ZN2.", "\"ZN2.\" would start a second code."},
      {4, "ember Glow~\"x", "Not allowed here: a blank, G (a capital letter), ~ (tilde), \" (double quote)."},
      {6, "alc]he\nmy", "Not allowed here: ] (closing bracket), a line break."},
      {6, "a]b ZN2.", "Not allowed here: ] (closing bracket). \"ZN2.\" would start a second code."},
      {8, "Gm\r\nGf", "Not allowed here: a line break."},
      {0, "a storm \\ (wild) |x]", ""},
      {4, "ember-glow", ""},
      {8, "", ""},
  };
  for (const Row& row : rows) {
    const TextField& t = TextFields[row.field];
    SCOPED_TRACE(std::string(t.label) + " = " + std::string(row.value));
    Persona p = OpenCode(t.code);
    const FieldAnswer answer = GiveField(p, t.item, KeyOf(p, t.item, t.group, t.label), row.value);
    EXPECT_EQ(answer.Taken, row.why.empty());
    EXPECT_EQ(answer.Why, row.why);
  }
}

// A kept item, errors included, is its text in a text field: typing replaces the text,
// the item stays kept under the typing with the same fields, and what reading it alone
// says follows the text.
TEST(BuilderForm, KeptItemsAreEditedInPlace) {
  struct Row {
    std::string_view code;
    std::size_t item;
    std::string_view value;
    std::string_view built;  // the code after, the same code when refused
    bool keptWhenOpened;     // the code built, opened again
  };
  const Row rows[] = {
      {"ZN2.Dw Xq", 1, "Wq", "ZN2.Dw Wq", true},
      {"ZN2.Dw L12q", 1, "L12m", "ZN2.Dw L12m", false},
      {"ZN2.Dw Gx L12m", 1, "Gm", "ZN2.Dw Gm L12m", false},
      {"ZN2.Dw Gx L12m", 1, "Gm/", "ZN2.Dw Gm/ L12m", true},
      {"ZN2.Mx{ M+", 0, "Mf M+", "ZN2.Mf M+", false},
      {"ZN2.Dw Gx", 1, "G\tm", "ZN2.Dw Gx", true},
      {"ZN2.Dw Gx", 1, "Gm ZN2.Dw", "ZN2.Dw Gx", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.code) + " = " + std::string(row.value));
    Persona p = OpenCode(row.code);
    ASSERT_TRUE(p.Items[row.item].IsKept());
    const std::vector<FormField> before = DescribeItem(p.Items[row.item]);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0].Shape, FormField::Kind::Text);
    EXPECT_EQ(before[1].Shape, FormField::Kind::Note);
    const FieldAnswer answer = GiveField(p, row.item, before[0].Key, row.value);
    EXPECT_EQ(answer.Taken, row.built != row.code);
    EXPECT_EQ(answer.Why.empty(), answer.Taken);
    EXPECT_EQ(BuildCode(p), row.built);
    ASSERT_TRUE(p.Items[row.item].IsKept());
    const std::vector<FormField> after = DescribeItem(p.Items[row.item]);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].Key, before[i].Key);
    const ParseResult alone = ParseCode("ZN2. " + p.Items[row.item].Kept);
    if (alone.MessageCount() > 0) {
      EXPECT_TRUE(after[1].Value.starts_with(std::string(alone.Message(0)))) << after[1].Value;
    }
    const Persona opened = OpenCode(BuildCode(p));
    EXPECT_EQ(opened.Items[row.item].IsKept(), row.keptWhenOpened);
  }
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
