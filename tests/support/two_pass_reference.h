// The conversion as first described, reading the whole nickname file again
// for every work-list entry. The run must give exactly what this gives.
//
// It stands on its own where the run is fast: its own work list (a plain
// stable sort, letter case folded here, not by the program's folding), its
// own loop over the entries, and its own row text. It shares with the run
// only the operations on one entry's text (the cuts of a line, the address
// formatting, the note line), which their own tests pin to literal results.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/number_text.h"
#include "base/text_file.h"
#include "conversion/alias_line.h"
#include "conversion/error_report.h"
#include "conversion/run_procedure.h"
#include "page/address_format.h"
#include "page/note_line.h"
#include "page/page_writer.h"
#include "support/page_text.h"

namespace veltrana::test {

struct TwoPassOutcome {
  std::string page;                   // empty when the run failed
  std::vector<std::string> statuses;  // progress texts
  std::string report;                 // the error report, if any
};

namespace two_pass {

// Letter case ignored as the page ignores it: ASCII and the Latin-1
// capitals (192 to 222 but the multiplication sign, 215) are lower-cased.
inline std::string Folded(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 192 && byte <= 222 && byte != 215)) {
      c = static_cast<char>(byte + 32);
    }
  }
  return text;
}

// The work list: every nickname, in ascending order of its folded bytes;
// equal ones in the order they were added.
inline std::vector<std::string> Sorted(std::vector<std::string> nicknames) {
  std::stable_sort(nicknames.begin(), nicknames.end(),
                   [](const std::string& a, const std::string& b) {
                     const std::string fa = Folded(a), fb = Folded(b);
                     return std::lexicographical_compare(
                         fa.begin(), fa.end(), fb.begin(), fb.end(), [](char x, char y) {
                           return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                         });
                   });
  return nicknames;
}

// One table row as the page shows it.
inline std::string RowText(const ConverterState& s) {
  std::string contact = s.recipientname + "<br>" + s.recipientaddress + "<br>";
  if (!s.recipientphone.empty()) contact += "Phone: " + s.recipientphone + "<br>";
  if (!s.recipientfax.empty()) contact += "Fax: " + s.recipientfax;
  return "<tr>\r\n<td><b>" + s.nickname + "</b><br>" + s.emailaddress + "\r\n" +
         "<td valign=top><font size=small>" + contact + "</font>\r\n" +
         "<td valign=top><font size=small>" + s.recipientnote + "</font>\r\n</tr>\r\n\r\n";
}

}  // namespace two_pass

// The plain reading: a first pass fills the work list, then each entry scans
// the file from its first line, reading one line ahead after a match.
inline TwoPassOutcome TwoPassReference(const std::string& content, const std::string& addressbook,
                                       const CalendarDate& date) {
  TwoPassOutcome outcome;
  ConverterState state = LoadedConverterState();
  state.addressbook = addressbook;
  state.proc = kRunProc;
  std::vector<std::string_view> lines;
  LineCursor cursor(content);
  for (std::string_view line; cursor.Next(line);) lines.push_back(line);
  try {
    std::string page = ExpectedHeader(BookTitle(addressbook), PageDateText(date));
    std::vector<std::string> nicknames;
    for (std::string_view line : lines) {
      if (!IsAliasLine(line)) continue;
      state.a.assign(line);
      ExtractNickname(state);
      nicknames.push_back(state.nickname);
    }
    const std::vector<std::string> work = two_pass::Sorted(nicknames);
    const Int16 m = ToInt16(static_cast<long long>(work.size()));
    for (const std::string& entry : work) {
      std::size_t next = 0;
      while (next < lines.size()) {
        const std::size_t current = next++;
        if (!IsAliasLine(lines[current])) continue;
        state.a.assign(lines[current]);
        ExtractNickname(state);
        state.emailaddress = CutAddressText(state.a, state.quote);
        if (state.nickname != entry) continue;

        if (MultipleAddress(state, state.emailaddress)) {
          MakeMultipleAddress(state, state.emailaddress);
          state.emailaddress = "<font size=small>" + state.emailaddress + "</font>";
        } else {
          ExtractEmailAddress(state);
        }
        if (next < lines.size()) state.a.assign(lines[next++]);
        if (IsNoteLine(state.a)) {
          state.noteline = CutNoteText(state.a, state.quote);
          ReadNoteLine(state);
        } else {
          state.recipientname.clear();
          state.recipientaddress.clear();
          state.recipientphone.clear();
          state.recipientfax.clear();
          state.recipientnote.clear();
        }
        page += two_pass::RowText(state);
        if (state.ctr == 32767) {  // the row is written, then its count overflows
          state.proc = "WriteHTMLLine()";
          throw Failure(kOverflow);
        }
        ++state.ctr;
        if (state.ctr % 5 == 0) {
          outcome.statuses.push_back("Converted " + NumberText(state.ctr) + " of " + NumberText(m) +
                                     " ...");
        }
      }
    }
    outcome.page = page + ExpectedFooter(state.ctr, addressbook);
  } catch (const Failure& failure) {
    outcome.report = ErrorReportText(failure, state.proc);
  }
  return outcome;
}

}  // namespace veltrana::test
