// The run's end step with the real history and settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "conversion/conversion_run.h"
#include "form/settings_procedures.h"
#include "settings/settings_history.h"
#include "support/recording_window.h"
#include "support/run_outcome.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

class SettingsRunTest : public ::testing::Test {
 protected:
  test::RunOutcome Convert(const std::string& book_name, const std::string& content) {
    test::WriteBytes(books_.File(book_name), content);
    window_ = test::RecordingWindow(books_.File(book_name));
    RunOptions options;
    options.date = CalendarDate{2026, 12, 7};
    options.history = &end_step_;
    return test::RunThrough(state_, window_, htmlfile_, options);
  }

  std::string Ini() const { return test::ReadBytes((settings_.path() / "veltra.ini").string()); }

  test::TempDir books_;
  test::TempDir settings_;
  ConverterState state_ = LoadedConverterState();
  SettingsHistory settings_history_{SettingsLocation{settings_.path(), false}};
  SettingsEndStep end_step_{settings_history_};
  test::RecordingWindow window_;
  std::filesystem::path htmlfile_;
};

TEST_F(SettingsRunTest, ARunWithRowsRemembersTheBookAndOneWithoutChangesNothing) {
  ASSERT_EQ(Convert("a.txt", "alias x y\r\n"), test::RunOutcome::kConverted);
  ASSERT_EQ(Convert("b.txt", "alias x y\r\n"), test::RunOutcome::kConverted);
  const std::string a = books_.File("a.txt"), b = books_.File("b.txt");
  EXPECT_EQ(Ini(), "AddressBook=" + a + "\r\nAddressBook=" + b + "\r\n");
  ASSERT_EQ(Convert("a.txt", "alias x y\r\n"), test::RunOutcome::kConverted);
  EXPECT_EQ(settings_history_.history().entries(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(Ini(), "AddressBook=" + b + "\r\nAddressBook=" + a + "\r\n");
  ASSERT_EQ(Convert("empty.txt", "no aliases\r\n"), test::RunOutcome::kConverted);
  EXPECT_EQ(Ini(), "AddressBook=" + b + "\r\nAddressBook=" + a + "\r\n");
  EXPECT_EQ(settings_history_.history().entries().size(), 2u);
}

TEST_F(SettingsRunTest, ASettingsFileThatCannotBeWrittenIsReportedAndLosesNothing) {
  ASSERT_EQ(Convert("a.txt", "alias x y\r\n"), test::RunOutcome::kConverted);
  const std::string before = Ini();
  std::filesystem::remove(settings_.path() / "veltra.ini");
  std::filesystem::create_directory(settings_.path() / "veltra.ini");
  EXPECT_EQ(Convert("b.txt", "alias x y\r\n"), test::RunOutcome::kFailed);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0], "Error  75: Path/File access error\r\nProcedure: WriteINIFile()");
  EXPECT_TRUE(window_.enabled[Button::kConvert]);
  EXPECT_TRUE(window_.enabled[Button::kBrowse]);
  EXPECT_FALSE(window_.enabled[Button::kView]);
  EXPECT_EQ(window_.status.rfind("Done.  1 Nicknames converted to:", 0), 0u);
  EXPECT_TRUE(test::Exists(books_.File("b.htm"))) << "the page written stands";
  EXPECT_EQ(settings_history_.history().entries().size(), 2u)
      << "the history in memory keeps its entries";
  std::filesystem::remove(settings_.path() / "veltra.ini");
  test::WriteBytes((settings_.path() / "veltra.ini").string(), before);
}

TEST_F(SettingsRunTest, AReadOnlySettingsFolderIsReported) {
  test::WriteBytes((settings_.path() / "veltra.ini").string(), "AddressBook=old\r\n");
  std::filesystem::permissions(
      settings_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  test::WriteBytes((settings_.path() / "probe").string(), "x");
  if (test::Exists((settings_.path() / "probe").string())) {
    std::filesystem::permissions(settings_.path(), std::filesystem::perms::owner_all);
    GTEST_SKIP() << "this user writes into read-only folders (root); the directory-held "
                    "settings file covers the same failure";
  }
  EXPECT_EQ(Convert("a.txt", "alias x y\r\n"), test::RunOutcome::kFailed);
  std::filesystem::permissions(settings_.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(window_.messages.at(0),
            "Error  75: Path/File access error\r\nProcedure: WriteINIFile()");
  EXPECT_EQ(Ini(), "AddressBook=old\r\n");
}

}  // namespace
}  // namespace veltrana
