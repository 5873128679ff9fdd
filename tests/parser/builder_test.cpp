// The code builder: what it builds reads without a message and says what was chosen,
// and opening any text and building it again gives that text back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "../../bench/BenchCodes.h"
#include "Builder.h"
#include "ChoiceTexts.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

// Reads a built code: no message, one line per item, each line holding every text of
// its item's choices.
void ExpectBuiltReading(const Persona& p) {
  const std::string code = BuildCode(p);
  SCOPED_TRACE(code);
  const ParseResult r = ParseCode(code);
  ASSERT_EQ(testing::Messages(r), std::vector<std::string>{});
  ASSERT_EQ(r.LineCount(), p.Items.size());
  for (std::size_t i = 0; i < p.Items.size(); ++i)
    for (const std::string& text : testing::ChoiceTexts(p.Items[i]))
      EXPECT_NE(r.Line(i).find(text), std::string_view::npos) << "item " << i << ": " << testing::Visible(r.Line(i))
                                                                << " lacks " << testing::Visible(text);
}

Persona Alone(PersonaItem item) {
  Persona p;
  if (!item.IsSpecies()) p.Items.push_back(NewItem(nullptr));
  p.Items.push_back(std::move(item));
  return p;
}

TEST(Builder, RandomPersonasReadWithoutMessagesAndOpenAsChoices) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    for (int i = 0; i < 1500; ++i) {
      const Persona p = RandomPersona(random);
      ExpectBuiltReading(p);
      // Whatever the builder writes it opens as choices again, to the same text.
      const std::string code = BuildCode(p);
      const Persona opened = OpenCode(code);
      EXPECT_EQ(BuildCode(opened), code);
      ASSERT_EQ(opened.Items.size(), p.Items.size()) << code;
      for (std::size_t k = 0; k < opened.Items.size(); ++k)
        EXPECT_FALSE(opened.Items[k].IsKept()) << code << " item " << k << ": " << opened.Items[k].Kept;
      if (::testing::Test::HasFailure()) return;
    }
  }
}

TEST(Builder, EverySpeciesNodeAndItsUnknownKind) {
  ASSERT_EQ(SpeciesNodes().size(), 157u);  // the tree's nodes but the "?" of the humans
  for (std::int32_t node : SpeciesNodes()) {
    PersonaItem item = NewItem(nullptr);
    auto& species = std::get<SpeciesChoices>(item.Choices);
    species.Members[0].Node = node;
    ExpectBuiltReading(Alone(item));
    if (!SpeciesNodeHasChildren(node)) continue;
    species.Members[0].Shape = SpeciesPart::Form::Unknown;
    ExpectBuiltReading(Alone(item));
    species.Members[0].Shape = SpeciesPart::Form::OwnName;
    species.Members[0].Name = "Ember Tail\"s/[x]";  // cut down to what a name behind letters may hold
    ExpectBuiltReading(Alone(item));
  }
}

TEST(Builder, EveryRatingOfEveryScale) {
  for (const TagRow& tag : TagCatalogue) {
    SCOPED_TRACE(tag.Letters);
    for (std::size_t k = 0; k < tag.Scale.size(); ++k) {
      PersonaItem item = NewItem(&tag);
      const auto rating = static_cast<std::int32_t>(k);
      if (!RatingOffered(tag, rating)) {
        EXPECT_EQ(tag.Letters, "F");  // the "~" rating is the "~" food
        EXPECT_EQ(tag.Scale[k].Key, "~");
        continue;
      }
      if (auto* c = std::get_if<RatedChoices>(&item.Choices)) c->Rating = rating;
      if (auto* c = std::get_if<SplitChoices>(&item.Choices)) c->Entries[0].Rating = rating;
      if (auto* c = std::get_if<MeasureChoices>(&item.Choices)) c->Rating = rating;
      if (auto* c = std::get_if<DietChoices>(&item.Choices)) c->Rating = rating;
      ExpectBuiltReading(Alone(item));
      if (auto* c = std::get_if<SplitChoices>(&item.Choices)) {
        // and in a group of real and virtual life
        c->Entries.push_back(c->Entries[0]);
        c->Entries[0].Of = SplitEntry::Life::Real;
        c->Entries[1].Of = SplitEntry::Life::Virtual;
        ExpectBuiltReading(Alone(item));
      }
    }
  }
}

