#include "book/contact_book.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrana {
namespace {

std::vector<Contact> ContactsOf(const ContactBook& book) {
  std::vector<Contact> contacts(book.size());
  for (std::size_t i = 0; i < book.size(); ++i) book.Get(i, contacts[i]);
  return contacts;
}

// Contact `index`'s UID as the files write it.
std::string UidOf(const ContactBook& book, std::size_t index) {
  std::string uid;
  AppendUidText(ContactsOf(book)[index].uid, uid);
  return uid;
}

std::vector<std::string> Addresses(const std::vector<Email>& emails) {
  std::vector<std::string> addresses;
  for (const Email& email : emails) addresses.emplace_back(email.address);
  return addresses;
}

std::vector<std::string> AddressesIn(const ContactBook& book, std::size_t index) {
  std::vector<Email> emails;
  book.AddressesOf(index, emails);
  return Addresses(emails);
}

std::vector<std::size_t> Members(const Contact& contact) {
  return contact.members;
}

const char* KindName(PhoneKind kind) {
  switch (kind) {
    case PhoneKind::kHome: return "home";
    case PhoneKind::kWork: return "work";
    case PhoneKind::kMobile: return "mobile";
    case PhoneKind::kFax: return "fax";
    case PhoneKind::kOther: return "other";
    case PhoneKind::kWorkMobile: return "work mobile";
    case PhoneKind::kWorkFax: return "work fax";
  }
  return "?";
}

std::string Shown(const PostalAddress& a) {
  std::string shown;
  for (const auto part : kPostalMembers) shown.append(a.*part).append("|");
  shown.pop_back();
  return shown;
}

// Everything a contact holds, one "field=value" per line, empty fields left
// out, in a fixed order.
std::string Describe(const Contact& c) {
  std::string d = "fn=" + std::string(c.full_name) + "\n";
  if (!c.given_name.empty() || !c.family_name.empty()) {
    d.append("n=").append(c.family_name).append("/").append(c.given_name).append("\n");
  }
  for (const Email& e : c.emails) d.append("email=").append(e.address).append("\n");
  for (const Phone& p : c.phones) {
    d.append("tel.").append(KindName(p.kind)).append("=").append(p.number).append("\n");
  }
  for (const PostalAddress& a : c.home_addresses) d += "adr.home=" + Shown(a) + "\n";
  for (const PostalAddress& a : c.work_addresses) d += "adr.work=" + Shown(a) + "\n";
  for (const WebPage& w : c.web_pages) {
    d += std::string("url.") +
         (w.kind == WebKind::kHome   ? "home"
          : w.kind == WebKind::kWork ? "work"
                                     : "other") +
         "=" + std::string(w.url) + "\n";
  }
  if (!c.title.empty()) d.append("title=").append(c.title).append("\n");
  if (!c.company.empty()) d.append("org=").append(c.company).append("\n");
  for (const std::string_view n : c.notes) d.append("note=").append(n).append("\n");
  return d;
}

ContactBook Read(const std::string& book, Charset charset = Charset::kWindows1252) {
  return ReadContactBooks({{"", book}}, charset);
}

TEST(ContactBook, EveryTagOfTheNoteReachesItsField) {
  const struct {
    std::string note;
    std::string fields;  // after "fn=..." of the nickname "x" with address a@x
  } cases[] = {
      {"<name:Ann Lee>", "fn=Ann Lee\nn=Lee/Ann\nemail=a@x\n"},
      {"<first:Ann><last:van Lee>", "fn=Ann van Lee\nn=van Lee/Ann\nemail=a@x\n"},
      {"<name:Dr Ann><first:Ann><last:Lee>", "fn=Dr Ann\nn=Lee/Ann\nemail=a@x\n"},
      {"<last:Lee>", "fn=Lee\nn=Lee/\nemail=a@x\n"},
      {"<address:1 Elm St\x03"
       "Flat 2\x03><city:Springfield><state:IL><zip:62704><country:USA>",
       "fn=x\nemail=a@x\nadr.home=1 Elm St\nFlat 2|Springfield|IL|62704|USA\n"},
      {"<address2:Works><city2:Leeds><state2:WY><zip2:LS1><country2:UK>",
       "fn=x\nemail=a@x\nadr.work=Works|Leeds|WY|LS1|UK\n"},
      {"<phone:1><phone2:2><mobile:3><fax:4><otherphone:5\x03\x03"
       "6\x03>",
       "fn=x\nemail=a@x\ntel.home=1\ntel.work=2\ntel.mobile=3\ntel.fax=4\ntel.other=5\n"
       "tel.other=6\n"},
      {"<web:h.example><web2:w.example><otherweb:o1\x03o2>",
       "fn=x\nemail=a@x\nurl.home=h.example\nurl.work=w.example\nurl.other=o1\nurl.other=o2\n"},
      {"<title:Chief><company:Acme; Sons>", "fn=x\nemail=a@x\ntitle=Chief\norg=Acme; Sons\n"},
      {"<otheremail:b@x\x03"
       "c@x (Bo)\x03not an address\x03"
       "A@X>",
       "fn=x\nemail=a@x\nemail=b@x\nemail=c@x\nnote=otheremail: not an address\n"},
      // Unknown tags, free text anywhere, and a second value of a single
      // field go into the note; nothing typed is lost.
      {"<birthday:3 May>", "fn=x\nemail=a@x\nnote=birthday: 3 May\n"},
      {"hi <name:Ann> there <phone:1>x\x03y",
       "fn=Ann\nn=/Ann\nemail=a@x\ntel.home=1\nnote=hi\nnote=there\nnote=x\ny\n"},
      {"<name:Ann><name:Bo><title:T><title:T>",
       "fn=Ann\nn=/Ann\nemail=a@x\ntitle=T\nnote=name: Bo\n"},
      {"<city:A><city:B>", "fn=x\nemail=a@x\nadr.home=|A|||\nnote=city: B\n"},
      {"<Name:Ann>rest", "fn=x\nemail=a@x\nnote=Name: Ann\nnote=rest\n"},
      {"<fax:><name:   >", "fn=x\nemail=a@x\n"},
      {"<phone:555-0100", "fn=x\nemail=a@x\ntel.home=555-0100\n"},
      {"office <not weekends>", "fn=x\nemail=a@x\nnote=office <not weekends>\n"},
  };
  for (const auto& c : cases) {
    const ContactBook book = Read("alias x a@x\r\nnote x " + c.note + "\r\n");
    ASSERT_EQ(book.size(), 1u) << c.note;
    EXPECT_EQ(Describe(ContactsOf(book)[0]), c.fields) << c.note;
  }
}

TEST(ContactBook, TheAddressTextGivesAddressesAndTheDisplayName) {
  const struct {
    std::string alias;
    std::string fields;
  } cases[] = {
      {"alias x \"Ann Lee\" <ann@host>, Bo <bo@host>",
       "fn=Ann Lee\nn=Lee/Ann\nemail=ann@host\nemail=bo@host\n"},
      {"alias x ann@host (Ann Lee)", "fn=Ann Lee\nn=Lee/Ann\nemail=ann@host\n"},
      {"alias x ann@host, ANN@HOST,ann@host", "fn=x\nemail=ann@host\n"},
      {"alias x Grace Park", "fn=x\nnote=email: Grace Park\n"},
      {"alias x a@h b@h\x03<c@h>", "fn=x\nemail=a@h\nemail=b@h\nemail=c@h\n"},
      // An address pieced together from around a quote outlives the next
      // item's taking apart.
      {"alias x joe\"q\"@host, \"Bo\" b@h, c@h (Cy)",
       "fn=q\nn=/q\nemail=joe@host\nemail=b@h\nemail=c@h\n"},
      {"alias \"Carla Ruiz\" carla@host", "fn=Carla Ruiz\nemail=carla@host\n"},
      // Lines the page stops at are taken as far as they go.
      {"alias lonely", "fn=lonely\n"},
      {"alias \"open a@x", "fn=open a@x\n"},
      {"alias ", "fn=\n"},
  };
  for (const auto& c : cases) {
    const ContactBook book = Read(c.alias + "\r\n");
    ASSERT_EQ(book.size(), 1u) << c.alias;
    EXPECT_EQ(Describe(ContactsOf(book)[0]), c.fields) << c.alias;
  }
  EXPECT_EQ(Read("alias \"open a@x\r\n").warnings(),
            std::vector<std::string>{"line 1: the nickname's closing quote is missing"});
}

TEST(ContactBook, OneContactPerNicknameLetterCaseIgnored) {
  const ContactBook book = Read(
      "alias Bob a@x\r\n"
      "note Bob <name:Bob Ames><phone:1>first\r\n"
      "alias ann ann@x\r\n"
      "alias BOB b@x, a@x\r\n"
      "note BOB <name:Robert><phone:2><address:1 Elm>second\r\n"
      "note ann <title:stray, but named>\r\n"
      "alias \xC9lodie e@x\r\n"
      "alias \xE9lodie f@x\r\n"
      "# a note line that follows no alias line belongs to the nickname it names\r\n"
      "note carol <name:Carol>known only by a note\r\n");
  ASSERT_EQ(book.size(), 4u);
  EXPECT_EQ(ContactsOf(book)[0].nickname, "Bob");
  EXPECT_EQ(Describe(ContactsOf(book)[0]),
            "fn=Bob Ames\nn=Ames/Bob\nemail=a@x\nemail=b@x\ntel.home=1\ntel.home=2\n"
            "adr.home=1 Elm||||\nnote=first\nnote=name: Robert\nnote=second\n");
  EXPECT_EQ(Describe(ContactsOf(book)[1]), "fn=ann\nemail=ann@x\ntitle=stray, but named\n");
  EXPECT_EQ(ContactsOf(book)[2].nickname, "\xC3\x89lodie");
  EXPECT_EQ(Addresses(ContactsOf(book)[2].emails), (std::vector<std::string>{"e@x", "f@x"}));
  EXPECT_EQ(Describe(ContactsOf(book)[3]), "fn=Carol\nn=/Carol\nnote=known only by a note\n");
  // The UID is the same in every export, of every version of the program.
  EXPECT_EQ(UidOf(book, 0), "ecf66be3-9cf1-81cc-bb95-093f46671719");
  EXPECT_EQ(UidOf(Read("alias bOB q@y\r\n"), 0), UidOf(book, 0));
  EXPECT_EQ(UidOf(book, 1), "d40df4e3-8f24-87a0-97e4-b03f57192ed5");
}

// The same nickname in two books is two contacts with two UIDs; a list
// finds its members in its own book.
TEST(ContactBook, TheSameBookTwiceGivesTwoContactsForEachNickname) {
  const std::string text =
      "alias team ann, bob\r\nalias ann Ann Lee <ann@x>\r\nalias bob b@x\r\n"
      "note ann <phone:1><address:1 Elm\x03Town>met\r\n";
  const ContactBook book = ReadContactBooks({{"one", text}, {"two", text}}, Charset::kUtf8);
  const std::vector<Contact> c = ContactsOf(book);
  ASSERT_EQ(c.size(), 6u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Describe(c[i]), Describe(c[i + 3])) << i;
    EXPECT_NE(UidOf(book, i), UidOf(book, i + 3)) << i;
    EXPECT_EQ(c[i].book, 0u);
    EXPECT_EQ(c[i + 3].book, 1u);
  }
  EXPECT_EQ(c[3].members, (std::vector<std::size_t>{4, 5}));
  EXPECT_EQ(AddressesIn(book, 3), (std::vector<std::string>{"ann@x", "b@x"}));
  EXPECT_EQ(Describe(c[1]),
            "fn=Ann Lee\nn=Lee/Ann\nemail=ann@x\ntel.home=1\n"
            "adr.home=1 Elm\nTown||||\nnote=met\n");
}

