// The P tag: appendage letters, their counts and webbing.
#include <gtest/gtest.h>

#include "ReadingCases.h"

namespace zendric {
namespace {

using testing::ExpectReadings;

TEST(Appendages, Lists) {
  ExpectReadings({
      {"ZN2. Plwt", {"I've got these appendages: a pair of legs, a pair of wings, a tail"}, {}},
      {"ZN2. Pa4lt", {"I've got these appendages: 4 arms, a pair of legs, a tail"}, {}},
      {"ZN2. Pl+h-", {"I've got these appendages: 3 legs, 0 head"}, {}},
      {"ZN2. Pw^t~", {"I've got these appendages: a pair of webbed wings, a variable amount of tail"}, {}},
      {"ZN2. Pv!", {"I've got these appendages: many horns or spines on the head"}, {}},
      {"ZN2. Pw'l2^", {"I've got these appendages: a pair of wings that also act as arms, legs, or fore-limbs, 2 webbed legs"}, {}},
      {"ZN2. Pa007", {"I've got these appendages: 7 arms"}, {}},
      {"ZN2. Pfp", {"I've got these appendages: a pair of fore limbs, a pair of paddles, flukes, or fins"}, {}},
      {"ZN2. P", {"I've got these appendages: "}, {}},
      {"ZN2. P W", {"I've got these appendages: ", "Concerning my width: 'I'm of perfectly normal girth!'"}, {}},
      {"ZN2. Pa+W+", {"I've got these appendages: 3 arms", "Concerning my width: 'I'm a little on the broad side!'"}, {}},
      // A count ends its appendage; the next letter starts another.
      {"ZN2. Pa4w", {"I've got these appendages: 4 arms, a pair of wings"}, {}},
      {"ZN2. Pwa", {"I've got these appendages: a pair of wings, a pair of arms"}, {}},
  });
}

TEST(Appendages, LaterModifiersWin) {
  ExpectReadings({
      {"ZN2. Pa4!", {"I've got these appendages: many arms"}, {}},
      {"ZN2. Pa!4", {"I've got these appendages: 4 arms"}, {}},
      {"ZN2. Pa~+", {"I've got these appendages: 3 arms"}, {}},
      {"ZN2. Pa!-", {"I've got these appendages: 1 arms"}, {}},
      {"ZN2. Pa+~", {"I've got these appendages: a variable amount of arms"}, {}},
      {"ZN2. Pa2+", {"I've got these appendages: 3 arms"}, {}},
      {"ZN2. Pa2++-+", {"I've got these appendages: 4 arms"}, {}},
      {"ZN2. Pt+", {"I've got these appendages: 2 tail"}, {}},
      {"ZN2. Ph-", {"I've got these appendages: 0 head"}, {}},
      // Webbing goes with any count, before or after it.
      {"ZN2. Pl^", {"I've got these appendages: a pair of webbed legs"}, {}},
      {"ZN2. Pa^4 Pa4^! Pt~^", {"I've got these appendages: 4 webbed arms", "I've got these appendages: many webbed arms",
                                "I've got these appendages: a variable amount of webbed tail"}, {}},
  });
}

TEST(Appendages, CountsStayInRange) {
  ExpectReadings({
      // Never below zero, however often "-" is given.
      {"ZN2. Ph-- Pt--- Pa0-", {"I've got these appendages: 0 head", "I've got these appendages: 0 tail",
                                "I've got these appendages: 0 arms"}, {}},
      {"ZN2. Ph--+", {"I've got these appendages: 1 head"}, {}},
      {"ZN2. Pa2147483647 Pa2147483646++", {"I've got these appendages: 2147483647 arms",
                                            "I've got these appendages: 2147483647 arms"}, {}},
      // Leading zeros do not make a count too large.
      {"ZN2. Pa000000000000000000012", {"I've got these appendages: 12 arms"}, {}},
      // Too large: reported behind the digits; the count keeps what it had.
      {"ZN2. Pa2147483648", {"I've got these appendages: a pair of arms"}, {{"Error: appendage count too large", 18}}},
      {"ZN2. Pa5+99999999999h", {"I've got these appendages: 6 arms, a head"}, {{"Error: appendage count too large", 21}}},
      {"ZN2. Pa!99999999999^", {"I've got these appendages: many webbed arms"}, {{"Error: appendage count too large", 20}}},
      {"ZN2. Pa99999999999+", {"I've got these appendages: 3 arms"}, {{"Error: appendage count too large", 19}}},
  });
}

TEST(Appendages, InvalidIdentifiers) {
  ExpectReadings({
      // A rejected character writes no separator.
      {"ZN2. Pxa", {"I've got these appendages: a pair of arms"}, {{"Error: invalid appendage identifier", 7}}},
      {"ZN2. Pax", {"I've got these appendages: a pair of arms"}, {{"Error: invalid appendage identifier", 8}}},
      {"ZN2. Pxy", {"I've got these appendages: "},
       {{"Error: invalid appendage identifier", 7}, {"Error: invalid appendage identifier", 8}}},
      {"ZN2. Pa,l", {"I've got these appendages: a pair of arms, a pair of legs"}, {{"Error: invalid appendage identifier", 8}}},
      // The apostrophe belongs only directly behind a w.
      {"ZN2. P'a", {"I've got these appendages: a pair of arms"}, {{"Error: invalid appendage identifier", 7}}},
      {"ZN2. Pw''", {"I've got these appendages: a pair of wings that also act as arms, legs, or fore-limbs"},
       {{"Error: invalid appendage identifier", 9}}},
      {"ZN2. Pw^'", {"I've got these appendages: a pair of webbed wings"}, {{"Error: invalid appendage identifier", 9}}},
      {"ZN2. Pa'", {"I've got these appendages: a pair of arms"}, {{"Error: invalid appendage identifier", 8}}},
      // Modifiers with no letter before them, a "." and a "$" are no appendages.
      {"ZN2. P4+a", {"I've got these appendages: a pair of arms"},
       {{"Error: invalid appendage identifier", 7}, {"Error: invalid appendage identifier", 8}}},
      {"ZN2. Pa1.5", {"I've got these appendages: 1 arms"},
       {{"Error: invalid appendage identifier", 9}, {"Error: invalid appendage identifier", 10}}},
      {"ZN2. Pa$", {"I've got these appendages: a pair of arms"}, {{"Error: invalid appendage identifier", 8}}},
      {"ZN2. P\xCE\xA9l", {"I've got these appendages: a pair of legs"}, {{"Error: invalid appendage identifier", 7}}},
  });
}

}  // namespace
}  // namespace zendric
