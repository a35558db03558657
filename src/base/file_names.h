// File names the program derives from the address book's, and whether two
// names are one file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrana {

// `name` with its last four characters replaced by `ending`, whatever they
// are: "c:\eudora\nndbase.txt" with ".htm" gives "c:\eudora\nndbase.htm",
// "book.text" gives "book..htm". Code 5 for a name of fewer than four
// characters. The text form is what the user is shown; the path form is the
// file, in the system's own characters.
std::string WithEnding(const std::string& name, std::string_view ending);
std::filesystem::path WithEnding(const std::filesystem::path& name, std::string_view ending);

// True when the two names are one file: the same name, or the same file
// reached through a link.
bool NamesSameFile(const std::filesystem::path& first, const std::filesystem::path& second);

// The part of `path` after its last backslash or slash (the whole path when
// it has neither), so that the same book gives the same title on every
// system.
std::string StripPath(std::string_view path);

// The address book's title, as the page's header and the export's
// categories name it: the path without a ".txt" ending (any letter case)
// and without its folders; the default Eudora book "nndbase" is called
// "Eudora Nicknames".
std::string BookTitle(std::string_view addressbook);

}  // namespace veltrana