// Books of the same name (friends.txt in two folders) give the same nickname
// the same first UID: the later ones take another, the same in every export.
TEST(ContactBook, UidsStayUniqueWhenBooksShareTheirName) {
  const std::string text = "alias ann a@x\r\nalias bob b@x\r\n";
  const auto uids = [&] {
    std::vector<std::string> all;
    const ContactBook book =
        ReadContactBooks({{"friends", text}, {"friends", text}, {"friends", text}}, Charset::kUtf8);
    for (std::size_t i = 0; i < book.size(); ++i) all.push_back(UidOf(book, i));
    return all;
  };
  const std::vector<std::string> first = uids();
  ASSERT_EQ(first.size(), 6u);
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 6u);
  EXPECT_EQ(uids(), first);
  EXPECT_EQ(first[0], UidOf(Read(text), 0));  // the first book's are the book's own
}

TEST(ContactBook, ListsNestAndCyclesAreStopped) {
  const ContactBook book = Read(
      "alias all friends, work, \"Carla Ruiz\"\r\n"  // 0: a list of lists
      "alias friends ann, BOB, ann\r\n"              // 1
      "alias work bob, boss@x\r\n"                   // 2: members and an address
      "alias ann ann@x\r\n"                          // 3
      "alias bob bob@x, ANN@x\r\n"                   // 4
      "alias \"Carla Ruiz\" carla@x\r\n"             // 5
      "alias a b\r\n"                                // 6: a -> b -> c -> a
      "alias b c, b@x\r\n"                           // 7
      "alias c a, c@x\r\n"                           // 8
      "alias self self, s@x\r\n"                     // 9
      "alias empty\r\n");                            // 10
  const std::vector<Contact> c = ContactsOf(book);
  ASSERT_EQ(c.size(), 11u);
  EXPECT_EQ(Members(c[0]), (std::vector<std::size_t>{1, 2, 5}));
  EXPECT_EQ(Members(c[1]), (std::vector<std::size_t>{3, 4}));
  EXPECT_TRUE(c[0].is_list && c[1].is_list && c[6].is_list);
  EXPECT_FALSE(c[2].is_list || c[3].is_list || c[7].is_list || c[9].is_list || c[10].is_list);
  EXPECT_EQ(Addresses(c[2].emails), std::vector<std::string>{"boss@x"});
  EXPECT_EQ(book.ListCount(), 3u);

  const auto to = [&](std::size_t i) { return AddressesIn(book, i); };
  EXPECT_EQ(to(0), (std::vector<std::string>{"ann@x", "bob@x", "boss@x", "carla@x"}));
  EXPECT_EQ(to(1), (std::vector<std::string>{"ann@x", "bob@x"}));
  EXPECT_EQ(to(2), (std::vector<std::string>{"boss@x", "bob@x", "ANN@x"}));
  EXPECT_EQ(to(4), (std::vector<std::string>{"bob@x", "ANN@x"}));
  EXPECT_EQ(to(6), (std::vector<std::string>{"b@x", "c@x"}));
  EXPECT_EQ(to(7), (std::vector<std::string>{"b@x", "c@x"}));
  EXPECT_EQ(to(8), (std::vector<std::string>{"c@x", "b@x"}));
  EXPECT_EQ(to(9), std::vector<std::string>{"s@x"});
  EXPECT_EQ(book.cycles(),
            (std::vector<std::string>{"a -> b -> c -> a", "b -> c -> a -> b", "c -> a -> b -> c"}));
  EXPECT_EQ(book.warnings(),
            std::vector<std::string>{"the list \"self\" names itself; left out there"});
}

