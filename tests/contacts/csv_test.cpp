#include <gtest/gtest.h>

#include "contacts/contact_book.h"
#include "contacts/csv_writer.h"
#include "support/temp_dir.h"

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

TEST(WriteCsv, OneRowPerContactWithOverflowInTheNotes) {
  const ContactBook book = ReadContactBook(
      "alias ann \"Ann Lee\" <a1@x>, a2@x, a3@x, a4@x\r\n"
      "note ann <phone:1><phone:2><phone:3><fax:4><fax:5><address:1 Elm\x03"
      "Flat 2><city:Town>"
      "<web:w1><web2:w2><otherweb:w3><title:T>\"Quoted\", she said\r\n"
      "alias ann <a5@x>\r\n"
      "note ann <address:2 Oak><country:UK>\r\n"
      "alias list ann\r\n",
      Charset::kWindows1252);
  testing::TempDir dir;
  ReplacingFile file;
  file.Open(dir.File("out.csv"));
  WriteCsv(book.contacts, book.resolution, file);
  file.Commit();
  const std::string header =
      "First Name,Last Name,Nickname,E-mail Address,E-mail 2 Address,E-mail 3 Address,"
      "Home Phone,Home Phone 2,Business Phone,Business Phone 2,Mobile Phone,Home Fax,"
      "Other Phone,Home Street,Home City,Home State,Home Postal Code,Home Country/Region,"
      "Business Street,Business City,Business State,Business Postal Code,"
      "Business Country/Region,Job Title,Company,Web Page,Notes\r\n";
  const std::string notes =
      "\"\"\"Quoted\"\", she said\r\nemail: a4@x\r\nemail: a5@x\r\nphone: 3\r\nfax: 5\r\n"
      "address: 2 Oak\r\ncountry: UK\r\nweb2: w2\r\notherweb: w3\"";
  EXPECT_EQ(testing::ReadBytes(dir.File("out.csv")),
            "\xEF\xBB\xBF" + header +
                "Ann,Lee,ann,a1@x,a2@x,a3@x,1,2,,,,4,,\"1 Elm\r\nFlat 2\",Town,,,,,,,,,T,,w1," +
                notes + "\r\n" +
                "list,,list,a1@x,a2@x,a3@x,,,,,,,,,,,,,,,,,,,,,\"email: a4@x\r\nemail: a5@x\"\r\n");
  EXPECT_EQ(CsvColumns().size(), 27u);
}

}  // namespace
}  // namespace veltrana
