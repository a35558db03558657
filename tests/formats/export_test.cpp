#include "formats/export.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "formats/ldif_line.h"

namespace veltrana {
namespace {

struct Exported {
  std::string text;
  ExportResult result;
};

Exported Export(std::vector<BookBytes> books, ExportFormat format,
                std::optional<Charset> charset = Charset::kWindows1252) {
  Exported out;
  out.result = ExportContacts(std::move(books), format, charset,
                              [&out](std::string_view bytes) { out.text.append(bytes); });
  return out;
}

std::string Export(std::string_view book, ExportFormat format) {
  return Export({{"Eudora Nicknames", std::string(book)}}, format).text;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Whether one of the warnings says every one of `parts`.
bool Warned(const ExportResult& result, std::initializer_list<std::string> parts) {
  return std::any_of(result.warnings.begin(), result.warnings.end(), [&](const std::string& w) {
    return std::all_of(parts.begin(), parts.end(), [&](const std::string& p) { return Has(w, p); });
  });
}

// An attribute line after the entry's lines before it.
std::string LdifLine(std::string_view name, std::string_view value) {
  std::string entry = "dn: cn=x\n";
  AppendLdifLine(name, value, entry);
  return entry.substr(9);
}

// The physical lines of an LDIF file joined again where RFC 2849 folds them.
std::vector<std::string> UnfoldedLdif(const std::string& ldif) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < ldif.size();) {
    const std::size_t end = std::min(ldif.find('\n', at), ldif.size());
    const std::string line = ldif.substr(at, end - at);
    if (line.starts_with(' ') && !lines.empty()) {
      lines.back() += line.substr(1);
    } else {
      lines.push_back(line);
    }
    at = end + 1;
  }
  return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// An attribute line as it reads once unfolded.
std::string Unfolded(std::string_view name, std::string_view value) {
  return UnfoldedLdif(LdifLine(name, value)).front();
}

// The values of an attribute, in file order.
std::vector<std::string> Values(const std::string& ldif, const std::string& name) {
  std::vector<std::string> values;
  for (const std::string& line : UnfoldedLdif(ldif)) {
    if (line.starts_with(name + ": ")) values.push_back(line.substr(name.size() + 2));
  }
  return values;
}

// Each fault an address book showed after an import, with what must and
// must not be in the file.
TEST(ExportContacts, WhatArrivedWrongArrivesRight) {
  const struct {
    const char* what;
    std::string book;
    ExportFormat format;
    std::vector<std::string> present, absent;
  } cases[] = {
      {"';' escaped only inside compound values in 4.0",
       "alias a a@x\r\nnote a <name:A;B><title:T;U><company:C;D>x;y\r\n",
       ExportFormat::kVCard40,
       {"FN:A;B\r\n", "TITLE:T;U\r\n", "ORG:C\\;D\r\n", "N:;A\\;B;;;\r\n", "NOTE:x;y\r\n"},
       {"FN:A\\;B"}},
      {"';' escaped everywhere in 3.0",
       "alias a a@x\r\nnote a <name:A;B>x;y\r\n",
       ExportFormat::kVCard30,
       {"FN:A\\;B\r\n", "NOTE:x\\;y\r\n"},
       {}},
      {"a URL is no text",
       "alias a a@x\r\nnote a <web:https://maps.example/?q=51.5,-0.12;z>\r\n",
       ExportFormat::kVCard30,
       {"URL;TYPE=HOME:https://maps.example/?q=51.5,-0.12\\;z\r\n"},
       {"\\,-0.12"}},
      {"the kind of line before the place",
       "alias a a@x\r\nnote a <fax:1><fax2:2><mobile2:3>\r\n",
       ExportFormat::kVCard30,
       {"TEL;TYPE=FAX,HOME:1\r\n", "TEL;TYPE=FAX,WORK:2\r\n", "TEL;TYPE=CELL,WORK:3\r\n"},
       {"fax2:", "mobile2:"}},
      {"a note belongs to the nickname it names",
       "alias a a@x\r\nnote b <name:Bee>\r\nalias b b@x\r\n",
       ExportFormat::kVCard30,
       {"FN:a\r\n", "FN:Bee\r\n"},
       {}},
      {"'Doe, John' is family name, given name",
       "alias j \"Doe, John\" <j@x>\r\n",
       ExportFormat::kVCard30,
       {"N:Doe;John;;;\r\n"},
       {"N:John"}},
      {"the real name of every address",
       "alias a One <a@x>, b@x (Three Person)\r\n",
       ExportFormat::kVCard30,
       {"NOTE:email: Three Person <b@x>\r\n"},
       {}},
      {"every address with its real name in the CSV",
       "alias a One <a@x>, b@x (Three Person)\r\n",
       ExportFormat::kCsv,
       {",a@x,One,b@x,Three Person,"},
       {}},
      {"the work web page in an empty Web Page column",
       "alias a a@x\r\nnote a <web2:https://w.example/>\r\n",
       ExportFormat::kCsv,
       {",https://w.example/,Eudora Nicknames,\r\n"},
       {"web2:"}},
      {"Outlook's fax columns",
       "alias a a@x\r\nnote a <fax:1><fax2:2>\r\n",
       ExportFormat::kCsv,
       {"Home Fax,Business Fax,Other Phone,Other Fax", ",1,2,"},
       {}},
  };
  for (const auto& c : cases) {
    const std::string text = Export(c.book, c.format);
    for (const std::string& part : c.present)
      EXPECT_TRUE(Has(text, part)) << c.what << "\n" << text;
    for (const std::string& part : c.absent)
      EXPECT_FALSE(Has(text, part)) << c.what << "\n" << text;
  }
}

TEST(ExportContacts, SeveralBooksGiveOneFileWithUniqueStableUids) {
  const std::string main = "alias nina n@x\r\nalias friends nina, oscar\r\n";
  const std::string work = "alias oscar o@x\r\nalias nina other.nina@x\r\n";
  const std::vector<BookBytes> books{{"Eudora Nicknames", main}, {"work", work}};
  const Exported both = Export(books, ExportFormat::kVCard40);
  EXPECT_EQ(both.result.contacts, 3u);
  EXPECT_EQ(both.result.lists, 1u);
  ASSERT_EQ(both.result.books.size(), 2u);
  EXPECT_EQ(both.result.books[1].contacts, 2u);
  EXPECT_TRUE(Has(both.text, "CATEGORIES:work\r\n"));
  // The first book's UIDs are those of the book exported alone.
  const std::string alone = Export({{"Eudora Nicknames", main}}, ExportFormat::kVCard40).text;
  const std::string first_uid = alone.substr(alone.find("UID:"), 50);
  EXPECT_TRUE(Has(both.text, first_uid));
  std::vector<std::string> uids;
  for (std::size_t at = both.text.find("UID:"); at != std::string::npos;
       at = both.text.find("UID:", at + 1)) {
    uids.push_back(both.text.substr(at, 50));
  }
  ASSERT_EQ(uids.size(), 4u);
  std::sort(uids.begin(), uids.end());
  EXPECT_EQ(std::unique(uids.begin(), uids.end()), uids.end()) << "UIDs are unique";
  EXPECT_EQ(Export(books, ExportFormat::kVCard40).text, both.text) << "and stable";
  // "oscar" of the list is found in the other book; "nina" in its own.
  const std::size_t group = both.text.find("KIND:group");
  ASSERT_NE(group, std::string::npos);
  const std::string card = both.text.substr(group, both.text.find("END:VCARD", group) - group);
  EXPECT_EQ(std::count(card.begin(), card.end(), '\n'), 6)
      << card;  // KIND FN NICKNAME 2 MEMBER CATEGORIES
  const std::string ldif = Export(books, ExportFormat::kLdif).text;
  EXPECT_TRUE(Has(ldif, "member: cn=nina,mail=n@x\n"));
  EXPECT_TRUE(Has(ldif, "member: cn=oscar,mail=o@x\n"));
  EXPECT_FALSE(Has(ldif, "member: cn=nina,mail=other.nina@x"));
}

TEST(ExportContacts, CharsetAutoPerBook) {
  const std::vector<BookBytes> books{{"a", "alias a caf\xC3\xA9@x\r\n"},
                                     {"b", "alias b caf\x8E@x\r"},
                                     {"c", "alias c caf\xE9@x\r\n"}};
  const Exported out = Export(books, ExportFormat::kMutt, std::nullopt);
  ASSERT_EQ(out.result.books.size(), 3u);
  EXPECT_EQ(out.result.books[0].charset, Charset::kUtf8);
  EXPECT_EQ(out.result.books[1].charset, Charset::kMacintosh);
  EXPECT_EQ(std::count(out.text.begin(), out.text.end(), '\n'), 3);
  EXPECT_TRUE(Has(out.text, "alias -group a a <caf\xC3\xA9@x>\n"));
  EXPECT_TRUE(Has(out.text, "alias -group b b <caf\xC3\xA9@x>\n"));
  EXPECT_TRUE(Has(out.text, "alias -group c c <caf\xC3\xA9@x>\n"));
}

// A list names its members by their DNs, which the entries further down
// are given only when their turn comes; two people with the same name and
// address have two DNs, the second with its UID, wherever the list stands.
TEST(WriteLdif, AListNamesMembersFurtherDownByTheDnsTheirEntriesGet) {
  const std::string ldif = Export(
      "alias team ann1, ann2, zed, inner\r\nalias ann1 \"Ann\" <a@x>\r\n"
      "alias inner ann2, zed\r\nalias ann2 Ann <a@x>\r\nnote zed <name:Zed Z>\r\n"
      "alias zed z@x\r\n",
      ExportFormat::kLdif);
  const std::vector<std::string> dns = Values(ldif, "dn"), members = Values(ldif, "member");
  ASSERT_EQ(dns.size(), 5u) << ldif;
  EXPECT_EQ(dns[1], "cn=Ann,mail=a@x");
  EXPECT_EQ(dns[3].rfind("cn=Ann,uid=", 0), 0u) << dns[3];
  EXPECT_TRUE(dns[3].ends_with(",mail=a@x")) << dns[3];
  EXPECT_EQ(dns[4], "cn=Zed Z,mail=z@x");
  EXPECT_EQ(members, (std::vector<std::string>{dns[1], dns[3], dns[4], dns[3], dns[4]})) << ldif;
}

// Two people with the same name and address have two DNs, the second and
// third with their UIDs, wherever a list that names one of them stands.
TEST(WriteLdif, TheSameNameAndAddressTwiceGiveTwoDns) {
  const std::string ldif = Export(
      "alias team zed, ann3\r\nalias ann1 Ann <a@x>\r\nalias ann2 Ann <a@x>\r\n"
      "alias zed z@x\r\nalias ann3 Ann <a@x>\r\n",
      ExportFormat::kLdif);
  const std::vector<std::string> dns = Values(ldif, "dn");
  ASSERT_EQ(dns.size(), 5u) << ldif;
  EXPECT_EQ(dns[1], "cn=Ann,mail=a@x");
  EXPECT_EQ(dns[2].rfind("cn=Ann,uid=", 0), 0u) << dns[2];
  EXPECT_EQ(dns[4].rfind("cn=Ann,uid=", 0), 0u) << dns[4];
  EXPECT_TRUE(dns[2].ends_with(",mail=a@x") && dns[4].ends_with(",mail=a@x"));
  EXPECT_NE(dns[4], dns[2]);
  EXPECT_TRUE(Has(ldif, "member: cn=zed,mail=z@x\nmember: " + dns[4] + "\n")) << ldif;
}

// A list that names only itself, in a book where no contact names another.
TEST(WriteLdif, AListNamingOnlyItselfIsAnEmptyGroup) {
  EXPECT_EQ(Export("alias self self\r\nalias a a@x\r\n", ExportFormat::kLdif),
            "# Eudora Nicknames\ndn: cn=self\nobjectclass: top\nobjectclass: groupOfNames\n"
            "cn: self\nmozillaNickname: self\n\n"
            "dn: cn=a,mail=a@x\nobjectclass: top\nobjectclass: person\n"
            "objectclass: organizationalPerson\nobjectclass: inetOrgPerson\n"
            "objectclass: mozillaAbPersonAlpha\ncn: a\nmozillaNickname: a\nmail: a@x\n\n");
}

TEST(WriteLdif, ThunderbirdsAttributesListsFlattenedBase64WhereNeeded) {
  const std::string ldif = Export(
      "alias ann \"Ann Lee\" <ann@x>\r\nnote ann <phone:1><phone2:2><fax2:3><mobile:4>"
      "<web:http://a/><web2:http://b/><company:Acme, Inc>Zo\xEB\r\n"
      "alias bob bob@x\r\nalias inner ann, bob\r\nalias outer inner, ann\r\n",
      ExportFormat::kLdif);
  for (const char* line :
       {"dn: cn=Ann Lee,mail=ann@x\n", "objectclass: mozillaAbPersonAlpha\n", "givenName: Ann\n",
        "sn: Lee\n", "mozillaNickname: ann\n", "mail: ann@x\n", "homePhone: 1\n",
        "telephoneNumber: 2\n", "facsimileTelephoneNumber: 3\n", "mobile: 4\n",
        "mozillaHomeUrl: http://a/\n", "mozillaWorkUrl: http://b/\n", "o: Acme, Inc\n",
        "description:: Wm/Dqw==\n", "dn: cn=inner\nobjectclass: top\nobjectclass: groupOfNames\n",
        "dn: cn=outer\nobjectclass: top\nobjectclass: groupOfNames\ncn: outer\n"
        "mozillaNickname: outer\nmember: cn=Ann Lee,mail=ann@x\nmember: cn=bob,mail=bob@x\n\n"}) {
    EXPECT_TRUE(Has(ldif, line)) << line << "\n" << ldif;
  }
  EXPECT_EQ(LdifLine("cn", " lead"), "cn:: IGxlYWQ=\n");
  EXPECT_EQ(LdifLine("cn", ":x"), "cn:: Ong=\n");
  EXPECT_EQ(LdifLine("cn", "a\nb"), "cn:: YQpi\n");
  EXPECT_EQ(LdifLine("cn", "plain text"), "cn: plain text\n");
  // A byte that needs base64, in every place of a value longer than a word.
  for (std::size_t at = 0; at < 20; ++at) {
    for (const char unsafe : {'\x80', '\xFF', '\n', '\r', '\0'}) {
      std::string value(20, 'a');
      value[at] = unsafe;
      EXPECT_EQ(LdifLine("cn", value).substr(0, 5), "cn:: ") << at << " " << int(unsafe);
    }
    std::string tame(20, 'a');
    tame[at] = '\t';  // a control that LDIF takes as it is
    EXPECT_EQ(LdifLine("cn", tame), "cn: " + tame + "\n") << at;
  }
  EXPECT_EQ(LdifLine("cn", "Zo\xC3\xAB"), "cn:: Wm/Dqw==\n");
  EXPECT_EQ(LdifLine("cn", "tab\tzero"), "cn: tab\tzero\n");
  EXPECT_EQ(LdifLine("cn", std::string("zero\0", 5)), "cn:: emVybwA=\n");
}

// A DN escapes what RFC 4514 makes special: "#" only first, a line break
// becomes a blank; plain runs between them are kept. (A tag's value ends
// at ">", so the book cannot give one.)
TEST(WriteLdif, DistinguishedNamesEscapeWhatSeparatesTheirParts) {
  const std::string ldif = Export("alias a x@y\r\nnote a <name:#1 a,b+c\"d\\e<f g;h=i\x03j #k>\r\n",
                                  ExportFormat::kLdif);
  EXPECT_TRUE(Has(ldif, "dn: cn=\\#1 a\\,b\\+c\\\"d\\\\e\\<f g\\;h\\=i j #k,mail=x@y\n")) << ldif;
}

TEST(WriteMuttAliases, TheNicknameAsTypedQuotedWhereTheFileWouldActOnIt) {
  const std::string aliases = Export(
      "alias \"Tom & Jerry\" \"Doe, John\" <tj@x>\r\nalias ann `rm -rf ~` <ann@x>, $HOME@x\r\n"
      "alias friends ann, \"Tom & Jerry\"\r\nalias nobody\r\n",
      ExportFormat::kMutt);
  EXPECT_EQ(aliases,
            "alias -group Eudora\\ Nicknames Tom\\ &\\ Jerry \"Doe, John\" <tj@x>\n"
            "alias -group Eudora\\ Nicknames ann \"\\`rm -rf ~\\`\" <ann@x>, <\\$HOME@x>\n"
            "alias -group Eudora\\ Nicknames friends ann, <tj@x>\n"
            "# alias -group Eudora\\ Nicknames nobody (no address)\n");
  // Every character the file would act on, in nicknames and a book's name.
  EXPECT_EQ(Export({{"my book", "alias \"a b#c;d'f`g$h\\i\" x@y\r\nalias e\"f y@z\r\n"}},
                   ExportFormat::kMutt)
                .text,
            "alias -group my\\ book a\\ b\\#c\\;d\\'f\\`g\\$h\\\\i <x@y>\n"
            "alias -group my\\ book e\\\"f <y@z>\n");
}

// Evolution reads LDIF in pieces of 1,023 bytes and ends the import at a
// line that fills one exactly: every line is folded to 76 octets, and the
// folds join back to the values as written, plain or in base64.
TEST(WriteLdif, LongLinesAreFoldedAndJoinBackWhole) {
  for (const std::size_t length : {60u, 71u, 72u, 73u, 1010u, 1023u, 2046u, 5000u}) {
    const std::string note(length, 'n');
    const std::string name(length / 2 + 1, 'N');
    const std::string ldif = Export("alias a a@x\r\nnote a <name:" + name + ">" + note +
                                        "\r\nalias b b@x\r\nnote b \xE9" + note +
                                        "\r\nalias l a, b\r\n",
                                    ExportFormat::kLdif);
    std::size_t longest = 0;
    for (std::size_t at = 0; at < ldif.size();) {
      const std::size_t end = ldif.find('\n', at);
      longest = std::max(longest, end - at);
      at = end + 1;
    }
    EXPECT_LE(longest, 76u) << length;
    const std::vector<std::string> lines = UnfoldedLdif(ldif);
    EXPECT_TRUE(HasLine(lines, "description: " + note)) << length << "\n" << ldif;
    EXPECT_TRUE(HasLine(lines, Unfolded("description", "\xC3\xA9" + note))) << length;
    EXPECT_TRUE(HasLine(lines, "dn: cn=" + name + ",mail=a@x")) << length;
    EXPECT_TRUE(HasLine(lines, "member: cn=" + name + ",mail=a@x")) << length;
  }
  EXPECT_EQ(LdifLine("cn", std::string(72, 'x')), "cn: " + std::string(72, 'x') + "\n");
  EXPECT_EQ(LdifLine("cn", std::string(73, 'x')),
            "cn: " + std::string(72, 'x') + "\n x\n");
}

// Thunderbird takes a list member's address from what follows the first
// "mail=" of its DN, to the end, as it stands: every DN ends in the plain
// address, and the UID that keeps two DNs apart stands before it.
TEST(WriteLdif, EveryMemberDnEndsInThePlainAddressThunderbirdLooksUp) {
  const std::string ldif = Export(
      "alias l jane, sam1, sam2, fan, nomail\r\nalias jane Jane <jane.doe+news@example.com>\r\n"
      "alias sam1 Sam Reid <sam@climb.example>\r\nalias sam2 Sam Reid <sam@climb.example>\r\n"
      "alias fan \"Gmail=Fan, Inc\" <fan@x>\r\nnote nomail <name:No Mail>\r\n",
      ExportFormat::kLdif);
  const std::vector<std::string> dns = Values(ldif, "dn"), members = Values(ldif, "member");
  const std::vector<std::string> addresses{"jane.doe+news@example.com", "sam@climb.example",
                                           "sam@climb.example", "fan@x"};
  ASSERT_EQ(members.size(), addresses.size() + 1) << ldif;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const std::size_t mail = members[i].find("mail=");
    ASSERT_NE(mail, std::string::npos) << members[i];
    EXPECT_EQ(members[i].substr(mail + 5), addresses[i]) << members[i];
    EXPECT_TRUE(HasLine(dns, members[i])) << "a member is the DN of its entry: " << members[i];
  }
  EXPECT_NE(members[1], members[2]);
  EXPECT_EQ(members[2].rfind("cn=Sam Reid,uid=", 0), 0u) << members[2];
  EXPECT_EQ(members[3], "cn=Gmail\\=Fan\\, Inc,mail=fan@x");
  EXPECT_EQ(members[4], "cn=No Mail");
}

// A list's own address (an otheremail tag in its note) has no attribute in
// a group: the description holds it, with its real name.
TEST(WriteLdif, AListsOwnAddressIsInItsDescription) {
  const std::vector<std::string> lines = UnfoldedLdif(Export(
      "alias l a\r\nnote l <otheremail:list@x (The List)>Our list\r\nalias a a@x\r\n",
      ExportFormat::kLdif));
  EXPECT_TRUE(HasLine(lines, Unfolded("description", "Our list\nemail: The List <list@x>")));
}

// The rows of a CSV file, RFC 4180's quotes taken away.
std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows{{""}};
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (c == '"' && quoted && i + 1 < csv.size() && csv[i + 1] == '"') {
      rows.back().back() += csv[++i];
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().emplace_back();
    } else if (!quoted && c == '\r') {
      ++i;  // and its LF
      rows.push_back({""});
    } else {
      rows.back().back() += c;
    }
  }
  return rows;
}