// Every row of every table the builder offers, each in an item of its own.
TEST(Builder, EveryWordOfEveryTable) {
  const auto one = [](std::string_view tag, auto change) {
    PersonaItem item = NewItem(FindTag(tag));
    change(item.Choices);
    ExpectBuiltReading(Alone(std::move(item)));
  };
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(ColourTable.size()); ++i) {
    one("C", [&](ItemChoices& c) { std::get<ColourChoices>(c).Groups[0].Colour[0].Colour = i; });
    // behind each pattern, changing, and on each body part
    one("C", [&](ItemChoices& c) {
      auto& g = std::get<ColourChoices>(c).Groups;
      g[0].Colour = {{i, "", i % 9}, {(i + 1) % 36, "", -1}};
      g[0].ChangesTo = {{i, "", -1}};
      g.push_back({i % 14, {{i, "", -1}}, {}});
    });
  }
  for (const ColourModifier& m : ColourModifiers)
    one("C", [&](ItemChoices& c) { std::get<ColourChoices>(c).Groups[0].Colour[0].Modifiers = {m.Key, m.Key}; });
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(BreathWeapons.size()); ++i)
    one("B", [&](ItemChoices& c) { std::get<BreathChoices>(c).Weapons = {{i, "", "hot", "|#"}, {-1, "fog\"", "", ""}}; });
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(FoodTable.size()); ++i)
    for (std::int32_t rating : {0, 4, 10})
      one("F", [&](ItemChoices& c) { std::get<DietChoices>(c) = {rating, {{i, true}, {(i + 3) % 8, false}}}; });
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(GenderLetters.size()); ++i)
    one("G", [&](ItemChoices& c) {
      auto& parts = std::get<GenderChoices>(c).Parts;
      parts[0].Letter = i;
      parts.push_back({GenderPart::Form::Variable, 0, "", {i, (i + 1) % 6}, '>'});
      parts.push_back({GenderPart::Form::Free, 0, "hatchling \"x\"", {}, '/'});
    });
  for (std::string_view tag : {"L", "T"}) {
    const TagRow& row = *FindTag(tag);
    for (std::int32_t u = 0; u < static_cast<std::int32_t>(row.Units.size()); ++u)
      one(tag, [&](ItemChoices& c) {
        auto& m = std::get<MeasureChoices>(c);
        m.Rating.reset();
        m.Number = "12.5";
        m.Unit = u;
        for (std::int32_t b = 0; b < static_cast<std::int32_t>(row.BodyParts.size()); ++b) m.Parts.push_back({"3", b});
      });
  }
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(Appendages.size()); ++i)
    for (int says = 0; says < 4; ++says)
      one("P", [&](ItemChoices& c) {
        std::get<AppendageChoices>(c).Entries = {{i, static_cast<AppendageChoices::Entry::Count>(says), 7, says == 2}, {i, {}, 0, false}};
      });
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(SkinTypes.size()); ++i)
    one("Sk", [&](ItemChoices& c) { std::get<SkinChoices>(c) = {{i}, {{i % 7, {i}}, {(i + 1) % 7, {}}}}; });
  for (std::string_view tag : {"Tc", "V", "Q"})
    one(tag, [&](ItemChoices& c) { std::get<RatedChoices>(c).Field = "lore]s of [old]"; });
  for (std::string_view tag : {"Fr", "I"})
    one(tag, [&](ItemChoices& c) { std::get<RatedChoices>(c) = {0, true, true, true, {}}; });
  one("M", [&](ItemChoices& c) { std::get<SplitChoices>(c).Entries = {{SplitEntry::Life::Real, 1, 3, true, 'y'}, {SplitEntry::Life::Virtual, 5, 2, true, 'x'}}; });
  one("O", [&](ItemChoices& c) {
    std::get<SplitChoices>(c).Entries = {{.Of = SplitEntry::Life::Real, .Adopted = true, .CountSign = '-', .Count = 4},
                                         {.Of = SplitEntry::Life::Virtual, .Adopted = true, .CountSign = '+', .Count = 0}};
  });
}

