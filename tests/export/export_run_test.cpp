// The export run against a recording window: what the command line and the
// windows share.
#include "export/export_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

class ExportRunTest : public ::testing::Test {
 protected:
  std::string Book(const std::string& name, const std::string& content) {
    test::WriteBytes(dir_.path() / name, content);
    return dir_.File(name);
  }
  ExportOutcome Run(const std::string& book, test::RecordingWindow& window,
                    std::optional<ExportTarget> target) {
    ExportRunOptions options;
    options.choose_target = [&](const ExportProposal& proposal) {
      proposals_.push_back(proposal);
      return target;
    };
    return RunExport({{book, book}}, window, options);
  }

  test::TempDir dir_;
  std::vector<ExportProposal> proposals_;
};

std::string Aliases(int count) {
  std::string book;
  for (int i = 0; i < count; ++i) book += "alias n" + std::to_string(i) + " n@h\r\n";
  return book;
}

TEST_F(ExportRunTest, ProgressEveryFiftyContactsWithTheButtonsDisabled) {
  const std::string book = Book("b.txt", Aliases(120));
  test::RecordingWindow window(book);
  std::vector<std::string> disabled_at_pump;
  window.on_pump = [&](int) {
    std::string buttons;
    for (const auto& [button, on] : window.enabled) buttons += on ? "1" : "0";
    disabled_at_pump.push_back(buttons);
  };
  const ExportTarget target{ExportFormat::kCsv, "out.csv", dir_.path() / "out.csv", false};
  const ExportOutcome outcome = Run(book, window, target);
  EXPECT_EQ(outcome.end, ExportOutcome::End::kWritten);
  EXPECT_EQ(window.statuses,
            (std::vector<std::string>{"Working...", "Exported  50 of  120 ...",
                                      "Exported  100 of  120 ...",
                                      "Exported 120 contacts and 0 lists to:\r\nout.csv"}));
  EXPECT_EQ(disabled_at_pump, std::vector<std::string>(3, "0000"));
  EXPECT_EQ(outcome.book_lines,
            std::vector<std::string>{book + " (b, windows-1252): 120 contacts and 0 lists"});
  EXPECT_EQ(outcome.contacts, 120u);
}

// Closed at a progress pump, or at the first: no file, not even a part.
TEST_F(ExportRunTest, ClosingTheWindowLeavesNoFile) {
  const std::string book = Book("b.txt", Aliases(120));
  for (const int pump : {0, 1}) {
    test::RecordingWindow window(book);
    window.close_at_pump = pump;
    const ExportTarget target{ExportFormat::kVCard30, "o.vcf", dir_.path() / "o.vcf", false};
    EXPECT_EQ(Run(book, window, target).end, ExportOutcome::End::kClosing);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "pump " << pump;
  }
}

TEST_F(ExportRunTest, ACancelledTargetChangesNothing) {
  const std::string book = Book("friends.txt", "alias a a@h\r\n");
  test::RecordingWindow window(book);
  EXPECT_EQ(Run(book, window, std::nullopt).end, ExportOutcome::End::kCancelled);
  ASSERT_EQ(proposals_.size(), 1u);
  const ExportTarget suggested = proposals_[0].Suggested(ExportFormat::kLdif);
  EXPECT_EQ(suggested.text, dir_.File("friends.ldif"));
  EXPECT_EQ(suggested.path, dir_.path() / "friends.ldif");
  EXPECT_FALSE(proposals_[0].eudora_folder);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            1);
}

// A folder given stands for its books; the file is named after the first,
// even when the folder's own name is too short to take an ending.
TEST_F(ExportRunTest, AFolderGivenSuggestsItsMainBooksName) {
  std::filesystem::create_directories(dir_.path() / "E" / "Nickname");
  Book("E/nndbase.txt", "alias a a@h\r\n");
  Book("E/Nickname/work.txt", "alias b b@h\r\n");
  const std::string folder = dir_.File("E");
  test::RecordingWindow window(folder);
  ExportRunOptions options;
  options.choose_target = [](const ExportProposal& proposal) {
    return proposal.Suggested(ExportFormat::kCsv);
  };
  const ExportOutcome outcome = RunExport({{folder, folder}}, window, options);
  ASSERT_EQ(outcome.end, ExportOutcome::End::kWritten)
      << (window.messages.empty() ? "" : window.messages[0]);
  EXPECT_EQ(outcome.book_lines.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_.path() / "E" / "nndbase.csv"));
  EXPECT_EQ(window.statuses.back(), "Exported 2 contacts and 0 lists to:\r\n" +
                                        (dir_.path() / "E" / "nndbase.csv").string());
}

