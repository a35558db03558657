// The conversion run from a front end without a window (the command line,
// the browser edition) against the same run from a window: the view sees
// every status text, message box and event pump the window sees, in the
// same order, and nothing else; the outcome tells what the window's View
// button tells, and where a reported failure arose.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "conversion/conversion_run.h"
#include "support/recording_window.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

using End = ConversionOutcome::End;

std::string Aliases(int count) {
  std::string book;
  for (int i = 0; i < count; ++i) book += "alias n" + std::to_string(i) + " n@h\r\n";
  return book;
}

TEST(RunWithoutWindow, ShowsWhatTheWindowShowsButItsControlsAndTellsHowItEnded) {
  test::TempDir dir;
  test::WriteBytes(dir.path() / "twelve.txt", Aliases(12));
  test::WriteBytes(dir.path() / "bad.txt", "alias a b\r\n\r\nalias lonely\r\n");
  test::WriteBytes(dir.path() / "itself.htm", "alias a b\r\n");
  const struct {
    const char* what;
    std::string field;
    int close_at_pump;  // -1: never
    End end;
    std::optional<FailurePlace> place;
    bool page_left;
  } cases[] = {
      {"a book converted", dir.File("twelve.txt"), -1, End::kConverted, std::nullopt, true},
      {"no name", "", -1, End::kFailed, std::nullopt, false},
      {"no such book", dir.File("missing.txt"), -1, End::kFailed, std::nullopt, false},
      {"a line that fails", dir.File("bad.txt"), -1, End::kFailed,
       FailurePlace{dir.File("bad.txt"), 3}, false},
      {"the page would be the book", dir.File("itself.htm"), -1, End::kFailed, std::nullopt, false},
      {"closed at the start", dir.File("twelve.txt"), 0, End::kClosing, std::nullopt, false},
      {"closed during the progress", dir.File("twelve.txt"), 2, End::kClosing, std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir.path() / "twelve.htm");
    RunOptions options;
    options.date = test::kRunDate;

    test::RecordingWindow window(c.field);
    window.close_at_pump = c.close_at_pump;
    ConverterState window_state = LoadedConverterState();
    std::filesystem::path window_page;
    const ConversionOutcome from_window = RunConversion(window_state, window, window_page, options);
    const bool page_after_window = test::Exists(dir.path() / "twelve.htm");
    std::filesystem::remove(dir.path() / "twelve.htm");

    test::RecordingView view(c.field);
    view.close_at_pump = c.close_at_pump;
    ConverterState view_state = LoadedConverterState();
    std::filesystem::path view_page;
    const ConversionOutcome from_view = RunConversion(view_state, view, view_page, options);

    EXPECT_EQ(view.events, test::ViewEvents(window.events));
    EXPECT_NE(window.events, view.events) << "the window's controls were set";
    EXPECT_EQ(from_window.end, c.end);
    EXPECT_EQ(from_view.end, c.end);
    EXPECT_EQ(window.enabled[Button::kView], c.end == End::kConverted);
    for (const ConversionOutcome* outcome : {&from_window, &from_view}) {
      ASSERT_EQ(outcome->failure_place.has_value(), c.place.has_value());
      if (c.place) {
        EXPECT_EQ(outcome->failure_place->book, c.place->book);
        EXPECT_EQ(outcome->failure_place->line, c.place->line);
      }
    }
    EXPECT_EQ(view_page, window_page);
    EXPECT_EQ(view_state.ctr, window_state.ctr);
    EXPECT_EQ(page_after_window, c.page_left);
    EXPECT_EQ(test::Exists(dir.path() / "twelve.htm"), c.page_left);
  }
}

}  // namespace
}  // namespace veltrana
