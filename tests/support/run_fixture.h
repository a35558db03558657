// Runs conversions of address books written into a fresh folder, through
// the recording window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "support/recording_window.h"
#include "support/run_outcome.h"
#include "support/temp_dir.h"

namespace veltrana::test {

// Records the end step's calls instead of keeping a history.
class RecordingHistory : public ConversionHistory {
 public:
  std::vector<std::string> calls;
  void UpdateAddressBookList(ConverterState&, std::string path) override {
    calls.push_back("UpdateAddressBookList " + path);
  }
  void WriteINIFile(ConverterState&) override { calls.push_back("WriteINIFile"); }
};

inline constexpr CalendarDate kRunDate{1997, 3, 5};
inline constexpr const char* kRunDateText = "05-Mar-1997";

class RunFixture : public ::testing::Test {
 protected:
  // Writes `content` as the address book `name` and converts it.
  RunOutcome Convert(const std::string& content, const std::string& name = "book.txt") {
    WriteBytes(dir_.File(name), content);
    return ConvertField(dir_.File(name));
  }

  // Converts with `field` as the address-book field's text.
  RunOutcome ConvertField(const std::string& field) {
    window_.field_ = field;
    RunOptions options;
    options.date = kRunDate;
    options.history = &history_;
    return RunThrough(state_, window_, htmlfile_, options);
  }

  std::string Page() const { return ReadBytes(htmlfile_); }
  std::string PagePath(const std::string& name = "book.htm") const { return dir_.File(name); }
  // The book title of a book in the test folder: its name without folders.
  std::string Title(const std::string& name = "book") const { return name; }

  TempDir dir_;
  RecordingWindow window_;
  RecordingHistory history_;
  ConverterState state_ = LoadedConverterState();
  std::filesystem::path htmlfile_;
};

}  // namespace veltrana::test
