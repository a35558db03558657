// The address books of a Eudora folder. Windows keeps the main book as
// nndbase.txt (or nndbase.nnt) in the Eudora folder, more books as *.txt in
// its Nickname subfolder, and further folders of *.txt books named in
// eudora.ini under [Settings] ExtraNicknameDirs, separated by ";". The
// Macintosh version keeps "Eudora Nicknames" and a "Nicknames Folder".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veltrana {

struct BookFile {
  std::string name;  // its category in the export (UTF-8): "Eudora Nicknames" for the main book
  std::filesystem::path path;
};

// The books `path` stands for: itself when it is no folder; else the main
// book first, then the other books of the folder's subfolder and of the
// extra folders, each folder's in the order of their names. File and
// folder names are matched ignoring letter case. A folder that holds no
// book stands for itself, as a book that cannot be read.
std::vector<BookFile> FindBooks(const std::filesystem::path& path);

}  // namespace veltrana
