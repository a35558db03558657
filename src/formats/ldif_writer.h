// The contacts as the LDIF that Thunderbird's address book exports and
// imports (RFC 2849, the mozillaAbPersonAlpha attributes), which Evolution
// imports too: a person is an inetOrgPerson entry, a list a groupOfNames
// whose members are the DNs of person entries, nested lists flattened, as
// a Thunderbird list holds only cards. A value that is not plain ASCII, or
// begins with a blank, ":" or "<", is written in base64.
//
// What has no attribute there (a third address, a second home phone, the
// real name of an address) goes into the description as "tag: value"
// lines; the book's name is a comment above its entries.
#pragma once

#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

void WriteLdif(const ContactBook& book, const ExportSink& sink);

}  // namespace veltrana