std::string Cell(const std::string& csv, std::size_t row, std::string_view column) {
  const std::vector<std::vector<std::string>> rows = CsvRows(csv);
  for (std::size_t i = 0; row < rows.size() && i < rows[0].size() && i < rows[row].size(); ++i) {
    if (rows[0][i] == column || (i == 0 && rows[0][i] == "\xEF\xBB\xBF" + std::string(column))) {
      return rows[row][i];
    }
  }
  return "(no column " + std::string(column) + ")";
}

// A list's three e-mail columns take one address of each person it
// reaches, with the person's name; the notes name every member, and hold
// every address no column or member line has.
TEST(WriteCsv, AListGivesEachMemberAColumnAndNamesEveryMemberInTheNotes) {
  const std::string csv = Export(
      "alias team ann, bob, inner, nomail\r\nnote team <otheremail:team@x>Summer\r\n"
      "alias ann Ann Lee <ann@x>, ann2@x\r\nalias bob bob@x\r\nalias inner cy, dee\r\n"
      "alias cy Cy <cy@x>\r\nalias dee dee@x, dee2@x\r\nnote nomail <name:No Mail>\r\n",
      ExportFormat::kCsv);
  EXPECT_EQ(Cell(csv, 1, "First Name"), "team");
  EXPECT_EQ(Cell(csv, 1, "E-mail Address"), "team@x");
  EXPECT_EQ(Cell(csv, 1, "E-mail Display Name"), "");
  EXPECT_EQ(Cell(csv, 1, "E-mail 2 Address"), "ann@x");
  EXPECT_EQ(Cell(csv, 1, "E-mail 2 Display Name"), "Ann Lee");
  EXPECT_EQ(Cell(csv, 1, "E-mail 3 Address"), "bob@x");
  EXPECT_EQ(Cell(csv, 1, "E-mail 3 Display Name"), "bob");
  EXPECT_EQ(Cell(csv, 1, "Notes"),
            "Summer\r\nmember: Ann Lee <ann@x>\r\nmember: bob <bob@x>\r\nmember: Cy <cy@x>\r\n"
            "member: dee <dee@x>\r\nmember: No Mail\r\nemail: ann2@x\r\nemail: dee2@x");
  // A person's row is as it was: its own addresses in order.
  EXPECT_EQ(Cell(csv, 2, "E-mail Address"), "ann@x");
  EXPECT_EQ(Cell(csv, 2, "E-mail 2 Address"), "ann2@x");
  EXPECT_EQ(Cell(csv, 2, "Notes"), "");
}