// An item with an "@" is looked up as a nickname only when some nickname,
// in any book read, holds one.
TEST(ContactBook, ANicknameWithAnAtSignIsNamedAsAnyOther) {
  const ContactBook one = Read("alias team A@B, c@d\r\nalias a@b a@example\r\n");
  EXPECT_EQ(Members(ContactsOf(one)[0]), std::vector<std::size_t>{1});
  EXPECT_EQ(Addresses(ContactsOf(one)[0].emails), std::vector<std::string>{"c@d"});
  const ContactBook two = ReadContactBooks(
      {{"main", "alias team \"x@y\", z@y\r\n"}, {"other", "alias X@Y x@example\r\n"}},
      Charset::kUtf8);
  EXPECT_EQ(Members(ContactsOf(two)[0]), std::vector<std::size_t>{1});
  EXPECT_EQ(AddressesIn(two, 0), (std::vector<std::string>{"z@y", "x@example"}));
  const ContactBook none = Read("alias team a@b\r\nalias ab a@example\r\n");
  EXPECT_TRUE(ContactsOf(none)[0].members.empty());
}

TEST(ContactBook, DeepAndWideListsAreWalkedWithoutRecursion) {
  // 3,000 lists each naming the next, the last naming the first.
  std::string text;
  const int count = 3000;
  for (int i = 0; i < count; ++i) {
    text += "alias l" + std::to_string(i) + " l" + std::to_string((i + 1) % count) + "\r\n";
  }
  text += "alias l0 l0@x\r\n";  // so the first is no pure list
  const ContactBook book = Read(text);
  ASSERT_EQ(book.size(), static_cast<std::size_t>(count));
  EXPECT_EQ(AddressesIn(book, 1), std::vector<std::string>{"l0@x"});
  EXPECT_EQ(book.cycles().size(), static_cast<std::size_t>(count));
  EXPECT_EQ(book.cycles()[0].rfind("l0 -> l1 -> ", 0), 0u);
  EXPECT_NE(book.cycles()[0].find("... -> l2999 -> l0"), std::string::npos);
}

