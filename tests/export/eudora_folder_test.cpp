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

}  // namespace
}  // namespace veltrana
