#include <gtest/gtest.h>

#include "formats/csv_field.h"

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
      {"two\nlines", "\"two\r\nlines\""},
      {"lone\rcr", "\"lone\rcr\""},
      {" spaced ", " spaced "},
  };
  for (const auto& c : cases) {
    std::string row = "first,";
    AppendCsvField(c.field, row);
    EXPECT_EQ(row, "first," + c.written) << c.field;
  }
}

}  // namespace
}  // namespace veltrana
