// zendric-make: random Zendric 2 codes from the code builder, one per line. Every code
// reads without a message: material for testing other tools, and for fun.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <random>
#include <string>

#include "Builder.h"
#include "TerminalText.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes random Zendric 2 codes, one per line, each of which reads without a message.",
               "zendric-make"};
  std::uint64_t count = 0;
  std::uint32_t seed = std::random_device{}();
  // Digits only: a "-3" would otherwise wrap round to a huge count. Leading zeros go
  // before the option library sees the number, which might read them as octal.
  const auto wholeNumber = [](std::uint64_t largest) {
    return CLI::Validator(
        [largest](std::string& value) {
          if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
            return "must be a whole number of 0 or more, not " + zendric::VisibleText(value);
          value.erase(0, std::min(value.find_first_not_of('0'), value.size() - 1));
          const std::string most = std::to_string(largest);
          if (value.size() > most.size() || (value.size() == most.size() && value > most))
            return "too large: at most " + most + ", not " + value;
          return std::string();
        },
        "DIGITS");
  };
  app.add_option("--random", count, "how many random codes to write")
      ->required()
      ->transform(wholeNumber(std::numeric_limits<std::uint64_t>::max()));
  app.add_option("--seed", seed, "start of the random sequence: the same seed gives the same codes")
      ->transform(wholeNumber(std::numeric_limits<std::uint32_t>::max()));
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    // What was typed is quoted as a terminal shows text, never as raw escapes.
    std::fprintf(stderr, "zendric-make: %s (try --help)\n", zendric::VisibleText(e.what()).c_str());
    return 2;
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
