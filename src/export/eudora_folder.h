// The address books of a Eudora folder. Windows keeps the main book as
// nndbase.txt (or nndbase.nnt) in the Eudora folder, more books as *.txt in
// its Nickname subfolder, and further folders of *.txt books named in
// eudora.ini under [Settings] ExtraNicknameDirs, separated by ";". The
// Macintosh version keeps "Eudora Nicknames" and a "Nicknames Folder".
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrana {

struct BookFile {
  std::string name;  // its category in the export (UTF-8): "Eudora Nicknames" for the main book
  std::filesystem::path path;
};

// What eudora.ini may make the program read. An ini is another program's
// file, and in a shared folder another user's: these bound what it costs.
// A real Eudora ini is some kilobytes and names a few folders.
inline constexpr std::uint64_t kMostEudoraIniBytes = std::uint64_t{1} << 20;  // 1 MiB
inline constexpr std::size_t kMostExtraFolders = 256;
inline constexpr std::size_t kMostExtraBooks = 4096;  // found in the extra folders

// The books `path` stands for: itself when it is no folder; else the main
// book first, then the other books of the folder's subfolder and of the
// extra folders, each folder's in the order of their names. File and
// folder names are matched ignoring letter case. A book is known by its
// file identity (device and inode), so a book found twice (a folder named
// again, a link) is taken once, and so is a folder. A folder that holds no
// book stands for itself, as a book that cannot be read. `warnings`, when
// given, receives what eudora.ini asked beyond the limits above (each
// limit named), and an ini another user planted in a shared folder, which
// is not read.
std::vector<BookFile> FindBooks(const std::filesystem::path& path,
                                std::vector<std::string>* warnings = nullptr);

// True when `book` is named as a Eudora folder's main book is (nndbase.txt,
// nndbase.nnt, "Eudora Nicknames"; letter case ignored): only then may the
// folder's eudora.ini matter for it.
bool HasMainBookName(const std::filesystem::path& book);

}  // namespace veltrana
