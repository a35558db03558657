#include "export/eudora_folder.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "base/case_fold.h"
#include "base/failure.h"
#include "base/file_names.h"
#include "base/native_file.h"
#include "base/system_text.h"
#include "base/text_file.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMainBookName = "Eudora Nicknames";
constexpr const char* kMainBookFiles[] = {"nndbase.txt", "nndbase.nnt", "Eudora Nicknames"};

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

// What FindBooks has found so far, each book and folder by its identity.
class Found {
 public:
  explicit Found(std::vector<std::string>* warnings) : warnings_(warnings) {}

  // False for a folder seen already (named again, or through a link).
  bool FirstVisit(const fs::path& folder) { return Known(folder, folders_); }
  // Adds a book unless it is there already; false when it was.
  bool Add(std::string name, const fs::path& path) {
    if (!Known(path, files_)) return false;
    books.push_back({std::move(name), path});
    return true;
  }
  void Warn(std::string warning) {
    if (warnings_ != nullptr) warnings_->push_back(std::move(warning));
  }

  std::vector<BookFile> books;

 private:
  // True the first time an identity is met; a file that cannot be asked
  // for one is taken by its name (reading it will tell what is wrong).
  bool Known(const fs::path& path, std::vector<native::FileId>& seen) {
    const std::optional<native::FileId> id = native::IdOf(path);
    if (!id) return true;
    if (std::find(seen.begin(), seen.end(), *id) != seen.end()) return false;
    seen.push_back(*id);
    return true;
  }

  std::vector<native::FileId> files_;
  std::vector<native::FileId> folders_;
  std::vector<std::string>* warnings_;
};

bool HasTxtEnding(const std::string& name) {
  return name.size() > 4 && FoldedCopy(name.substr(name.size() - 4)) == ".txt";
}

// The books of one folder in the order of their names. With `room`, at
// most that many more are taken (it counts down); false when the folder
// held more.
bool AddFolderBooks(const fs::path& folder, bool txt_only, Found& found,
                    std::size_t* room = nullptr) {
  if (!found.FirstVisit(folder)) return true;
  for (const fs::path& entry : Entries(folder)) {
    const std::string name = Utf8Name(entry);
    // The name first: a folder of many other files costs no look at each.
    if ((txt_only && !HasTxtEnding(name)) || (!name.empty() && name.front() == '.')) continue;
    if (!IsFile(entry)) continue;
    if (room != nullptr && *room == 0) return false;
    if (found.Add(BookTitle(name), entry) && room != nullptr) --*room;
  }
  return true;
}

// The folders eudora.ini names under [Settings] ExtraNicknameDirs, at most
// kMostExtraFolders. An ini larger than kMostEudoraIniBytes is not read, nor
// one that another user planted in a shared folder; each is a warning.
std::vector<fs::path> ExtraFolders(const fs::path& eudora, Found& found) {
  std::vector<fs::path> folders;
  const std::optional<fs::path> ini = Named(eudora, "eudora.ini");
  if (!ini || !IsFile(*ini)) return folders;
  const std::string ini_text = TextOfPath(*ini);
  if (!native::MayFollowLink(*ini) || native::IsPlantedFile(*ini)) {
    found.Warn(ini_text + ": made by another user in a shared folder; not read");
    return folders;
  }
  std::string text;
  try {
    native::FileId id;
    text = native::ReadRegularFile(*ini, kMostEudoraIniBytes, id);
  } catch (const Failure& failure) {
    if (failure.description() != TooLargeToRead().description()) throw;
    found.Warn(ini_text + ": larger than " + std::to_string(kMostEudoraIniBytes >> 20) +
               " MiB; not read, so no extra nickname folder is");
    return folders;
  }
  std::vector<native::FileId> distinct;
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
      const fs::path named = dir.empty() ? fs::path() : PathOfText(dir);
      const fs::path folder = named.is_absolute() ? named : eudora / named;
      // Counted once each, by identity: a folder named again adds nothing,
      // and neither does one that is not there.
      const std::optional<native::FileId> id = dir.empty() ? std::nullopt : native::IdOf(folder);
      if (id && std::find(distinct.begin(), distinct.end(), *id) == distinct.end()) {
        if (folders.size() == kMostExtraFolders) {
          found.Warn(ini_text + ": names more than " + std::to_string(kMostExtraFolders) +
                     " extra nickname folders; the rest are not read");
          return folders;
        }
        distinct.push_back(*id);
        folders.push_back(folder);
      }
      dirs.remove_prefix(std::min(semicolon + 1, dirs.size()));
    }
  }
  return folders;
}

}  // namespace

std::vector<BookFile> FindBooks(const fs::path& path, std::vector<std::string>* warnings) {
  if (!IsFolder(path)) return {{BookTitle(Utf8Name(path)), path}};
  Found found(warnings);
  for (const char* main : kMainBookFiles) {
    if (const std::optional<fs::path> book = Named(path, main); book && IsFile(*book)) {
      found.Add(kMainBookName, *book);
      break;
    }
  }
  if (const std::optional<fs::path> folder = Named(path, "Nickname"); folder && IsFolder(*folder)) {
    AddFolderBooks(*folder, true, found);
  }
  if (const std::optional<fs::path> folder = Named(path, "Nicknames Folder");
      folder && IsFolder(*folder)) {
    AddFolderBooks(*folder, false, found);
  }
  std::size_t room = kMostExtraBooks;
  for (const fs::path& folder : ExtraFolders(path, found)) {
    if (!AddFolderBooks(folder, true, found, &room)) {
      found.Warn(TextOfPath(path) + ": the extra nickname folders of its eudora.ini hold more than " +
                 std::to_string(kMostExtraBooks) + " books; the rest are not read");
      break;
    }
  }
  // A folder that holds no book is given back as it is: reading it then
  // fails as reading any folder as a book fails.
  if (found.books.empty()) found.books.push_back({BookTitle(Utf8Name(path)), path});
  return std::move(found.books);
}

bool HasMainBookName(const fs::path& book) {
  const std::string name = FoldedCopy(Utf8Name(book));
  return std::any_of(std::begin(kMainBookFiles), std::end(kMainBookFiles),
                     [&name](const char* main) { return FoldedCopy(main) == name; });
}

}  // namespace veltrana