// Opening and building again gives back the text, whatever it is.
void ExpectSameText(std::string_view text) {
  const Persona p = OpenCode(text);
  EXPECT_EQ(BuildCode(p), text) << testing::Visible(text);
}

TEST(Builder, OpenAndBuildGiveTheSameText) {
  const std::string_view Texts[] = {
      "", "ZN2.", "ZN2. ", "zn2.Dw", "Not a code at all", "ZN2.Dw  Gm   L12m  ",
      "ZN2. Gm", "ZN2.DwGm", "ZN2.Dw+Hd^Mfps{Gm} Gm>f/h", "ZN2.\xff\xfe Gm \xe2\x82", "ZN2.Dw Gm\r\n",
      // full of errors
      "ZN2.Dx Gq L12 Cxx Bzz A(r+ M+\"open Tc+[x P9z Sk,z Fr?x", "ZN2.~Dw{Gm L} Qq ]]] }}} {{{ ",
      "ZN2.\"Smaug\" D\"smaug the\" Ds\"x\" H? ?", "ZN2.Dw Gm \xf0\x9f\x90\x89 Cbl \0 Bfl",
      // items the builder writes another way stay as written
      "ZN2.Dw L012m Gm/f>h F/c Cbl--", "ZN2.Dw Hd? Cbl,", "ZN2.Dw M 2 Pw'w'",
  };
  for (std::string_view text : Texts) ExpectSameText(text);
  ExpectSameText(bench::Realistic);
  ExpectSameText(bench::RepeatTo(5000));
  for (const auto& file : std::filesystem::directory_iterator(ZENDRIC_FUZZ_REGRESSIONS)) {
    std::ifstream in(file.path(), std::ios::binary);
    ExpectSameText(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  // random bytes, and random pieces of codes
  std::mt19937 random(7);
  const std::string_view Pieces[] = {"ZN2.", "Dw", " ", "\"", "{", "}", "[", "]", "(", ")", "Gm", "C", "bl", "|",
                                     "B", "~", "+", "\xe2\x82\xac", "\xc3", "L1", "m", "$", "Sk", "P", "w'"};
  for (int i = 0; i < 3000; ++i) {
    std::string text = i % 2 == 0 ? "ZN2." : "";
    for (int n = static_cast<int>(random() % 30); n > 0; --n) {
      if (i % 3 == 0) text += static_cast<char>(random() % 256);
      else text += Pieces[random() % std::size(Pieces)];
    }
    ExpectSameText(text);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(Builder, OpenedItemsAreChoicesOrKeptAsWritten) {
  const Persona p = OpenCode("ZN2.Dw  Ad Cbl|re,wgr L12m2t Pw'l2^");
  ASSERT_EQ(p.Items.size(), 5u);
  EXPECT_TRUE(p.Items[0].IsSpecies());
  EXPECT_EQ(*p.Items[1].Lead, "  ");
  EXPECT_TRUE(p.Items[1].IsKept());  // a message: kept
  EXPECT_EQ(p.Items[1].Kept, "Ad");
  for (std::size_t i : {2u, 3u, 4u}) EXPECT_FALSE(p.Items[i].IsKept()) << i;
  const auto& colour = std::get<ColourChoices>(p.Items[2].Choices);
  ASSERT_EQ(colour.Groups.size(), 2u);
  EXPECT_EQ(ColourTable[static_cast<std::size_t>(colour.Groups[1].Colour[0].Colour)].Name, "green");
  EXPECT_EQ(ColourBodyParts[static_cast<std::size_t>(colour.Groups[1].BodyPart)].Letter, 'w');
}

TEST(Builder, EditsKeepTheCodeReadable) {
  // Items written without a blank between them get one when their neighbours change.
  Persona p = OpenCode("ZN2.DwGmL12m");
  ASSERT_EQ(p.Items.size(), 3u);
  PersonaItem changer = NewItem(nullptr);
  std::get<SpeciesChoices>(changer.Choices).Kind = SpeciesChoices::Whole::Shapechanger;
  ReplaceChoices(p, 0, changer.Choices);
  EXPECT_EQ(BuildCode(p), "ZN2.~D GmL12m");
  MoveItem(p, 2, 1);
  EXPECT_EQ(BuildCode(p), "ZN2.~D L12m Gm");
  RemoveItem(p, 0);
  EXPECT_EQ(BuildCode(p), "ZN2. L12m Gm");
  InsertItem(p, 0, NewItem(nullptr));
  EXPECT_EQ(BuildCode(p), "ZN2.D L12m Gm");
  // A text that was no code becomes one when an item is added.
  Persona q = OpenCode("hello");
  InsertItem(q, 1, NewItem(FindTag("G")));
  EXPECT_EQ(BuildCode(q), "ZN2.hello Gf");
}

// Choices left behind by a change of shape (the letters of a variable gender that is
// now a letter, the species it looked like when it no longer does) are not written,
// so the reading is not expected to say them.
TEST(Builder, ChoiceTextsSayOnlyWhatIsWritten) {
  struct Case {
    std::string_view code;
    std::size_t item;
    void (*change)(ItemChoices&);
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"ZN2.Dw G~(mn)", 1, [](ItemChoices& c) { std::get<GenderChoices>(c).Parts[0].Shape = GenderPart::Form::Letter; },
       {"a female"}},
      {"ZN2.Dw^Mf", 0, [](ItemChoices& c) { std::get<SpeciesChoices>(c).Other = SpeciesChoices::Relation::None; },
       {"Western Dragon"}},
      {"ZN2.Dw[Mf]", 0, [](ItemChoices& c) { std::get<SpeciesChoices>(c).Kind = SpeciesChoices::Whole::Shapechanger; },
       {"a shapechanger", "Western Dragon"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Persona p = OpenCode(c.code);
    ItemChoices choices = p.Items[c.item].Choices;
    c.change(choices);
    ReplaceChoices(p, c.item, choices);
    EXPECT_EQ(testing::ChoiceTexts(p.Items[c.item]), c.texts);
    ExpectBuiltReading(p);
  }
}

}  // namespace
}  // namespace zendric

namespace zendric {
namespace {

// Items written as the builder writes them open as choices; every other spelling of
// the same reading, and every item with a message, is kept as written.
TEST(Builder, WhichItemsOpenAsChoices) {
  struct Row {
    std::string_view code;
    std::vector<bool> kept;  // per item
  };
  const Row rows[] = {
      {"ZN2.Dw", {false}},
      {"ZN2.Dw~+He?+Ds\"nessie\"^Mfl", {false}},
      {"ZN2.Dw~+Hd?", {true}},  // a dwarf has no kinds to be unknown among
      {"ZN2.Dw[Hd+He] ~Dw", {false, true}},  // after a blank "~", "D", "w" are stray, and kept together
      {"ZN2.~Dw/Hd~", {false}},
      {"ZN2.? Gm/f>\"wyrm\">~(fm)>~", {false, false}},
      {"ZN2.Dw L12.5m2t3w T2t W~ N^", {false, false, false, false, false}},
      {"ZN2.Dw L12m Lx L12 L12m3", {false, false, true, true, true}},
      {"ZN2.Dw Cbl+-|re'@gr,wbk>wh,t", {false, false}},
      {"ZN2.Dw Cbl,", {false, true}},
      {"ZN2.Dw B\"fog\"\"cold\"|#/zz A(r+v-) M+3_xx O(ra-2v/) Oa+4", {false, false, false, false, false, false}},
      {"ZN2.Dw A(+) A(r+) M2 M+2", {false, false, false, true, false}},  // "(+)" reads as "+": its own spelling
      {"ZN2.Dw F~+cf~v Fc F~~ P Pa3f!w'~^ Sk Sksc,wf,b", {false, false, false, true, false, false, false, false}},
      {"ZN2.Dw Tc+[x] V Q?[] Fr+^* I-#", {false, false, false, false, false, false}},
      // the same reading written another way opens with its own spelling; "F/c" has a message
      {"ZN2.Dw F/c J(r+) Pw'^3", {false, true, false, false}},
      // group entries the builder does not write, met where an entry would start
      {"ZN2.Dw M(+_*) M(v+|) M(r+_)", {false, true, true, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const Persona p = OpenCode(row.code);
    EXPECT_EQ(BuildCode(p), row.code);
    std::vector<bool> kept;
    for (const PersonaItem& item : p.Items) kept.push_back(item.IsKept());
    EXPECT_EQ(kept, row.kept);
  }
}

// The items of an opened code, each as its text, a kept one marked with "*".
std::vector<std::string> ItemTexts(const Persona& p) {
  std::vector<std::string> out;
  for (const PersonaItem& item : p.Items) out.push_back((item.IsKept() ? "*" : "") + BuildItem(item));
  return out;
}

// A mistake stays one kept item however the reader cuts it, up to the next blank.
TEST(Builder, AMistypedItemIsKeptTogether) {
  struct Row {
    std::string_view code;
    std::vector<std::string> items;
  };
  const Row rows[] = {
      {"ZN2.Dw Gx L12m", {"Dw", "*Gx", "L12m"}},
      {"ZN2.Dw Gxy{ Gm", {"Dw", "*Gxy{", "Gm"}},
      {"ZN2.Dw GxL12m", {"Dw", "*Gx", "L12m"}},  // a tag that reads well starts its own item
      {"ZN2.Dw Gm Gx Gf", {"Dw", "Gm", "*Gx", "Gf"}},
      {"ZN2.Dw L12 L12m3", {"Dw", "*L12 ", "*L12m3"}},  // the reader takes the blank into "L12 "
      {"ZN2.Mx{ M+", {"*Mx{ M+"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const Persona p = OpenCode(row.code);
    EXPECT_EQ(BuildCode(p), row.code);
    EXPECT_EQ(ItemTexts(p), row.items);
  }
}

// An item written another way than the builder writes it, reading the very same, opens
// as choices with its own spelling; the builder's spelling reads just like it.
TEST(Builder, OwnSpellingsThatReadTheSame) {
  struct Row {
    std::string_view code;
    std::size_t item;
    std::optional<std::string> builders;  // nullopt: kept as written, or the builder's own spelling
  };
  const Row rows[] = {
      {"ZN2.Dw Fc/v", 1, "Fcv"},
      {"ZN2.Dw Fc~/v/", 1, "Fc~v"},
      {"ZN2.Dw Fc+", 1, "F+c"},  // foods in front of the rating
      {"ZN2.Dw Fc~/+v", 1, "F+c~v"},
      {"ZN2.Dw A(+)", 1, "A+"},
      {"ZN2.Dw Pw^4", 1, "Pw4^"},  // an appendage's marks in any order
      {"ZN2.Dw Pw4!", 1, "Pw!"},   // the later mark wins
      {"ZN2.Dw Pa3w+", 1, "Pa3w3"},  // "+" steps from the usual count
      {"ZN2.Dw Fcv", 1, std::nullopt},
      {"ZN2.Dw F+/c", 1, std::nullopt},  // "/" behind a rating reads as a mistake
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const Persona p = OpenCode(row.code);
    ASSERT_LT(row.item, p.Items.size());
    EXPECT_EQ(BuildCode(p), row.code);
    const PersonaItem& item = p.Items[row.item];
    EXPECT_EQ(item.Spelling.has_value(), row.builders.has_value());
    if (!row.builders) continue;
    ASSERT_FALSE(item.IsKept());
    EXPECT_EQ(*item.Spelling, BuildItem(item));
    Persona builders = p;
    builders.Items[row.item].Spelling.reset();
    EXPECT_EQ(BuildItem(builders.Items[row.item]), *row.builders);
    const ParseResult own = ParseCode(row.code), theirs = ParseCode(BuildCode(builders));
    ASSERT_EQ(own.LineCount(), theirs.LineCount());
    for (std::size_t i = 0; i < own.LineCount(); ++i) EXPECT_EQ(own.Line(i), theirs.Line(i));
    EXPECT_EQ(testing::Messages(own), testing::Messages(theirs));
    // Any choice made through the model gives the builder's spelling back.
    ReplaceChoices(builders, row.item, p.Items[row.item].Choices);
    EXPECT_FALSE(builders.Items[row.item].Spelling.has_value());
  }
}

TEST(Builder, ASecondItemOfATagIsHinted) {
  struct Row {
    std::string_view code;
    std::vector<std::string> hints;  // per item
  };
  const std::string gender = "a second gender item: readers see both";
  const std::string mating = "a second mating status item: readers see both";
  const Row rows[] = {
      {"ZN2.Dw Gm Gf", {"", "", gender}},
      {"ZN2.Dw Gm L12m Gf G", {"", "", "", gender, gender}},
      {"ZN2.Dw Gm Gx", {"", "", gender}},  // a kept item counts by its tag letters
      {"ZN2.Dw Gx Gm", {"", "", gender}},
      {"ZN2.Dw Fc Fr+ F", {"", "", "", "a second diet item: readers see both"}},  // "Fr" is no diet
      {"ZN2.Dw x{ Gm", {"", "", ""}},
      {"ZN2.Mx M+ M-", {"", "", mating}},  // the species is no mating status, whatever its letters
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const Persona p = OpenCode(row.code);
    std::vector<std::string> hints;
    for (std::size_t i = 0; i < p.Items.size(); ++i) hints.push_back(ItemHint(p, i));
    EXPECT_EQ(hints, row.hints);
  }
}

// Every row of the catalogue is complete for its kind, and a kind has one reader.
TEST(Catalogue, RowsHoldWhatTheirKindNeeds) {
  for (const TagRow& row : TagCatalogue) {
    SCOPED_TRACE(row.Letters);
    const TagRow* first = FindRowIf(TagCatalogue, [&](const TagRow& r) { return r.Kind == row.Kind; });
    EXPECT_EQ(row.Read, first->Read);
    EXPECT_FALSE(row.Title.empty());
    EXPECT_FALSE(row.Heading.empty());
    EXPECT_EQ(FindTag(row.Letters), &row);
    const bool rated = row.Kind != TagKind::Gender && row.Kind != TagKind::Colour && row.Kind != TagKind::Breath &&
                       row.Kind != TagKind::Appendages && row.Kind != TagKind::Skin;
    EXPECT_EQ(!row.Scale.empty(), rated);
    EXPECT_EQ(row.ReadEntry != nullptr, row.Kind == TagKind::Split);
    EXPECT_EQ(!row.RealLife.empty() && !row.Virtual.empty(), row.Kind == TagKind::Split);
    EXPECT_EQ(!row.MissingClose.empty(), row.Kind == TagKind::Split || row.Kind == TagKind::Specialist);
    EXPECT_EQ(!row.Units.empty(), row.Kind == TagKind::Length || row.Kind == TagKind::Weight);
  }
}

}  // namespace
}  // namespace zendric
