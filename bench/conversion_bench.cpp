// The whole conversion run over generated address books of 8,000, 16,000
// and 32,000 entries (an alias line and a note line each), written to a
// temporary folder. The run reads the book once, so the time per entry
// should stay nearly flat as the book grows.
//
// Then one entry's note and address list of 7,500, 15,000 and 30,000
// characters, with brackets, commas and line-break markers all along: the
// "replace the first occurrence" loops are linear, so the time per character
// stays flat too.
//
//   build/bin/veltrana_bench --benchmark_filter=Conversion
//   build/bin/veltrana_bench --benchmark_filter=LongTexts
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/failure.h"
#include "book_generator.h"
#include "conversion/conversion_run.h"
#include "page/address_format.h"
#include "page/note_line.h"

namespace {

using veltrana::PumpResult;

// The run without a window, as the command line runs it, silent.
class QuietView : public veltrana::RunView {
 public:
  explicit QuietView(std::string field) : field_(std::move(field)) {}
  std::string AddressBookText() const override { return field_; }
  std::filesystem::path AddressBookPath() const override { return field_; }
  void SetStatusText(const std::string&) override {}
  void ShowMessage(const std::string& text, veltrana::MessageStyle, const std::string&) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
  }
  PumpResult PumpEvents() override { return PumpResult::kContinue; }

 private:
  std::string field_;
};

void BM_Conversion(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veltrana-bench-" + std::to_string(entries));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "book.txt").string();
  std::ofstream(book, std::ios::binary) << veltrana::bench::GenerateBook(entries);

  veltrana::ConverterState converter = veltrana::LoadedConverterState();
  QuietView view(book);
  std::filesystem::path htmlfile;
  veltrana::RunOptions options;
  options.date = veltrana::CalendarDate{2026, 12, 7};
  for (auto _ : state) {
    const veltrana::ConversionOutcome outcome =
        veltrana::RunConversion(converter, view, htmlfile, options);
    if (outcome.end != veltrana::ConversionOutcome::End::kConverted) {
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

// A text of `length` characters made of `pattern` repeated.
std::string RepeatedText(std::size_t length, const std::string& pattern) {
  std::string text;
  while (text.size() < length) text += pattern;
  text.resize(length);
  return text;
}

void BM_LongTexts(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  // One character in forty is rewritten (three longer each time), as dense
  // as a 30,000-character text can be and stay within the 16-bit positions.
  const std::string a(39, 'a');
  const std::string note =
      "<name:Ann Lee>" + RepeatedText(length - 14, a + "<" + a + ">" + a + "\x03");
  const std::string addresses =
      RepeatedText(length, std::string(36, 'a') + "@bc," + a + "\x03" + a + "<");
  veltrana::ConverterState converter = veltrana::LoadedConverterState();
  for (auto _ : state) {
    try {
      converter.noteline = note;
      veltrana::ReadNoteLine(converter);
      std::string list = addresses;
      if (!veltrana::MultipleAddress(converter, list)) {
        state.SkipWithError("the address text is not a list");
        break;
      }
      benchmark::DoNotOptimize(veltrana::MakeMultipleAddress(converter, list));
      benchmark::DoNotOptimize(converter.recipientnote);
    } catch (const veltrana::Failure& failure) {
      state.SkipWithError(failure.what());
      break;
    }
  }
  state.counters["per_char_ns"] = benchmark::Counter(
      static_cast<double>(length),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_LongTexts)->Arg(7500)->Arg(15000)->Arg(30000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
