// zendric-make run as a real program; its codes are read by zendric-read, another
// program, so that the check does not rest on the builder's own reading.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Builder.h"

namespace {

struct Outcome {
  std::string out;
  int status = -1;
};

Outcome RunMake(const std::string& command) {
  static int runs = 0;
  const std::string out = ::testing::TempDir() + "/zm_" + std::to_string(++runs) + "_" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const int raw = std::system((command + " >" + out + " 2>/dev/null").c_str());
  std::ifstream f(out, std::ios::binary);
  return {std::string(std::istreambuf_iterator<char>(f), {}), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ZendricMake, ThousandsOfCodesReadWithoutMessagesAndUseEveryTag) {
  const std::string make = std::string(ZENDRIC_MAKE) + " --random 3000 --seed 11";
  const Outcome codes = RunMake(make);
  ASSERT_EQ(codes.status, 0);
  const std::vector<std::string> lines = Lines(codes.out);
  ASSERT_EQ(lines.size(), 3000u);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size()) << "codes repeat";

  // zendric-read exits 0 only when no code gave a message.
  const Outcome read = RunMake(make + " | " + ZENDRIC_READ + " --json");
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(Lines(read.out).size(), 3000u);
  EXPECT_EQ(read.out.find("\"errors\": [{"), std::string::npos);

  std::set<std::string_view> tags;
  std::size_t species = 0;
  for (const std::string& line : lines) {
    const zendric::Persona p = zendric::OpenCode(line);
    for (const zendric::PersonaItem& item : p.Items) {
      if (item.IsSpecies()) ++species;
      if (item.Tag != nullptr) tags.insert(item.Tag->Letters);
    }
  }
  EXPECT_EQ(species, lines.size());
  EXPECT_EQ(tags.size(), zendric::TagCatalogue.size());
}

TEST(ZendricMake, SeedsAndUsage) {
  const std::string make = ZENDRIC_MAKE;
  const Outcome a = RunMake(make + " --random 20 --seed 5");
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(RunMake(make + " --random 20 --seed 5").out, a.out);
  EXPECT_NE(RunMake(make + " --random 20 --seed 6").out, a.out);
  EXPECT_EQ(RunMake(make + " --random 0").out, "");
  struct Case {
    std::string args;
    int status;
  };
  const Case cases[] = {{"", 2}, {"--random", 2}, {"--random x", 2}, {"--random -3", 2},
                        {"--random 3 --seed y", 2}, {"--random 99999999999999999999", 2}, {"--random 1 --seed 4294967296", 2}, {"--random 3 extra", 2}, {"--help", 0}};
  for (const Case& c : cases) EXPECT_EQ(RunMake(make + " " + c.args).status, c.status) << c.args;

  // What a usage error says, standard error taken as the output.
  const struct {
    std::string args;
    std::string said;  // a part of the message
  } told[] = {
      {"--random 18446744073709551616", "too large: at most 18446744073709551615, not 18446744073709551616"},
      {"--random 1 --seed 04294967296", "too large: at most 4294967295, not 4294967296"},
      {"--random -3", "must be a whole number of 0 or more, not -3"},
      // a terminal escape comes out as control pictures, never raw
      {"--random \"$(printf '1\\033[31m')\"", "not 1\u241B[31m"},
  };
  for (const auto& t : told) {
    const Outcome r = RunMake("{ " + make + " " + t.args + " 2>&1; }");
    EXPECT_EQ(r.status, 2) << t.args;
    EXPECT_NE(r.out.find(t.said), std::string::npos) << t.args << ": " << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos) << t.args;
  }
  // leading zeros are the same number, and the largest count is a count
  EXPECT_EQ(RunMake(make + " --random 20 --seed 00000000000000000005").out, a.out);
  EXPECT_EQ(RunMake(make + " --random 18446744073709551615 | head -n 3").out.size() > 0, true);
}

}  // namespace
