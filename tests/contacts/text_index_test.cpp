#include "contacts/text_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contacts/contact_links.h"
#include "contacts/text_store.h"

namespace veltrana {
namespace {

// Many texts, some alike but for one byte or their length, found again by
// their numbers through every growth of the table, and each added once.
TEST(TextIndex, FindsEveryTextByTheNumberItWasGiven) {
  for (const std::size_t reserved : {std::size_t{0}, std::size_t{5000}}) {
    std::vector<std::string> texts;
    // So many that some share the 32 bits of hash a slot keeps.
    for (int i = 0; i < 200000; ++i) texts.push_back("n" + std::to_string(i));
    texts.push_back("");
    texts.push_back(std::string(3, '\0'));
    texts.push_back(std::string(2, '\0'));
    TextIndex index;
    index.Reserve(reserved);
    EXPECT_EQ(index.Find("n0"), TextIndex::kNone);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(index.Add(texts[i]), i);
      ASSERT_FALSE(index.Insert(texts[i])) << i;  // there already
    }
    ASSERT_EQ(index.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(index.Find(texts[i]), i) << texts[i];
      ASSERT_EQ(index.KeyOf(i), texts[i]);
    }
    for (const std::string& absent :
         std::vector<std::string>{"n200000", "N1", "n-1", "n1 ", std::string(1, '\0')}) {
      EXPECT_EQ(index.Find(absent), TextIndex::kNone) << absent;
    }
    EXPECT_TRUE(index.Insert("n200000"));
    EXPECT_EQ(index.Find("n200000"), texts.size());
  }
}

// A view handed out stays the text it was, however many come after it,
// a text longer than a block among them.
TEST(TextStore, KeptTextsNeverMove) {
  TextStore store;
  std::vector<std::string_view> kept;
  std::vector<std::string> texts;
  for (int i = 0; i < 30000; ++i) {
    texts.push_back(i == 777 ? std::string(200000, 'x') : "text " + std::to_string(i));
    kept.push_back(store.Keep(texts.back()));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(kept[i], texts[i]) << i;
  EXPECT_TRUE(store.Keep("").empty());
}

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
