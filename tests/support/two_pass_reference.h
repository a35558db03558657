// The conversion as first described, reading the whole nickname file again
// for every work-list entry. The run must give exactly what this gives.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/number_text.h"
#include "base/text_file.h"
#include "conversion/alias_line.h"
#include "conversion/entry_row.h"
#include "conversion/error_report.h"
#include "conversion/run_procedure.h"
#include "conversion/work_list.h"
#include "page/page_writer.h"
#include "support/temp_dir.h"

namespace veltrana::testing {

struct TwoPassOutcome {
  std::string page;                   // empty when the run failed
  std::vector<std::string> statuses;  // progress texts
  std::string report;                 // the error report, if any
};

// The plain reading: a first pass fills the work list, then each entry scans
// the file from its first line, reading one line ahead after a match.
inline TwoPassOutcome TwoPassReference(const std::string& content, const std::string& addressbook,
                                       const std::string& page_path, const CalendarDate& date) {
  TwoPassOutcome outcome;
  ConverterState state = LoadedConverterState();
  state.addressbook = addressbook;
  state.proc = kRunProc;
  ReplacingFile page;
  std::vector<std::string_view> lines;
  LineCursor cursor(content);
  for (std::string_view line; cursor.Next(line);) lines.push_back(line);
  try {
    WriteHeader(state, page, page_path, date);
    state.proc = kRunProc;
    NicknameWorkList work;
    std::deque<std::string> nicknames;  // the work list keeps views
    for (std::string_view line : lines) {
      if (!IsAliasLine(line)) continue;
      state.a.assign(line);
      ExtractNickname(state);
      state.proc = kRunProc;
      work.Append(nicknames.emplace_back(state.nickname));
    }
    const Int16 m = ToInt16(static_cast<long long>(work.Count()));
    for (int i = 1; i <= m; ++i) {
      const std::string entry(work.Item(static_cast<std::size_t>(i - 1)));
      std::size_t next = 0;
      while (next < lines.size()) {
        const std::size_t current = next++;
        if (!IsAliasLine(lines[current])) continue;
        state.a.assign(lines[current]);
        ExtractNickname(state);
        state.proc = kRunProc;
        state.emailaddress = CutAddressText(state.a, state.quote);
        state.proc = kRunProc;
        if (state.nickname != entry) continue;
        std::optional<std::string_view> ahead;
        if (next < lines.size()) ahead = lines[next++];
        WriteEntryRow(state, page, lines[current], ahead);
        if (state.ctr % 5 == 0) {
          outcome.statuses.push_back("Converted " + NumberText(state.ctr) + " of " + NumberText(m) +
                                     " ...");
        }
      }
    }
    WriteFooter(state, page);
    outcome.page = ReadBytes(page_path);
  } catch (const Failure& failure) {
    outcome.report = ErrorReportText(failure, state.proc);
  }
  return outcome;
}

}  // namespace veltrana::testing