// "Zoë Smith, Jr." is not family "Zoë Smith", given "Jr.": what follows the
// comma, or the last word, is the name's suffix when it is one.
TEST(ExportContacts, ASuffixIsNeitherAGivenNorAFamilyName) {
  const struct {
    std::string name, n, suffix_cell;
  } cases[] = {
      {"Zo\xEB Smith, Jr.", "N:Smith;Zo\xC3\xAB;;;Jr.\r\n", "Jr."},
      {"Ann Lee, PhD", "N:Lee;Ann;;;PhD\r\n", "PhD"},
      {"Sam Reid, Jr., M.D.", "N:Reid;Sam;;;Jr.\\, M.D.\r\n", "Jr., M.D."},
      {"Carl Gray III", "N:Gray;Carl;;;III\r\n", "III"},
      {"Doe, John", "N:Doe;John;;;\r\n", ""},
      {"Byron, George Gordon", "N:Byron;George Gordon;;;\r\n", ""},
      {"Mary Ann Smith", "N:Smith;Mary Ann;;;\r\n", ""},
      {"Smith, Junior", "N:Smith;Junior;;;\r\n", ""},
  };
  for (const auto& c : cases) {
    const std::string book = "alias a a@x\r\nnote a <name:" + c.name + ">\r\n";
    EXPECT_TRUE(Has(Export(book, ExportFormat::kVCard30), c.n)) << c.name;
    EXPECT_EQ(Cell(Export(book, ExportFormat::kCsv), 1, "Suffix"), c.suffix_cell) << c.name;
  }
}

