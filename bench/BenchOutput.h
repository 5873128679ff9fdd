// How the benchmark programs print Google Benchmark's own table.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

namespace zendric::bench {

// Colours as --benchmark_color asks (read before benchmark::Initialize takes the flag
// away), and by default only on a terminal: the table often goes to a file or a pipe.
inline benchmark::ConsoleReporter::OutputOptions TableOptions(int argc, char** argv) {
  bool colour = isatty(STDOUT_FILENO) != 0;
  constexpr std::string_view flag = "--benchmark_color=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, flag.size()) != flag) continue;
    const std::string_view value = arg.substr(flag.size());
    colour = value == "true" || value == "yes" || value == "1" || (value == "auto" && isatty(STDOUT_FILENO));
  }
  return colour ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular;
}

}  // namespace zendric::bench
