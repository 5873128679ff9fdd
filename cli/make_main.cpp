// zendric-make: random Zendric 2 codes from the code builder, one per line. Every code
// reads without a message: material for testing other tools, and for fun.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "Builder.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes random Zendric 2 codes, one per line, each of which reads without a message.",
               "zendric-make"};
  std::uint64_t count = 0;
  std::uint32_t seed = std::random_device{}();
  // Digits only: a "-3" would otherwise wrap round to a huge count.
  const CLI::Validator digits(
      [](std::string& value) {
        return !value.empty() && value.size() <= 19 && value.find_first_not_of("0123456789") == std::string::npos
                   ? std::string()
                   : "must be a whole number of 0 or more, not " + value;
      },
      "DIGITS");
  app.add_option("--random", count, "how many random codes to write")->required()->check(digits);
  app.add_option("--seed", seed, "start of the random sequence: the same seed gives the same codes")->check(digits);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // CLI11 answers --help with status 0 and a usage error with 2 or more.
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }

  std::mt19937 random(seed);
  std::string line;
  for (std::uint64_t i = 0; i < count; ++i) {
    line = zendric::BuildCode(zendric::RandomPersona(random));
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) {
      std::perror("zendric-make: write");
      return 2;
    }
  }
  if (std::fflush(stdout) != 0) {
    std::perror("zendric-make: write");
    return 2;
  }
  return 0;
}