// From a front end without a window the export shows the same status
// texts, message boxes and pumps as from a window, and nothing else; where
// a reported failure arose comes back with the outcome.
TEST_F(ExportRunTest, WithoutAWindowItShowsWhatAWindowShowsButItsControls) {
  const std::string book = Book("b.txt", Aliases(60));
  const struct {
    const char* what;
    std::string field;
    std::filesystem::path target;
    ExportOutcome::End end;
    std::optional<std::string> place;
  } cases[] = {
      {"written", book, dir_.path() / "out.csv", ExportOutcome::End::kWritten, std::nullopt},
      {"no name", "", dir_.path() / "out.csv", ExportOutcome::End::kFailed, std::nullopt},
      {"no such book", dir_.File("missing.txt"), dir_.path() / "out.csv",
       ExportOutcome::End::kFailed, std::nullopt},
      {"a target that cannot be made", book, dir_.path() / "no folder" / "out.csv",
       ExportOutcome::End::kFailed, book},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ExportTarget target{ExportFormat::kCsv, "out.csv", c.target, false};
    test::RecordingWindow window(c.field);
    const ExportOutcome from_window = Run(c.field, window, target);
    std::filesystem::remove(c.target);
    test::RecordingView view(c.field);
    ExportRunOptions options;
    options.choose_target = [&](const ExportProposal&) { return target; };
    const ExportOutcome from_view = RunExport({{c.field, c.field}}, view, options);
    EXPECT_EQ(view.events, test::ViewEvents(window.events));
    EXPECT_NE(view.events, window.events) << "the window's buttons were set";
    EXPECT_EQ(from_window.end, c.end);
    EXPECT_EQ(from_view.end, c.end);
    EXPECT_EQ(test::Exists(c.target), c.end == ExportOutcome::End::kWritten);
    for (const ExportOutcome* outcome : {&from_window, &from_view}) {
      ASSERT_EQ(outcome->failure_place.has_value(), c.place.has_value());
      if (c.place) {
        EXPECT_EQ(outcome->failure_place->book, *c.place);
        EXPECT_EQ(outcome->failure_place->line, 0u);
      }
    }
  }
}

// Which books stand for a whole Eudora folder.
TEST_F(ExportRunTest, TheMainBookOfAEudoraFolder) {
  namespace fs = std::filesystem;
  const struct {
    std::vector<std::string> files;  // made in a folder of their own; "x/" a folder
    std::string book;
    bool whole_folder;
  } cases[] = {
      {{"nndbase.txt", "Nickname/", "Nickname/work.txt"}, "nndbase.txt", true},
      {{"NNDBASE.TXT", "nickname/", "nickname/work.txt"}, "NNDBASE.TXT", true},
      {{"Eudora Nicknames", "Nicknames Folder/", "Nicknames Folder/Family"},
       "Eudora Nicknames",
       true},
      {{"nndbase.txt"}, "nndbase.txt", false},               // no other book
      {{"nndbase.txt", "Nickname/"}, "nndbase.txt", false},  // none in its folder
      {{"nndbase.txt", "Nickname/", "Nickname/a.txt", "b.txt"}, "b.txt", false},  // not the main
      {{"nndbase.txt", "Nickname/", "Nickname/a.txt"}, "Nickname/a.txt", false},
  };
  int number = 0;
  for (const auto& c : cases) {
    const fs::path folder = dir_.path() / std::to_string(number++);
    fs::create_directory(folder);
    for (const std::string& file : c.files) {
      if (file.back() == '/') {
        fs::create_directory(folder / file.substr(0, file.size() - 1));
      } else {
        test::WriteBytes(folder / file, "alias a a@h\r\n");
      }
    }
    const std::optional<fs::path> found = EudoraFolderOfMainBook(folder / c.book);
    EXPECT_EQ(found.has_value(), c.whole_folder) << c.book << " in " << folder;
    if (found) {
      EXPECT_EQ(*found, folder);
    }
  }
}

}  // namespace
}  // namespace veltrana
