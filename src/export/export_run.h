// The export run, as the command line and the window run it: the books read
// once, the target chosen (given on the command line, asked in the window's
// Save dialog), a target that is one of the books refused, the file written
// whole or not at all with progress on the status line, and the status,
// the book lines and the warnings that say what happened. A book that
// cannot be read gets the page run's answers.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion/converter_window.h"
#include "conversion/error_report.h"
#include "conversion/run_view.h"
#include "formats/export.h"
#include "text/charset.h"

namespace veltrana {

// A book or a Eudora folder as the user named it: its text and the system's
// name for it.
struct ExportPath {
  std::string text;
  std::filesystem::path path;
};

// Where the export goes, in which format, and whether the other books of
// the main book's Eudora folder go with it.
struct ExportTarget {
  ExportFormat format = ExportFormat::kVCard30;
  std::string text;  // as the status line shows it
  std::filesystem::path path;
  bool whole_folder = false;
  bool standard_output = false;  // written to standard output, `path` unused
  // The program chose the path (Suggested), not the user: run as root, no
  // link another user made is followed on the way to it.
  bool named_by_program = false;
};

// What the run knows when it asks for the target.
struct ExportProposal {
  // The first book read; for a folder given that has no main book, its
  // first book's name in that folder, so that the export stays in the
  // folder given and never lands beside a book found elsewhere (a folder
  // eudora.ini names may be anywhere).
  ExportPath first_book;
  // The first book is the main book of a Eudora folder that holds other
  // books as well: the export may take them all.
  std::optional<std::filesystem::path> eudora_folder;

  // The first book's name with `format`'s ending in place of its last four
  // characters, in the book's folder ("friends.txt" gives "friends.vcf");
  // code 5 for a name of fewer than four characters.
  [[nodiscard]] ExportTarget Suggested(ExportFormat format) const;
};

// Asks for the target; none when the user cancelled.
using ChooseExportTarget = std::function<std::optional<ExportTarget>(const ExportProposal&)>;

struct ExportRunOptions {
  std::optional<Charset> charset;  // none: each book in the set its bytes suggest
  ChooseExportTarget choose_target;
};

struct ExportOutcome {
  enum class End {
    kWritten,    // the file was written
    kCancelled,  // the user chose no target; nothing was changed
    kClosing,    // the window was closed during the run; no file was written
    kFailed,     // reported to the window; no file was written
  };
  End end = End::kFailed;
  std::size_t contacts = 0;  // people and lists, all books together
  // Per book read: "book.txt (book, windows-1252): 2 contacts and 1 list".
  std::vector<std::string> book_lines;
  // What was taken in part, at most 20 of each kind and a line for the rest.
  std::vector<std::string> warnings;
  // Where the failure the error report showed arose: the book being read,
  // or the export's target once it is written.
  std::optional<FailurePlace> failure_place;

  // The book lines, then the window's `status`, a line each (CR LF), as a
  // console shows what happened.
  [[nodiscard]] std::string Report(const std::string& status) const;
};

// The run, from `window`. It sets "Working..." and disables Convert,
// Browse, View and Export; the caller enables them again, as the window's
// state requires. The status line ends as "Exported 2 contacts and 1 list
// to:" and the target's text, or as the report of what went wrong.
[[nodiscard]] ExportOutcome RunExport(const std::vector<ExportPath>& books, ConverterWindow& window,
                                      const ExportRunOptions& options);

// The same without a window (the command line, the browser edition): `view`
// shows the run.
[[nodiscard]] ExportOutcome RunExport(const std::vector<ExportPath>& books, RunView& view,
                                      const ExportRunOptions& options);

// The Eudora folder whose main book `book` is, when that folder holds other
// books too (its Nickname folder, the Macintosh Nicknames Folder, the extra
// folders eudora.ini names); none otherwise. The folder is looked into only
// when `book` has a main book's name: exporting one other book never reads
// the folder's eudora.ini.
[[nodiscard]] std::optional<std::filesystem::path> EudoraFolderOfMainBook(
    const std::filesystem::path& book);

}  // namespace veltrana