TEST(ContactBook, MalformedInputNeverFails) {
  const std::string long_value(100000, 'v');
  const std::string cases[] = {
      "alias x " + std::string(50000, ',') + "\r\n",
      "alias x " + std::string(50000, '(') + "a@x\r\n",
      "alias x " + std::string(50000, '"') + "\r\n",
      "alias x a@x\r\nnote x <name:" + long_value + "\r\n",
      "alias x a@x\r\nnote x " + std::string(50000, '<') + "\r\n",
      std::string("alias x\0y a@x\r\nnote x \x1A<name:\x01>\r\n", 33),
      "note\r\nnote \r\nalias\r\n\r\n\r\r\n\n",
      "",
  };
  for (const std::string& text : cases) {
    const ContactBook book = Read(text);
    // The note of the sixth names "x", which no alias line names.
    EXPECT_EQ(book.size(), text.empty() ? 0u : &text == &cases[5] ? 2u : 1u) << text.substr(0, 40);
  }
  const ContactBook controls = Read(cases[5]);
  EXPECT_EQ(controls.books()[0].replaced_bytes, 3u);
  EXPECT_EQ(ContactsOf(controls)[0].nickname, "x\xEF\xBF\xBDy");
}

// A line the export cannot use is told by its number, never dropped
// unseen: "alias" or "note" with a tab after it (which the mail client may
// have written) above all; blank lines and comments are no loss. Past
// twenty such lines a count stands for the rest.
TEST(ContactBook, EveryLineLeftOutIsTold) {
  EXPECT_EQ(Read("alias\tboss boss@x\r\n\r\n # a comment\r\nnote\tboss <name:Boss>\r\nalias a a@x\r\n"
                 "Alias b b@x\r\n")
                .warnings(),
            (std::vector<std::string>{
                "line 1: \"alias\" is followed by a tab or another space than a blank; the line "
                "is left out",
                "line 4: \"note\" is followed by a tab or another space than a blank; the line "
                "is left out",
                "line 6: neither an alias line nor a note line; left out"}));
  std::string many;
  for (int i = 0; i < 25; ++i) many += "junk\r\n";
  const std::vector<std::string> told = Read(many + "alias a a@x\r\n").warnings();
  ASSERT_EQ(told.size(), 21u);
  EXPECT_EQ(told[19], "line 20: neither an alias line nor a note line; left out");
  EXPECT_EQ(told[20], "25 lines are neither alias lines nor note lines and are left out");
}

}  // namespace
}  // namespace veltrana
