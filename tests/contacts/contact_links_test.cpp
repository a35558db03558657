#include "contacts/contact_links.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrana {
namespace {

// What the links keep of each contact: its own addresses with their real
// names, its members, and nothing of the contact before or after it.
TEST(ContactLinks, EachContactKeepsItsOwnAddressesAndMembers) {
  std::vector<Contact> contacts(4);
  contacts[0].nickname = "ann";
  contacts[0].emails = {"a@x", "A2@x"};
  contacts[0].email_names = {"Ann", ""};
  contacts[1].nickname = "team";
  contacts[1].is_list = true;
  contacts[1].members = {0, 2};
  contacts[2].nickname = "bob";
  contacts[2].emails = {"b@x"};
  contacts[2].email_names = {"Bob B"};
  contacts[2].book = 1;
  contacts[3].nickname = "empty";
  ContactLinks links;
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    links.Add(contacts[i], i == 2 ? "Bob B" : "", i != 2);
  }
  const auto emails = [&](std::size_t i) {
    return std::vector<std::string_view>(links.emails(i).begin(), links.emails(i).end());
  };
  ASSERT_EQ(links.size(), 4u);
  EXPECT_EQ(emails(0), (std::vector<std::string_view>{"a@x", "A2@x"}));
  EXPECT_EQ(std::vector<std::string_view>(links.email_names(0).begin(), links.email_names(0).end()),
            (std::vector<std::string_view>{"Ann", ""}));
  EXPECT_TRUE(emails(1).empty());
  EXPECT_EQ(std::vector<std::size_t>(links.members(1).begin(), links.members(1).end()),
            (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(emails(2), std::vector<std::string_view>{"b@x"});
  EXPECT_EQ(links.first_email(2), 2u);
  EXPECT_TRUE(emails(3).empty() && links.members(3).empty());
  EXPECT_EQ(links.EmailCount(), 3u);
  EXPECT_EQ(links.MemberCount(), 2u);
  EXPECT_TRUE(links.is_list(1) && !links.is_list(0));
  EXPECT_EQ(links.book(2), 1u);
  EXPECT_EQ(links.nickname(3), "empty");
  EXPECT_EQ(links.real_name(2), "Bob B");
  EXPECT_TRUE(links.whole(0) && !links.whole(2));
  std::string text;
  links.AppendUid(1, text);
  EXPECT_EQ(text, "");  // none given yet
  links.SetUid(1, ContactUid("bob"));
  links.AppendUid(1, text);
  std::string expected;
  AppendUidText(ContactUid("bob"), expected);
  EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace veltrana
