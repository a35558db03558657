// What only the Win32 window has to show: its controls as the layout
// places them, the dialog manager's Tab order and access keys, a real
// modal box, closing during a run, and names outside the ANSI code page.
#include "win32/frm_main.h"

#include <gtest/gtest.h>

#include <string>

#include "base/system_text.h"
#include "win32/win32_window_driver.h"

namespace veltrana {
namespace {

class Win32WindowTest : public ::testing::Test {
 protected:
  void Open(const std::optional<std::string>& ini = std::nullopt) {
    driver_.Open(settings_.path(), ini);
  }
  HWND Control(const char* name) { return driver_.Control(name); }
  std::string Book(const std::string& name, const std::string& content) {
    test::WriteBytes(books_.path() / name, content);
    return books_.File(name);
  }

  test::TempDir settings_;
  test::TempDir books_;
  test::Win32WindowDriver driver_;
};

TEST_F(Win32WindowTest, ControlsCaptionsPlacesAndTabOrder) {
  Open();
  const HWND window = driver_.window().hwnd();
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Veltrana");
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, px(7380));
  EXPECT_EQ(client.bottom, px(1575));
  const struct {
    const char* name;
    const wchar_t* caption;
    int left, top, width, height;
  } controls[] = {
      {"cmdConvert", L"&Convert", 6120, 120, 975, 375},
      {"cmdOpen", L"&Browse", 6120, 600, 975, 375},
      {"cmdView", L"&View", 6120, 1080, 975, 375},
      {"lblStatusText", L"", 1440, 600, 4575, 495},
      {"Label1", L"Address Book:", -1, 120, -1, 255},  // grows left as its text needs
      {"lblStatus", L"Status:", -1, 600, -1, 255},
  };
  for (const auto& c : controls) {
    const HWND control = Control(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    GetWindowTextW(control, caption, 64);
    EXPECT_STREQ(caption, c.caption) << c.name;
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.top, px(c.top)) << c.name;
    EXPECT_EQ(place.bottom - place.top, px(c.height)) << c.name;
    if (c.left >= 0) {
      EXPECT_EQ(place.left, px(c.left)) << c.name;
      EXPECT_EQ(place.right - place.left, px(c.width)) << c.name;
    } else {
      EXPECT_EQ(place.right, c.name == std::string("Label1") ? px(1335) : px(1335)) << c.name;
    }
  }
  RECT field{};
  GetWindowRect(Control("cbxAddressBook"), &field);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&field), 2);
  EXPECT_EQ(field.left, px(1440));
  EXPECT_EQ(field.right - field.left, px(4575));
  // Tab, as the dialog manager goes: Convert, Browse, View, the field.
  EnableWindow(Control("cmdView"), TRUE);
  const char* order[] = {"cmdConvert", "cmdOpen", "cmdView", "cbxAddressBook", "cmdConvert"};
  for (int i = 0; i + 1 < 5; ++i) {
    EXPECT_EQ(GetNextDlgTabItem(window, Control(order[i]), FALSE), Control(order[i + 1]))
        << "after " << order[i];
  }
}

TEST_F(Win32WindowTest, AccessKeysPressTheButtons) {
  Open();
  driver_.Type(Book("k.txt", "alias a b\r\n"));
  SetFocus(Control("cmdConvert"));
  // Alt+C as the keyboard delivers it; the dialog manager turns it into
  // the caption's access key.
  PostMessageW(Control("cmdConvert"), WM_SYSKEYDOWN, 'C', 1 << 29);
  driver_.Pump();
  EXPECT_TRUE(driver_.Enabled("View")) << "Alt+C converted";
  PostMessageW(Control("cmdView"), WM_SYSKEYDOWN, 'V', 1 << 29);
  driver_.Pump();
  EXPECT_EQ(driver_.Viewed().size(), 1u) << "Alt+V viewed";
}

TEST_F(Win32WindowTest, TheMessageBoxIsModalAndTheFieldIsSelectedAfterIt) {
  Open();
  const std::string missing = books_.File("missing.txt");
  driver_.Type(missing);
  driver_.Click("Convert");
  EXPECT_EQ(driver_.dialogs().modal_loops, 1) << "the box was not up as the system's is";
  EXPECT_TRUE(IsWindowEnabled(driver_.window().hwnd()));
  EXPECT_EQ(driver_.SelectedFieldText(), missing);
  EXPECT_EQ(driver_.Focus(), "Browse");
}

TEST_F(Win32WindowTest, ClosingDuringARunLeavesNoPage) {
  std::string book;
  for (int i = 0; i < 40; ++i) book += "alias n" + std::to_string(i) + " a@b\r\n";
  Open();
  driver_.Type(Book("long.txt", book));
  // Closed as the user closes it while the run pumps its messages.
  PostMessageW(driver_.window().hwnd(), WM_CLOSE, 0, 0);
  driver_.Click("Convert");
  EXPECT_FALSE(driver_.window().is_open());
  EXPECT_FALSE(test::Exists(books_.path() / "long.htm"));
  EXPECT_FALSE(test::Exists(books_.path() / "long.htm.part"));
  EXPECT_FALSE(test::Exists(settings_.path() / "veltra.ini"));
}

// A name the ANSI code page cannot spell: the book converts under its own
// name, the page and veltra.ini carry its short name, and that history
// entry converts again at the next start.
TEST_F(Win32WindowTest, ANameOutsideTheCodePageConvertsAndComesBack) {
  const std::filesystem::path book = books_.path() / L"\u03a9mega book.txt";
  test::WriteBytes(book, "alias a b\r\n");
  Open();
  SendMessageW(Control("cbxAddressBook"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(book.c_str()));
  driver_.Click("Convert");
  ASSERT_TRUE(driver_.Enabled("View")) << test::ReadBytes(settings_.path() / "veltra.ini");
  EXPECT_TRUE(test::Exists(books_.path() / L"\u03a9mega book.htm"));
  const std::string remembered = TextOfPath(book);
  EXPECT_EQ(remembered.find('?'), std::string::npos) << remembered;
  EXPECT_EQ(test::ReadBytes(settings_.path() / "veltra.ini"), "AddressBook=" + remembered + "\r\n");

  std::filesystem::remove(books_.path() / L"\u03a9mega book.htm");
  driver_.Open(settings_.path(), std::nullopt);
  EXPECT_EQ(driver_.Field(), remembered);
  driver_.Click("Convert");
  EXPECT_TRUE(driver_.Enabled("View"));
  EXPECT_TRUE(test::Exists(books_.path() / L"\u03a9mega book.htm"));
}

}  // namespace
}  // namespace veltrana
