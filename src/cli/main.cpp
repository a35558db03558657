// veltrana-convert: the Convert run of the window, from the command line.
//
//   veltrana-convert [--settings-dir DIR] ADDRESSBOOK
//   veltrana-convert --export FORMAT [--vcard-version 3.0|4.0]
//                    [--charset auto|NAME] [-o FILE] PATH...
//
// stdout: the run's final status text. stderr: every message the run shows,
// and its progress when stderr is a terminal. Exit status 0 when the run
// reached its end, 1 when it ended otherwise, 2 for a usage error.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_identity.h"
#include "cli/arguments.h"
#include "cli/command_line.h"
#include "cli/console_view.h"
#include "cli/export_command.h"
#include "conversion/conversion_run.h"
#include "form/settings_procedures.h"
#include "settings/settings_history.h"

#if defined(_WIN32)
#include <io.h>
#define VELTRANA_ISATTY _isatty
#define VELTRANA_FILENO _fileno
#else
#include <unistd.h>
#define VELTRANA_ISATTY isatty
#define VELTRANA_FILENO fileno
#endif

namespace {

using veltrana::CommandLine;

void PrintUsage(std::FILE* to) {
  std::fputs(
      "Usage: veltrana-convert [--settings-dir DIR] ADDRESSBOOK\n"
      "       veltrana-convert --export vcard|vcard4|csv|ldif|mutt|html\n"
      "                        [--vcard-version 3.0|4.0] [--charset auto|NAME]\n"
      "                        [-o FILE] PATH...\n"
      "Convert a Eudora nickname file (address book) into an HTML page beside it:\n"
      "the same path with its last four characters replaced by \".htm\".\n"
      "With --export, write the contacts of every PATH (an address book, or a\n"
      "Eudora folder with all its books) into one file for other address books\n"
      "instead, beside the first book or to FILE; the page is not written.\n"
      "\n"
      "  --settings-dir DIR  keep the address-book history in DIR/veltra.ini, as\n"
      "                      the window keeps it in its settings folder: read\n"
      "                      it before converting, rewrite it after a\n"
      "                      conversion that wrote at least one entry\n"
      "  --export FORMAT     vcard (vCard 3.0: phones, Google, Apple, Evolution),\n"
      "                      vcard4 (vCard 4.0: Thunderbird), csv (Outlook's\n"
      "                      columns), ldif (Thunderbird, lists included),\n"
      "                      mutt (aliases for mutt, NeoMutt, aerc)\n"
      "                      or html (a web page for today: search, letters,\n"
      "                      print, phones)\n"
      "  --vcard-version V   3.0 (the default, read everywhere) or 4.0 (lists as\n"
      "                      groups with members)\n"
      "  --charset NAME      the books' character set: auto (the default: UTF-8\n"
      "                      when a book is, macintosh when its lines end in CR\n"
      "                      alone, else windows-1252), windows-1252,\n"
      "                      iso-8859-1, macintosh or utf-8; exports are UTF-8\n"
      "  -o FILE             write the export to FILE; - for standard output (the\n"
      "                      status line then goes to standard error)\n"
      "  --help              show this help and exit\n"
      "  --version           show the version and exit\n"
      "\n"
      "Prints the final status line on standard output and every message on\n"
      "standard error, and the progress there when it is a terminal that knows a\n"
      "carriage return (TERM set, not dumb). SOURCE_DATE_EPOCH, when set, gives the\n"
      "date in the pages (the UTC date of that time, in the years 1 to 9999), so\n"
      "that pages can be reproduced byte for byte.\n"
      "\n"
      "Exit status: 0 when the address book was converted (or exported), 1 when\n"
      "that failed, 2 for a usage error.\n",
      to);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "veltrana-convert: %s\nTry 'veltrana-convert --help'.\n", message.c_str());
  return 2;
}

int Main(const veltrana::Arguments& arguments) {
  const CommandLine command =
      veltrana::ParseCommandLine(arguments.texts, std::getenv("SOURCE_DATE_EPOCH"));
  switch (command.action) {
    case CommandLine::Action::kHelp: PrintUsage(stdout); return 0;
    case CommandLine::Action::kVersion:
      std::printf("veltrana-convert (%s) %d.%d\n", veltrana::kAppTitle, veltrana::kVersionMajor,
                  veltrana::kVersionMinor);
      return 0;
    case CommandLine::Action::kUsageError: return UsageError(command.error);
    case CommandLine::Action::kConvert:
    case CommandLine::Action::kExport: break;
  }

#ifdef SIGPIPE
  // A closed pipe then fails the write, and the run cleans up and reports,
  // instead of ending in the middle of it.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  // A file-size limit then fails the write (reported as a full disk) instead
  // of ending the program in the middle of a page.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  if (command.action == CommandLine::Action::kExport) {
    veltrana::ExportFiles files;
    files.date = command.date;
    for (const std::string& path : command.export_paths) {
      files.books.push_back({path, arguments.PathOf(path)});
    }
    if (command.export_options.output) {
      files.output_path = arguments.PathOf(*command.export_options.output);
    }
    return veltrana::RunExportCommand(files, command.export_options, stdout, stderr);
  }

  const bool terminal =
      veltrana::ShowsProgress(VELTRANA_ISATTY(VELTRANA_FILENO(stderr)) != 0, std::getenv("TERM"));
  veltrana::ConsoleView view(command.address_book, arguments.PathOf(command.address_book), stderr,
                             terminal);
  veltrana::ConverterState state = veltrana::LoadedConverterState();
  std::filesystem::path htmlfile;
  veltrana::RunOptions options;
  options.date = command.date;

  // With a settings folder, the history is read and kept as the window
  // keeps it; without one, no settings file is read or written. A settings
  // file that cannot be read has been reported; the book is converted all
  // the same, as the window converts it.
  std::optional<veltrana::SettingsHistory> settings;
  std::optional<veltrana::SettingsEndStep> end_step;
  if (command.settings_dir) {
    settings.emplace(veltrana::SettingsLocation{arguments.PathOf(*command.settings_dir), false});
    veltrana::LoadSettings(state, *settings, view);
    options.history = &end_step.emplace(*settings);
  }
  const veltrana::ConversionOutcome outcome =
      veltrana::RunConversion(state, view, htmlfile, options);
  if (outcome.failure_place) view.ShowFailurePlace(*outcome.failure_place);
  view.FinishProgress();

  veltrana::PrintText(stdout, view.status_text() + "\r\n");
  if (std::fflush(stdout) != 0) return 1;
  return outcome.end == veltrana::ConversionOutcome::End::kConverted ? 0 : 1;
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
  return Main(veltrana::ArgumentsOf(argc, argv));
}
#else
int main(int argc, char** argv) {
  return Main(veltrana::ArgumentsOf(argc, argv));
}
#endif
