// The contacts as an alias file for mutt, NeoMutt and aerc: one line per
// nickname, "alias -group BOOK nickname Real Name <address>, ...", the
// nickname exactly as the user typed it, a list as the nicknames of its
// members, which those programs expand themselves.
//
// An alias file is read as configuration, so every character that would
// mean something there (a backtick runs a command, "$" names a variable,
// "#" starts a comment) is escaped with a backslash. A contact without an
// address is a comment, since an alias must expand to something.
#pragma once

#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

void WriteMuttAliases(const ContactBook& book, const ExportSink& sink);

}  // namespace veltrana
