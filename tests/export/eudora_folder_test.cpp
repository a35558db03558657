#include "export/eudora_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace veltrana {
namespace {

TEST(FindBooks, TheBooksOfAEudoraFolder) {
  test::TempDir dir;
  namespace fs = std::filesystem;
  const fs::path eudora = dir.path() / "Eudora";
  fs::create_directories(eudora / "Nickname");
  fs::create_directories(dir.path() / "extra");
  const auto write = [](const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  write(eudora / "NNDBASE.TXT", "alias a a@x\r\n");
  write(eudora / "Nickname" / "work.txt", "");
  write(eudora / "Nickname" / "notes.doc", "");
  write(eudora / "Nickname" / "Club.txt", "");
  write(dir.path() / "extra" / "more.txt", "");
  write(eudora / "eudora.ini",
        "[Settings]\r\nExtraNicknameDirs=" + (dir.path() / "extra").string() + ";missing\r\n");
  std::vector<std::string> found;
  for (const BookFile& book : FindBooks(eudora)) {
    found.push_back(book.name + "=" + book.path.filename().string());
  }
  EXPECT_EQ(found, (std::vector<std::string>{"Eudora Nicknames=NNDBASE.TXT", "Club=Club.txt",
                                             "work=work.txt", "more=more.txt"}));
  const fs::path mac = dir.path() / "Mac";
  fs::create_directories(mac / "Nicknames Folder");
  write(mac / "Eudora Nicknames", "");
  write(mac / "Nicknames Folder" / "Family", "");
  found.clear();
  for (const BookFile& book : FindBooks(mac)) found.push_back(book.name);
  EXPECT_EQ(found, (std::vector<std::string>{"Eudora Nicknames", "Family"}));
  EXPECT_EQ(FindBooks(eudora / "NNDBASE.TXT").front().name, "Eudora Nicknames");
}

// A book is known by its file identity: the Nickname folder named again in
// eudora.ini (by other spellings), the Eudora folder itself and a link to a
// book add nothing; a folder named that is not there adds nothing either.
TEST(FindBooks, EachBookOnceByItsIdentity) {
  test::TempDir dir;
  namespace fs = std::filesystem;
  const fs::path eudora = dir.path() / "Eudora";
  fs::create_directories(eudora / "Nickname");
  std::ofstream(eudora / "nndbase.txt") << "alias a a@x\r\n";
  std::ofstream(eudora / "Nickname" / "work.txt") << "alias w w@x\r\n";
  std::ofstream(eudora / "loose.txt") << "alias l l@x\r\n";
  // A second name of one file (a hard link: Windows knows them too).
  fs::create_hard_link(eudora / "Nickname" / "work.txt", eudora / "Nickname" / "also.txt");
  std::ofstream(eudora / "eudora.ini", std::ios::binary)
      << "[Settings]\r\nExtraNicknameDirs=Nickname;./Nickname/;" << (eudora / "Nickname").string()
      << ";.;missing\r\n";
  std::vector<std::string> warnings;
  std::vector<std::string> found;
  for (const BookFile& book : FindBooks(eudora, &warnings)) {
    found.push_back(book.path.filename().string());
  }
  EXPECT_EQ(found, (std::vector<std::string>{"nndbase.txt", "also.txt", "loose.txt"}));
  EXPECT_TRUE(warnings.empty());
}

TEST(HasMainBookName, OnlyTheMainBooksNamesInAnyLetterCase) {
  for (const char* name : {"nndbase.txt", "NNDBASE.TXT", "dir/nndbase.nnt", "Eudora Nicknames"}) {
    EXPECT_TRUE(HasMainBookName(name)) << name;
  }
  for (const char* name : {"friends.txt", "nndbase.txt.bak", "nndbase", "Nickname/x.txt"}) {
    EXPECT_FALSE(HasMainBookName(name)) << name;
  }
}

}  // namespace
}  // namespace veltrana
