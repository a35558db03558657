#include "page/address_format.h"

#include <gtest/gtest.h>

#include <string>

#include "base/failure.h"

namespace veltrana {
namespace {

const std::string M(1, '\x03');  // the line-break marker
const std::string Q = "\"";

std::string Link(const std::string& address) {
  return "<a href=\"mailto:" + address + "\">" + address + "</a>";
}

struct SingleCase {
  std::string text;
  Int16 format;  // the form's number
  std::string page;
};

TEST(ExtractEmailAddress, CutsEachFormAndLinksIt) {
  const SingleCase cases[] = {
      {"ann@host", 5, Link("ann@host")},
      {"Ann Lee <ann@host>", 1, Link("ann@host")},
      {Q + "Ann Lee" + Q + " <ann@host>", 2, Link("ann@host")},
      {"ann@host (Ann Lee)", 3, Link("ann@host")},
      {"<ann@host> (Ann Lee)", 4, Link("ann@host")},
      {"<ann@host>", 6, Link("ann@host")},
      {"ann", 0, "ann"},
      {"", 0, ""},
      {"ann@host,", 5, Link("ann@host")},
      {"ann@host" + M, 5, Link("ann@host" + M)},
      {Q + "Ann" + Q + " (home) <ann@host>", 2, Link("ann@host")},
      {Q + "Ann" + Q + " host>x", 2, Link(Q + "Ann" + Q + " host")},  // no "<": up to ">"
      {" <ann@host>", 1, Link("ann@host")},
      {" " + Q + "Ann" + Q + " <ann@host>", 1, Link("ann@host")},
      {" ann@host", 5, Link(" ann@host")},
      {" ann@host (Ann Lee)", 3, Link("ann@host")},  // leading blanks skipped
      {"   ann@host (Ann)", 3, Link("ann@host")},
      {"Ann <ann@host>,", 1, Link("ann@host")},  // the comma is cut away first
      {"<ann@host,>", 6, Link("ann@host")},      // one trailing comma goes
      {"ann,,", 0, "ann,"},                      // only one
      {"x<a&b>\"", 1, Link("a&b")},              // nothing is escaped
  };
  for (const SingleCase& c : cases) {
    ConverterState state = LoadedConverterState();
    state.emailaddress = c.text;
    ExtractEmailAddress(state);
    EXPECT_EQ(static_cast<Int16>(state.addrformat), c.format) << c.text;
    EXPECT_EQ(state.emailaddress, c.page) << c.text;
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

TEST(ExtractEmailAddress, SetsLongTextsInSmallType) {
  const std::string a35 = std::string(30, 'a') + "@host";  // a link of 92 characters
  const std::string a36 = std::string(31, 'a') + "@host";  // a link of 94 characters
  const struct {
    std::string text;
    std::string page;
  } cases[] = {
      {a35, Link(a35)},
      {a36, "<font size=small>" + Link(a36) + "</font>"},
      {std::string(92, 'w'), std::string(92, 'w')},
      {std::string(93, 'w'), "<font size=small>" + std::string(93, 'w') + "</font>"},
  };
  ASSERT_EQ(Link(a35).size(), 92u);
  for (const auto& c : cases) {
    ConverterState state = LoadedConverterState();
    state.emailaddress = c.text;
    ExtractEmailAddress(state);
    EXPECT_EQ(state.emailaddress, c.page) << c.text;
  }
}

TEST(ExtractEmailAddress, FailsWhenTheFormsBracketsOrBlankAreMissing) {
  const struct {
    std::string text;
    int code;
    std::string proc;
  } cases[] = {
      {Q + "Ann Lee" + Q + " ann@host", 5, "ExtractEmailAddress()"},
      {"ann@host(Ann)", 5, "ExtractEmailAddress()"},
      {" ann@host(Ann)", 5, "ExtractEmailAddress()"},
      {"Ann <ann@host", 5, "ExtractEmailAddress()"},
      {"Ann >x< y", 5, "ExtractEmailAddress()"},
      {std::string(32767, 'x') + "(", 6, "AddressFormat()"},
      {std::string(32766, 'x') + "<y>", 6, "ExtractEmailAddress()"},  // "<" at 32,767: +1
  };
  for (const auto& c : cases) {
    ConverterState state = LoadedConverterState();
    state.emailaddress = c.text;
    try {
      ExtractEmailAddress(state);
      ADD_FAILURE() << "no failure for " << c.text.substr(0, 40);
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.code(), c.code) << c.text.substr(0, 40);
      EXPECT_EQ(state.proc, c.proc) << c.text.substr(0, 40);
    }
  }
}

TEST(MultipleAddress, LooksAtTheFirstCommaAtAndMarker) {
  const struct {
    std::string text;
    bool multiple;
  } cases[] = {
      {"ann@host, bob@host", true},
      {"ann@host,", false},
      {"ann@host bob@host", true},
      {"ann@host", false},
      {"ann@", false},
      {"@@", true},
      {"ann@host" + M + "bob@host", true},
      {"ann@host" + M, false},
      {"a" + M + M + "b", false},
      {"a" + M + M + "b@c@d", true},
      {"Ann Lee <ann@host>", false},
      {",", false},
      {"", false},
      {"a,b,", true},
  };
  for (const auto& c : cases) {
    ConverterState state = LoadedConverterState();
    std::string text = c.text;
    EXPECT_EQ(MultipleAddress(state, text), c.multiple) << c.text;
    EXPECT_EQ(text, c.text) << "unchanged";
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

TEST(MakeMultipleAddress, ListsOneAddressPerLineWithoutLinks) {
  const struct {
    std::string text;
    std::string list;
  } cases[] = {
      {"ann@host, bob@host", "ann@host<br> bob@host"},
      {"Ann <ann@host>, Bob <bob@host>", "Ann &lt;ann@host&gt;<br> Bob &lt;bob@host&gt;"},
      {"ann@host bob@host", "ann@host bob@host"},
      {"ann@host" + M + "bob@host", "ann@host<br>bob@host"},
      {"a,b,,", "a<br>b"},
      {"a" + M + ",b", "a<br><br>b"},
  };
  for (const auto& c : cases) {
    ConverterState state = LoadedConverterState();
    std::string text = c.text;
    EXPECT_EQ(MakeMultipleAddress(state, text), c.list) << c.text;
    EXPECT_EQ(text, c.list) << "the argument holds the result too";
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

TEST(MakeMultipleAddress, LongListsFailWhereALineBreakPassesPosition32767) {
  // Every "<br>" moves what follows three characters on; 7,000 addresses
  // of four characters pass the limit long before their end.
  ConverterState state = LoadedConverterState();
  std::string text;
  for (int i = 0; i < 7000; ++i) text += "a@b,";
  try {
    MakeMultipleAddress(state, text);
    ADD_FAILURE() << "no overflow";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 6);
    EXPECT_EQ(state.proc, "MakeMultipleAddress()");
  }
  std::string fits;
  for (int i = 0; i < 4000; ++i) fits += "a@b,";
  const std::string list = MakeMultipleAddress(state, fits);
  EXPECT_EQ(list.size(), 4000u * 7 - 4);
  EXPECT_EQ(list.substr(list.size() - 10), "a@b<br>a@b");
}

}  // namespace
}  // namespace veltrana
