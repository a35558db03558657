// The whole conversion run over generated address books of 8,000, 16,000
// and 32,000 entries (an alias line and a note line each), written to a
// temporary folder. The run reads the book once, so the time per entry
// should stay nearly flat as the book grows.
//
//   build/bin/veltrana_bench --benchmark_filter=Conversion
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/conversion_run.h"

namespace {

using veltrana::Button;
using veltrana::PumpResult;

class QuietWindow : public veltrana::ConverterWindow {
 public:
  explicit QuietWindow(std::string field) : field_(std::move(field)) {}
  std::string AddressBookText() const override { return field_; }
  void SetStatusText(const std::string&) override {}
  void SetButtonEnabled(Button, bool) override {}
  void FocusButton(Button) override {}
  void FocusAddressBook() override {}
  void ShowMessage(const std::string& text, int, const std::string&) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
  }
  PumpResult PumpEvents() override { return PumpResult::kContinue; }
  void SendKeys(std::string_view) override {}

 private:
  std::string field_;
};

// Nicknames in shuffled order, so the work list really sorts.
std::string GenerateBook(int entries) {
  std::mt19937 random(static_cast<unsigned>(entries));
  std::string book;
  for (int i = 0; i < entries; ++i) {
    const std::string nick = "n" + std::to_string(random()) + "x" + std::to_string(i);
    book += "alias " + nick + " " + nick + "@mail.example\r\n";
    book += "note " + nick + " <name:Person " + std::to_string(i) +
            "><address:1 Main St\x03Town><phone:555-0100>Met in " + std::to_string(1990 + i % 30) +
            "\r\n";
  }
  return book;
}

void BM_Conversion(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veltrana-bench-" + std::to_string(entries));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "book.txt").string();
  std::ofstream(book, std::ios::binary) << GenerateBook(entries);

  veltrana::ConverterState converter = veltrana::LoadedConverterState();
  QuietWindow window(book);
  std::string htmlfile;
  veltrana::RunOptions options;
  options.date = veltrana::CalendarDate{2026, 12, 7};
  for (auto _ : state) {
    if (veltrana::cmdConvert_Click(converter, window, htmlfile, options) !=
        veltrana::RunOutcome::kConverted) {
      state.SkipWithError("the run did not convert the book");
      break;
    }
  }
  state.counters["entries"] = entries;
  state.counters["per_entry_ns"] = benchmark::Counter(
      static_cast<double>(entries),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_Conversion)->Arg(8000)->Arg(16000)->Arg(32000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
