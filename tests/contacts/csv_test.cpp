#include <gtest/gtest.h>

#include "contacts/csv_writer.h"

namespace veltrana {
namespace {

TEST(CsvField, QuotesOnlyWhatRfc4180Requires) {
  const struct {
    std::string field, written;
  } cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"lone\rcr", "\"lone\rcr\""},
      {" spaced ", " spaced "},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.field), c.written) << c.field;
}

}  // namespace
}  // namespace veltrana
