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

#include <string>
#include <string_view>

#include "contacts/contact_book.h"
#include "contacts/export_sink.h"

namespace veltrana {

void WriteMuttAliases(const ContactBook& book, const ExportSink& sink);

// One token of the file (a nickname, a group name) with each blank and
// special character escaped.
std::string MuttToken(std::string_view text);

}  // namespace veltrana
