// File names shown and typed in the window: bytes that are not UTF-8 show
// as Latin-1 and are found again from what the window shows.
#include "ui/file_name_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace veltrana {
namespace {

TEST(ShowBytes, ShowsUtf8AsItsCharactersAndEveryOtherByteAsLatin1) {
  const struct {
    std::string bytes;
    QString shown;
  } cases[] = {
      {"plain.txt", QStringLiteral("plain.txt")},
      {"caf\xC3\xA9.txt", QString::fromUtf8("caf\xC3\xA9.txt")},
      {"caf\xE9.txt", QString::fromUtf8("caf\xC3\xA9.txt")},
      {"\xC3", QString::fromUtf8("\xC3\x83")},                          // a sequence cut short
      {"\xED\xA0\x80", QString::fromUtf8("\xC3\xAD\xC2\xA0\xC2\x80")},  // an encoded surrogate
      {"\xC0\xAF", QString::fromUtf8("\xC3\x80\xC2\xAF")},              // an overlong slash
      {"\xF0\x9F\x93\x87", QString::fromUtf8("\xF0\x9F\x93\x87")},
      {std::string("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")},
  };
  for (const auto& c : cases) EXPECT_EQ(ShowBytes(c.bytes), c.shown) << c.bytes;
}

TEST(FileNameBytes, FindsTheEntryTheTextShows) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "r\xE9sum\xE9");  // a Latin-1 folder
  test::WriteBytes(dir.path() / "r\xE9sum\xE9" / "caf\xE9.txt", "");
  test::WriteBytes(dir.path() / "d\xC3\xA9j\xC3\xA0.txt", "");
  const std::string base = dir.path().string() + "/";
  const QString shown_base = QString::fromStdString(base);
  const struct {
    const char* typed;  // UTF-8, as the window shows it
    std::string bytes;
  } cases[] = {
      {"r\xC3\xA9sum\xC3\xA9/caf\xC3\xA9.txt", "r\xE9sum\xE9/caf\xE9.txt"},
      {"d\xC3\xA9j\xC3\xA0.txt", "d\xC3\xA9j\xC3\xA0.txt"},
      {"nouveau caf\xC3\xA9.txt", "nouveau caf\xC3\xA9.txt"},  // not there: UTF-8
      {"r\xC3\xA9sum\xC3\xA9/nouveau.txt", "r\xE9sum\xE9/nouveau.txt"},
      {"\xE2\x82\xAC.txt", "\xE2\x82\xAC.txt"},  // no Latin-1 spelling
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameBytes(shown_base + QString::fromUtf8(c.typed)), base + c.bytes) << c.typed;
  }
}

}  // namespace
}  // namespace veltrana
