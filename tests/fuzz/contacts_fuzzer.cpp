// Any bytes as an address book for the export (the first byte chooses its
// character set). Every contact gives a vCard 3.0 and 4.0 card that opens
// and closes, whose lines are valid UTF-8 of at most 75 octets ended by
// CR LF, and a CSV row whose line breaks are CR LF.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "contacts/contact_book.h"
#include "contacts/csv_writer.h"
#include "contacts/vcard_writer.h"
#include "support/fuzz_property.h"

namespace {

using namespace veltrana;
using testing::Check;
using testing::Fail;

void CheckCard(const std::string& card) {
  Check(card.rfind("BEGIN:VCARD\r\n", 0) == 0, "a card opens");
  Check(card.size() >= 11 && card.compare(card.size() - 11, 11, "END:VCARD\r\n") == 0,
        "a card closes");
  Check(ToUtf8(card, Charset::kUtf8).replaced == 0, "a card is UTF-8 text");
  std::size_t start = 0;
  while (start < card.size()) {
    const std::size_t end = card.find("\r\n", start);
    Check(end != std::string::npos, "every line ends with CR LF");
    Check(end - start <= 75, "no line is longer than 75 octets");
    Check(card.find_first_of("\r\n", start) == end, "no bare line end");
    start = end + 2;
  }
}

void CheckRow(const CsvRow& row) {
  for (const std::string& field : row) {
    for (std::size_t i = field.find('\n'); i != std::string::npos; i = field.find('\n', i + 1)) {
      Check(i > 0 && field[i - 1] == '\r', "a field's line breaks are CR LF");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto charset = static_cast<Charset>(data[0] % 4);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const ContactBook book = ReadContactBook(bytes, charset);
  for (std::size_t i = 0; i < book.contacts.size(); ++i) {
    CheckCard(VCardOf(book.contacts, book.resolution, i, VCardVersion::k30));
    CheckCard(VCardOf(book.contacts, book.resolution, i, VCardVersion::k40));
    CheckRow(CsvFieldsOf(book.contacts, book.resolution, i));
  }
  return 0;
}