// Every contact has an alias of its own: mutt keeps only the last alias of
// a name, so a nickname of the main book that a second book has too would
// send the main book's lists to the other book's person.
TEST(WriteMuttAliases, EveryContactHasAnAliasOfItsOwnAndListsNameTheOnesMeant) {
  const Exported out = Export(
      {{"main", "alias rene Ren\xE9 <rene@main.x>\r\nalias team rene, zoe\r\nalias zoe z@x\r\n"},
       {"other", "alias RENE other.rene@x\r\nalias crew rene\r\nalias rene-2 r2@x\r\n"}},
      ExportFormat::kMutt);
  EXPECT_EQ(out.text,
            "alias -group main rene Ren\xC3\xA9 <rene@main.x>\n"
            "alias -group main team rene, zoe\n"
            "alias -group main zoe <z@x>\n"
            "alias -group other RENE-3 <other.rene@x>\n"
            "alias -group other crew RENE-3\n"
            "alias -group other rene-2 <r2@x>\n");
  EXPECT_TRUE(Warned(out.result, {"\"RENE\" of other", "\"RENE-3\""}));
}

// What mutt's configuration reader would take for an option or for the end
// of a name never reaches an alias or group name, and an address mutt
// would refuse (and with it the whole file) is left out, in a comment.
TEST(WriteMuttAliases, NoNameBecomesAnOptionAndNoAddressIsOneMuttRefuses) {
  const Exported out = Export(
      {{"g\nboss", "alias -group x boss <evil@attacker.example>\r\nalias \"a\tb\" ab@x\r\n"
                   "alias broken <broken@example.com, ok@example.com\r\n"
                   "alias fine fine@x, <bad one@x>\r\nalias list -group, a\tb, nomail\r\n"
                   "note nomail <name:No Mail>\r\n"}},
      ExportFormat::kMutt);
  EXPECT_EQ(out.text,
            "alias -group g_boss _-group x boss <evil@attacker.example>\n"
            "alias -group g_boss a_b <ab@x>\n"
            "# broken: not an address mutt reads, left out: broken@example.com, ok@example.com\n"
            "# alias -group g_boss broken (no address)\n"
            "# fine: not an address mutt reads, left out: bad one@x\n"
            "alias -group g_boss fine <fine@x>\n"
            "alias -group g_boss list _-group, a_b\n"
            "# alias -group g_boss nomail (no address)\n")
      << out.text;
  for (const char* told : {"\"g\\x0Aboss\"", "\"-group\"", "\"a\\x09b\"", "\"bad one@x\""}) {
    EXPECT_TRUE(Warned(out.result, {told})) << told;
  }
}

// Aliases that name each other round in a ring crash NeoMutt when it sends
// to one of them: a contact that leads back to itself is written as the
// addresses it stands for, and a list that only names one stays a name.
TEST(WriteMuttAliases, AListThatLeadsBackToItselfIsWrittenAsItsAddresses) {
  EXPECT_EQ(Export("alias r r@x\r\nalias x y\r\nalias y z\r\nalias z x, r\r\nalias w y, r\r\n"
                   "alias ring1 ring2\r\nalias ring2 ring1\r\n",
                   ExportFormat::kMutt),
            "alias -group Eudora\\ Nicknames r <r@x>\n"
            "alias -group Eudora\\ Nicknames x <r@x>\n"
            "alias -group Eudora\\ Nicknames y <r@x>\n"
            "alias -group Eudora\\ Nicknames z <r@x>\n"
            "alias -group Eudora\\ Nicknames w y, r\n"
            "# alias -group Eudora\\ Nicknames ring1 (no address)\n"
            "# alias -group Eudora\\ Nicknames ring2 (no address)\n");
}

}  // namespace
}  // namespace veltrana
