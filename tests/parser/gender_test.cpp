// The G item: letters, free descriptions, variable genders and chains.
#include <gtest/gtest.h>

#include "Gender.h"
#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::Case;
using testing::ExpectReadings;

TEST(GenderItem, LettersAndChains) {
  ExpectReadings({
      {"ZN2. Gf", {"I'm a female"}, {}},
      {"ZN2. Gh", {"I'm a hermaphrodite"}, {}},
      {"ZN2. Gm", {"I'm a male"}, {}},
      {"ZN2. Gn", {"I'm a neuter"}, {}},
      {"ZN2. Gp", {"I'm a pseudo-hermaphrodite"}, {}},
      {"ZN2. G?", {"I'm an unknown gender"}, {}},
      {"ZN2. Gf/m", {"I'm a female, but mentally I'm a male"}, {}},
      {"ZN2. Gm>f/h", {"I'm a male changing into a female, but mentally I'm a hermaphrodite"}, {}},
      {"ZN2. Gm>f>h>n/p", {"I'm a male changing into a female changing into a hermaphrodite changing into a neuter, "
                           "but mentally I'm a pseudo-hermaphrodite"}, {}},
      {"ZN2. Gm>~(fm)", {"I'm a male changing into variable between a female, a male, "}, {}},
      // A stray character after the last code is left for the item loop.
      {"ZN2. Gm+", {"I'm a male"}, {{"Error: Invalid code at position 8 (+)", 8}}},
      {"ZN2. GmW", {"I'm a male", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2.Dw Gm Gf", {"I am a Western Dragon", "I'm a male", "I'm a female"}, {}},
  });
}

TEST(GenderItem, FreeDescriptions) {
  ExpectReadings({
      {"ZN2. G\"elf\"", {"I'm an elf"}, {}},
      {"ZN2. G\"Elf\"", {"I'm an Elf"}, {}},
      {"ZN2. G\"drake\"", {"I'm a drake"}, {}},
      {"ZN2. G\"\"", {"I'm "}, {}},
      {"ZN2. G\"Big Male\" W", {"I'm a Big Male", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. Gm/\"queen\"", {"I'm a male, but mentally I'm a queen"}, {}},
      // With no closing quote the rest of the code is the description.
      {"ZN2. G\"elf W+", {"I'm an elf W+"}, {{"Error: Missing \" in free gender description", 7}}},
  });
}

TEST(GenderItem, VariableGenders) {
  ExpectReadings({
      {"ZN2. G~", {"I'm variable"}, {}},
      {"ZN2. G~(fm)", {"I'm variable between a female, a male, "}, {}},
      {"ZN2. G~()", {"I'm variable between "}, {}},
      {"ZN2. G~(fx)", {"I'm variable between a female, "}, {{"Error: Invalid gender code", 10}}},
      // The list swallows blanks and tags up to ")" or the end.
      {"ZN2. G~(fm L", {"I'm variable between a female, a male, "},
       {{"Error: Invalid gender code", 11}, {"Error: Invalid gender code", 12},
        {"Error: Missing ) in variable gender definition", 13}}},
      // "~" is consumed; a letter after it is not the gender's.
      {"ZN2. G~~", {"I'm variable"}, {{"Error: Invalid code at position 8 (~)", 8}}},
      {"ZN2. G~f", {"I'm variable"}, {{"Error: Invalid code at position 8 (f)", 8}}},
      // Inside a form block "}" neither ends the list nor counts as a gender.
      {"ZN2.Dw{G~(f}m)}", {"I am a Western Dragon\rSpecific to this form:\rI'm variable between a female, a male, "},
       {{"Error: Invalid gender code", 12}}},
  });
}

TEST(GenderItem, MissingAndInvalidCodes) {
  ExpectReadings({
      {"ZN2. G", {"I'm "}, {{"Error: Missing gender code", 7}}},
      {"ZN2. Gx", {"I'm "}, {{"Error: Invalid gender code (x)", 7}, {"Error: Invalid code at position 7 (x)", 7}}},
      {"ZN2. GW", {"I'm ", "Concerning my width: 'I'm of perfectly normal girth!'"}, {{"Error: Invalid gender code (W)", 7}}},
      {"ZN2. G/m", {"I'm , but mentally I'm a male"}, {{"Error: Invalid gender code (/)", 7}}},
      {"ZN2. Gm>", {"I'm a male changing into "}, {{"Error: Missing gender code", 9}}},
      {"ZN2. G/", {"I'm , but mentally I'm "}, {{"Error: Invalid gender code (/)", 7}, {"Error: Missing gender code", 8}}},
      {"ZN2. G W", {"I'm ", "Concerning my width: 'I'm of perfectly normal girth!'"}, {{"Error: Invalid gender code ( )", 7}}},
      // Code points above 255 never match, even where their low byte is a gender letter.
      {"ZN2. G\u0166", {"I'm "},
       {{"Error: Invalid gender code (\u0166)", 7}, {"Error: Invalid code at position 7 (\u0166)", 7}}},
  });
}

}  // namespace
}  // namespace zendric
