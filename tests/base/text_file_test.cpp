#include "base/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

std::vector<std::string> Split(const std::string& content) {
  std::vector<std::string> lines;
  LineCursor cursor(content);
  for (std::string_view line; cursor.Next(line);) lines.emplace_back(line);
  return lines;
}

TEST(LineCursor, EndsLinesAtCrLfLoneLfAndLoneCr) {
  const struct {
    std::string content;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then a lone CR: two line ends
      {"\r\n", {""}},
      {std::string("x\0y\x1az\r\n", 7), {std::string("x\0y\x1az", 5)}},  // NUL and byte 26 are data
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.content), c.lines);
}

TEST(ReadTextFile, MissingFileIsFileNotFoundAndADirectoryIsAnAccessError) {
  test::TempDir dir;
  try {
    ReadTextFile(dir.File("missing.txt"));
    ADD_FAILURE() << "read a missing file";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 53);
  }
  try {
    ReadTextFile(dir.path());
    ADD_FAILURE() << "read a directory";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 75);
  }
}

}  // namespace
}  // namespace veltrana
