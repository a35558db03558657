// The contacts as an alias file for mutt, NeoMutt and aerc: one line per
// nickname, "alias -group BOOK nickname Real Name <address>, ...", the
// nickname as the user typed it, a list as the alias names of its members,
// which those programs expand themselves.
//
// An alias file is read as configuration, so every character that would
// mean something there (a backtick runs a command, "$" names a variable,
// "#" starts a comment) is escaped with a backslash. A contact without an
// address is a comment, since an alias must expand to something.
//
// Every contact has an alias name of its own, since mutt keeps only the
// last alias of a name (letter case ignored): a contact whose nickname an
// earlier contact has (the same nickname in a second book) is
// "nickname-2", or "-3" and so on, the first no other alias has. A name
// that begins with "-" would be read as an option ("-group") and takes a
// "_" before it; a control character in an alias or group name becomes
// "_". An address mutt would not read as one (a blank, a comma, brackets,
// a control character in it) is left out of its alias, which would
// otherwise be refused with the whole file, and stands in a comment above
// it. Each of these is told in `warnings`.
#pragma once

#include <string>
#include <vector>

#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

void WriteMuttAliases(const ContactBook& book, const ExportSink& sink,
                      std::vector<std::string>& warnings);

}  // namespace veltrana
