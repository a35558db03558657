#include "export/eudora_folder.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "base/case_fold.h"
#include "base/file_names.h"
#include "base/system_text.h"
#include "base/text_file.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMainBookName = "Eudora Nicknames";

std::string Utf8Name(const fs::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The entries of a folder, sorted by name; none when it cannot be read.
std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The entry of `folder` named `name`, letter case ignored.
std::optional<fs::path> Named(const fs::path& folder, std::string_view name) {
  for (const fs::path& entry : Entries(folder)) {
    if (FoldedCopy(Utf8Name(entry)) == FoldedCopy(name)) return entry;
  }
  return std::nullopt;
}

void AddFolderBooks(const fs::path& folder, bool txt_only, std::vector<BookFile>& books) {
  for (const fs::path& entry : Entries(folder)) {
    const std::string name = Utf8Name(entry);
    const bool txt = name.size() > 4 && FoldedCopy(name.substr(name.size() - 4)) == ".txt";
    if (!IsFile(entry) || (txt_only && !txt) || (!name.empty() && name.front() == '.')) continue;
    books.push_back({BookTitle(name), entry});
  }
}

// The folders eudora.ini names under [Settings] ExtraNicknameDirs.
std::vector<fs::path> ExtraFolders(const fs::path& eudora) {
  std::vector<fs::path> folders;
  const std::optional<fs::path> ini = Named(eudora, "eudora.ini");
  if (!ini || !IsFile(*ini)) return folders;
  const std::string text = ReadTextFile(*ini);
  LineCursor cursor(text);
  std::string_view line;
  bool settings = false;
  while (cursor.Next(line)) {
    line = TrimSpace(line);
    if (!line.empty() && line.front() == '[') {
      settings = FoldedCopy(line) == "[settings]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!settings || equals == std::string_view::npos ||
        FoldedCopy(TrimSpace(line.substr(0, equals))) != "extranicknamedirs") {
      continue;
    }
    std::string_view dirs = line.substr(equals + 1);
    while (!dirs.empty()) {
      const std::size_t semicolon = std::min(dirs.find(';'), dirs.size());
      const std::string_view dir = TrimSpace(dirs.substr(0, semicolon));
      if (!dir.empty()) {
        const fs::path path = PathOfText(dir);
        folders.push_back(path.is_absolute() ? path : eudora / path);
      }
      dirs.remove_prefix(std::min(semicolon + 1, dirs.size()));
    }
  }
  return folders;
}

}  // namespace

std::vector<BookFile> FindBooks(const fs::path& path) {
  if (!IsFolder(path)) return {{BookTitle(Utf8Name(path)), path}};
  std::vector<BookFile> books;
  for (const char* main : {"nndbase.txt", "nndbase.nnt", "Eudora Nicknames"}) {
    if (const std::optional<fs::path> book = Named(path, main); book && IsFile(*book)) {
      books.push_back({kMainBookName, *book});
      break;
    }
  }
  if (const std::optional<fs::path> folder = Named(path, "Nickname"); folder && IsFolder(*folder)) {
    AddFolderBooks(*folder, true, books);
  }
  if (const std::optional<fs::path> folder = Named(path, "Nicknames Folder");
      folder && IsFolder(*folder)) {
    AddFolderBooks(*folder, false, books);
  }
  for (const fs::path& folder : ExtraFolders(path)) AddFolderBooks(folder, true, books);
  // A folder that holds no book is given back as it is: reading it then
  // fails as reading any folder as a book fails.
  if (books.empty()) books.push_back({BookTitle(Utf8Name(path)), path});
  return books;
}

}  // namespace veltrana
