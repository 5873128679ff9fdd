// Reading speed of ParseCode, each figure beside the least work any reader that looks
// at every byte can do (one memchr pass for a byte that does not occur), measured in
// the same run on the same bytes, so that ratios survive a busy machine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "BenchCodes.h"
#include "BenchOutput.h"
#include "ProcessMemory.h"
#include "FieldModel.h"
#include "ZNParser.h"

namespace {

using zendric::bench::Realistic;
using zendric::bench::RepeatTo;

const std::string Long10K = RepeatTo(10 * 1024);
const std::string Long1M = RepeatTo(1024 * 1024);

void Parse(benchmark::State& state, const std::string* code) {
  for (auto _ : state) benchmark::DoNotOptimize(zendric::ParseCode(*code));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * code->size()));
}

void Memchr(benchmark::State& state, const std::string* code) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memchr(code->data(), '\x01', code->size()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * code->size()));
}

BENCHMARK_CAPTURE(Parse, realistic, &Realistic);
BENCHMARK_CAPTURE(Memchr, realistic, &Realistic);
BENCHMARK_CAPTURE(Parse, long10k, &Long10K);
BENCHMARK_CAPTURE(Memchr, long10k, &Long10K);
BENCHMARK_CAPTURE(Parse, long1m, &Long1M);
BENCHMARK_CAPTURE(Memchr, long1m, &Long1M);

// The found-code offer of a field of 20 000 codes, one a line, after a key typed at
// the end of its middle line: found in the whole field, as every keystroke once did,
// and found again near the edit only.
std::u16string Codes20K(bool typed) {
  std::u16string field;
  for (int i = 0; i < 20000; ++i) {
    const std::string line = "ZN2.Dw Gm L" + std::to_string(i % 90 + 10) + "m W+ Cbl+";
    field.append(line.begin(), line.end());
    if (typed && i == 10000) field += u'x';
    field += u'\n';
  }
  return field;
}
const std::u16string Field20K = Codes20K(false), Typed20K = Codes20K(true);

void OfferWhole(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(zendric::FindOffered(Typed20K));
}

void OfferNearTheEdit(benchmark::State& state) {
  const std::vector<zendric::OfferedCode> before = zendric::FindOffered(Field20K);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<zendric::OfferedCode> found = before;
    state.ResumeTiming();
    benchmark::DoNotOptimize(zendric::RefindOffered(Field20K, Typed20K, std::move(found)));
  }
}

BENCHMARK(OfferWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(OfferNearTheEdit)->Unit(benchmark::kMillisecond);

// Keeps the median of each benchmark for the table printed at the end.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;
  std::map<std::string, double> seconds;  // per iteration

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      seconds[run.run_name.function_name] =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  // Measured as the window reads: in a process that keeps the memory it frees. With
  // --default-malloc, glibc returns it to the kernel after every reading instead.
  bool defaultMalloc = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--default-malloc") == 0) {
      defaultMalloc = true;
      std::copy(argv + i + 1, argv + argc, argv + i);
      --argc;
      break;
    }
  if (!defaultMalloc) zendric::KeepFreedMemory();
  MedianReporter reporter(zendric::bench::TableOptions(argc, argv));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  auto& t = reporter.seconds;
  auto get = [&](const char* name) { return t.count(name) ? t[name] : 0.0; };
  struct Row { const char* label; const char* parse; const char* base; std::size_t bytes; };
  const Row rows[] = {{"realistic (277 B)", "Parse/realistic", "Memchr/realistic", Realistic.size()},
                      {"10 KB", "Parse/long10k", "Memchr/long10k", Long10K.size()},
                      {"1 MB", "Parse/long1m", "Memchr/long1m", Long1M.size()}};
  std::printf("\n%-20s %14s %10s %14s %12s\n", "code", "ParseCode", "MB/s", "memchr", "parse/memchr");
  for (const Row& r : rows) {
    const double p = get(r.parse), b = get(r.base);
    if (p <= 0 || b <= 0) continue;
    std::printf("%-20s %11.3f us %10.1f %11.3f us %12.0f\n", r.label, p * 1e6, r.bytes / p / 1e6, b * 1e6, p / b);
  }
  const double perByte10k = get("Parse/long10k") / Long10K.size();
  const double perByte1m = get("Parse/long1m") / Long1M.size();
  if (perByte10k > 0 && perByte1m > 0 && get("Memchr/realistic") > 0) {
    std::printf("summary: realistic parse/memchr %.0f, 1 MB parse/memchr %.0f, per-byte cost 1 MB/10 KB %.2f\n",
                get("Parse/realistic") / get("Memchr/realistic"), get("Parse/long1m") / get("Memchr/long1m"),
                perByte1m / perByte10k);
  }
  if (get("OfferWhole") > 0 && get("OfferNearTheEdit") > 0)
    std::printf("offer of 20 000 codes after a key: whole field %.2f ms, near the edit %.3f ms (%.0f times less)\n",
                get("OfferWhole") * 1e3, get("OfferNearTheEdit") * 1e3, get("OfferWhole") / get("OfferNearTheEdit"));
  return 0;
}
