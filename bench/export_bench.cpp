// How the export's time grows with long chains and rings of lists, with
// many lists naming one large list, and with many contacts of one alias
// name: it must grow in step with the book (Big-O reported as N), never
// with its square.
//
//   build/bench/veltrana_export_bench [--benchmark_filter=LongLists]
#include <benchmark/benchmark.h>

#include <string>

#include "formats/export.h"

namespace {

using namespace veltrana;

// A ring of n lists, a chain of n lists ending in an address, and n/3 lists
// naming one list of n/3 addresses.
std::string LongLists(int n) {
  std::string book;
  for (int i = 0; i < n; ++i) {
    book += "alias r" + std::to_string(i) + " r" + std::to_string((i + 1) % n) + "\r\n";
    book += "alias c" + std::to_string(i) + " c" + std::to_string(i + 1) + "\r\n";
  }
  book += "alias c" + std::to_string(n) + " end@x\r\nalias big";
  for (int i = 0; i < n / 3; ++i) book += " b" + std::to_string(i) + "@x,";
  for (int i = 0; i < n / 3; ++i) book += "\r\nalias n" + std::to_string(i) + " big";
  return book + "\r\n";
}

void BM_LongLists(benchmark::State& state) {
  const std::string book = LongLists(static_cast<int>(state.range(0)));
  const auto format = static_cast<ExportFormat>(state.range(1));
  for (auto _ : state) {
    std::size_t bytes = 0;
    const ExportResult result =
        ExportContacts({{"", book}}, format, Charset::kWindows1252,
                       [&](std::string_view text) { bytes += text.size(); });
    benchmark::DoNotOptimize(result.contacts);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongLists)
    ->ArgsProduct({{1500, 3000, 6000, 12000},
                   {static_cast<int>(ExportFormat::kVCard30),
                    static_cast<int>(ExportFormat::kVCard40), static_cast<int>(ExportFormat::kCsv),
                    static_cast<int>(ExportFormat::kLdif), static_cast<int>(ExportFormat::kMutt)}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// n contacts whose nicknames differ only in a tab where another has a "_":
// the alias file gives them one name, made unique by a number each.
std::string OneAliasName(int n) {
  std::string book;
  for (int i = 0; i < n; ++i) {
    std::string nickname = "a";
    for (int bit = 0; bit < 16; ++bit) nickname += (i >> bit & 1) != 0 ? "\t" : "_";
    book += "alias \"" + nickname + "\" x@y\r\n";
  }
  return book;
}

void BM_OneAliasName(benchmark::State& state) {
  const std::string book = OneAliasName(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t bytes = 0;
    const ExportResult result =
        ExportContacts({{"", book}}, ExportFormat::kMutt, Charset::kWindows1252,
                       [&](std::string_view text) { bytes += text.size(); });
    benchmark::DoNotOptimize(bytes);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OneAliasName)
    ->RangeMultiplier(2)
    ->Range(4000, 32000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
