#include <gtest/gtest.h>

#include "formats/csv_field.h"

namespace veltrana {
namespace {

TEST(CsvField, QuotesOnlyWhatRfc4180RequiresAndWritesAFormulaAsText) {
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
      // A cell a spreadsheet would take for a formula and run is written
      // with a "'" before it; a phone number or a number as written stays.
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"=HYPERLINK(\"http://x/\",\"click\")", "\"'=HYPERLINK(\"\"http://x/\"\",\"\"click\"\")\""},
      {"+SUM(A1:A2)", "'+SUM(A1:A2)"},
      {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
      {"@SUM(1)", "'@SUM(1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},
      {"=a,b", "\"'=a,b\""},
      {"-", "'-"},
      {"+44 114 555 0101", "+44 114 555 0101"},
      {"+1 (555) 010-0199", "+1 (555) 010-0199"},
      {"-5", "-5"},
      {"-0.25", "-0.25"},
      {"+49/30/1234", "+49/30/1234"},
      {"+1 (555) 010-0199 ext. 7", "+1 (555) 010-0199 ext. 7"},
      {"+1 555 0100x12", "+1 555 0100x12"},
      {"-x 7", "'-x 7"},
      {"+ext.", "'+ext."},
      {"+1 555 EXT", "'+1 555 EXT"},
      {"a=b", "a=b"},
      {"2+2", "2+2"},
      {"x@y", "x@y"},
  };
  for (const auto& c : cases) {
    std::string row = "first,";
    AppendCsvField(c.field, row);
    EXPECT_EQ(row, "first," + c.written) << c.field;
  }
}

}  // namespace
}  // namespace veltrana
