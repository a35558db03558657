// A run replaces the page the user already has the way the user set it up:
// private, published through a link, with a second name, or with a
// temporary file left by a run that was killed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "support/leftover.h"
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
         EXPECT_EQ(
             std::distance(fs::directory_iterator(web.parent_path()), fs::directory_iterator()), 1)
             << "no temporary file beside the published page";
       }},
      {"a second name of the page shows the new page",
       [&] {
         test::WriteBytes(page, "earlier page");
         fs::create_hard_link(page, other);
       },
       [&] { EXPECT_EQ(test::ReadBytes(other), Page()); }},
      {"leftovers of a hundred killed runs stand in no one's way",
       [&] {
         for (int i = 0; i < 100; ++i) {
           char random[9];
           std::snprintf(random, sizeof random, "%08x", 0x1000 + i);
           test::WriteBytes(test::LeftoverName(page, random), "half a page");
         }
       },
       [&] {
         for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path())) {
           EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos)
               << entry.path();
         }
       }},
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
