// Any bytes as the address book, through the whole conversion run and the
// recording window. Beyond "no crash", every input must end in one of the
// documented ways:
//   - converted: the page starts with its header, ends with "</html>" and
//     two line ends, holds exactly `ctr` rows, and equals what the two-pass
//     reading gives; no message was shown; View has the focus;
//   - failed: one error report naming an operation of the run, no page, no
//     temporary file, Convert and Browse enabled, View disabled;
// and the address book is never changed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "conversion/conversion_run.h"
#include "page/page_writer.h"
#include "support/fuzz_property.h"
#include "support/page_text.h"
#include "support/recording_window.h"
#include "support/run_outcome.h"
#include "support/temp_dir.h"
#include "support/two_pass_reference.h"

namespace {

using namespace veltrana;
using test::Check;
using test::Fail;

constexpr CalendarDate kDate{1997, 3, 5};
// The two-pass reading is quadratic; compare with it on inputs this small.
constexpr std::size_t kReferenceLimit = 4096;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

std::size_t FilesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
}

void CheckConverted(const test::RecordingWindow& window, const ConverterState& state,
                    const std::string& book, const std::string& page) {
  Check(window.messages.empty(), "a converted run shows no message",
        window.messages.empty() ? "" : window.messages[0]);
  const std::string header = test::ExpectedHeader(BookTitle(book), PageDateText(kDate));
  Check(page.compare(0, header.size(), header) == 0, "the page starts with its header");
  Check(page.size() >= 11 && page.compare(page.size() - 11, 11, "</html>\r\n\r\n") == 0,
        "the page ends with </html> and two line ends");
  Check(Count(page, "\r\n<tr>\r\n<td><b>") == static_cast<std::size_t>(state.ctr),
        "the page holds ctr rows");
  Check(page.find("<p> " + std::to_string(state.ctr) + " Entries converted from Address Book: ") !=
            std::string::npos,
        "the footer counts ctr entries");
  Check(window.status.rfind("Done.  " + std::to_string(state.ctr) + " Nicknames converted to:\r\n",
                            0) == 0,
        "the status line reports the count", window.status);
  Check(window.enabled.at(Button::kView) && window.focus == "View", "View is enabled and focused");
}

void CheckFailed(const test::RecordingWindow& window, const std::string& page_path) {
  static const std::regex report(
      "Error  [0-9]+: [^\r\n]+\r\nProcedure: (cmdConvert_Click|ExtractNickname|WriteHeader|"
      "WriteHTMLLine|WriteFooter|ReadNoteLine|ReplaceChr3|StripBrackets|MultipleAddress|"
      "MakeMultipleAddress|AddressFormat|ExtractEmailAddress)\\(\\)");
  Check(window.messages.size() == 1, "a failed run shows one report");
  Check(std::regex_match(window.messages[0], report), "the report names an operation",
        window.messages[0]);
  Check(!test::Exists(page_path), "a failed run leaves no page");
  Check(window.enabled.at(Button::kConvert) && window.enabled.at(Button::kBrowse) &&
            !window.enabled.at(Button::kView),
        "after a failure Convert and Browse are enabled, View is not");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const test::TempDir folder;
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::string book = folder.File("book.txt");
  const std::string page_path = folder.File("book.htm");
  test::WriteBytes(book, content);

  test::RecordingWindow window(book);
  ConverterState state = LoadedConverterState();
  std::filesystem::path htmlfile;
  RunOptions options;
  options.date = kDate;
  const test::RunOutcome outcome = test::RunThrough(state, window, htmlfile, options);

  Check(test::ReadBytes(book) == content, "the address book is unchanged");
  const std::string page = test::ReadBytes(page_path);
  if (outcome == test::RunOutcome::kConverted) {
    CheckConverted(window, state, book, page);
    Check(FilesIn(folder.path()) == 2, "the book and its page, nothing else");
  } else if (outcome == test::RunOutcome::kFailed) {
    CheckFailed(window, page_path);
    Check(FilesIn(folder.path()) == 1, "the book alone, no temporary file");
  } else {
    Fail("the run ends converted or failed");
  }

  if (size <= kReferenceLimit) {
    const test::TwoPassOutcome expected = test::TwoPassReference(content, book, kDate);
    Check(expected.page == page, "the page equals the two-pass reading's");
    Check(expected.report == (window.messages.empty() ? "" : window.messages[0]),
          "the failure equals the two-pass reading's", expected.report);
  }
  std::filesystem::remove(page_path);
  return 0;
}
