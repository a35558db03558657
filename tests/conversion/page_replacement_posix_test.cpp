// A run replaces the page the user already has the way the user set it up:
// private, published through a link, with a second name, or with a
// temporary file left by a run that was killed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/run_fixture.h"

namespace veltrana {
namespace {

namespace fs = std::filesystem;

class PageReplacementTest : public test::RunFixture {};

TEST_F(PageReplacementTest, KeepsWhatTheUserSetOnThePage) {
  const fs::path page = dir_.path() / "book.htm";
  const fs::path web = dir_.path() / "web" / "book.htm";
  const fs::path other = dir_.path() / "other-name.htm";
  const struct {
    const char* name;
    std::function<void()> set_up;
    std::function<void()> check;
  } cases[] = {
      {"a private page stays private",
       [&] {
         test::WriteBytes(page, "earlier page");
         fs::permissions(page, fs::perms::owner_read | fs::perms::owner_write);
       },
       [&] {
         EXPECT_EQ(fs::status(page).permissions(), fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"a page published through a link stays a link",
       [&] {
         fs::create_directory(web.parent_path());
         test::WriteBytes(web, "earlier page");
         fs::create_symlink("web/book.htm", page);
       },
       [&] {
         EXPECT_TRUE(fs::is_symlink(fs::symlink_status(page)));
         EXPECT_EQ(test::ReadBytes(web), Page());
         EXPECT_FALSE(fs::exists(web.string() + ".part"));
       }},
      {"a second name of the page shows the new page",
       [&] {
         test::WriteBytes(page, "earlier page");
         fs::create_hard_link(page, other);
       },
       [&] { EXPECT_EQ(test::ReadBytes(other), Page()); }},
      {"leftovers of a hundred killed runs stand in no one's way",
       [&] {
         test::WriteBytes(page.string() + ".part", "half a page");
         for (int i = 1; i < 100; ++i) {
           test::WriteBytes(page.string() + ".part" + std::to_string(i), "half a page");
         }
       },
       [&] { EXPECT_FALSE(fs::exists(page.string() + ".part")); }},
  };
  for (const auto& c : cases) {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path())) {
      fs::remove_all(entry.path());
    }
    window_ = test::RecordingWindow();
    c.set_up();
    ASSERT_EQ(Convert("alias a b\r\n"), test::RunOutcome::kConverted) << c.name;
    EXPECT_NE(Page().find("<td><b>a</b><br>b\r\n"), std::string::npos) << c.name;
    SCOPED_TRACE(c.name);
    c.check();
  }
}

}  // namespace
}  // namespace veltrana
