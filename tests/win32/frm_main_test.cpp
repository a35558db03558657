// What only the Win32 window has to show: its controls as the layout
// places them, the dialog manager's Tab order and access keys, a real
// modal box, closing during a run, and names outside the ANSI code page.
#include "win32/frm_main.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <filesystem>
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
  EXPECT_EQ(client.bottom, px(2055));
  const struct {
    const char* name;
    const wchar_t* caption;
    int left, top, width, height;
  } controls[] = {
      {"cmdConvert", L"&Convert", 6120, 120, 975, 375},
      {"cmdOpen", L"&Browse", 6120, 600, 975, 375},
      {"cmdView", L"&View", 6120, 1080, 975, 375},
      {"cmdExport", L"&Export...", 6120, 1560, 975, 375},
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
  // Tab, as the dialog manager goes: Convert, Browse, View, the field,
  // Export.
  EnableWindow(Control("cmdView"), TRUE);
  const char* order[] = {"cmdConvert",     "cmdOpen",   "cmdView",
                         "cbxAddressBook", "cmdExport", "cmdConvert"};
  for (int i = 0; i + 1 < 6; ++i) {
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
  driver_.AnswerExport(std::nullopt);
  PostMessageW(Control("cmdView"), WM_SYSKEYDOWN, 'E', 1 << 29);
  driver_.Pump();
  EXPECT_EQ(driver_.ExportDialogs().size(), 1u) << "Alt+E exported";
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

TEST_F(Win32WindowTest, ClosingDuringAnExportLeavesNoFile) {
  std::string book;
  for (int i = 0; i < 120; ++i) book += "alias n" + std::to_string(i) + " a@b\r\n";
  Open();
  driver_.Type(Book("long.txt", book));
  driver_.AnswerExport(test::ExportChoice{books_.File("long.vcf"), 0, false});
  PostMessageW(driver_.window().hwnd(), WM_CLOSE, 0, 0);
  driver_.Click("Export");
  EXPECT_FALSE(driver_.window().is_open());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(books_.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(test::Exists(settings_.path() / "veltra.ini"));
}

// The system's Save dialog, answered as a user answers it: the suggested
// name in the book's folder, the file types, the check box (on), the
// ending that follows the type, and what it gives back.
TEST(Win32ExportDialog, TheSystemsSaveDialogWithTheCheckBox) {
  test::TempDir dir;
  ExportDialogRequest request;
  request.suggested = dir.path() / "nndbase.vcf";
  request.suggested_text = TextOfPath(request.suggested);
  request.offers_whole_folder = true;
  struct Seen {
    std::wstring title, name, type;
    bool checked = false;
    int turns = 0;
  };
  static Seen seen;
  seen = {};
  // The dialog runs its own message loop; a timer answers it from there.
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    if (++seen.turns > 100) PostQuitMessage(1);  // never came up
    const HWND dialog = GetActiveWindow();
    wchar_t text[256] = {};
    if (dialog == nullptr || GetWindowTextW(dialog, text, 256) == 0 ||
        std::wstring(text) != L"Export Address Book") {
      return;
    }
    if (!seen.title.empty()) return;
    seen.title = text;
    const int name_id = GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1;
    GetDlgItemTextW(dialog, name_id, text, 256);
    seen.name = text;
    const HWND types = GetDlgItem(dialog, cmb1);
    SendMessageW(types, CB_GETLBTEXT, SendMessageW(types, CB_GETCURSEL, 0, 0),
                 reinterpret_cast<LPARAM>(text));
    seen.type = text;
    // The check box lives in the child dialog of the template.
    HWND box = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
          if (GetDlgCtrlID(child) != 1101) return TRUE;
          *reinterpret_cast<HWND*>(found) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    seen.checked = box != nullptr && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (box != nullptr) SendMessageW(box, BM_CLICK, 0, 0);  // off
    // CSV, as the user picks it, then "mine" typed, then Save.
    SendMessageW(types, CB_SETCURSEL, 2, 0);
    for (const WORD notification : {CBN_SELCHANGE, CBN_SELENDOK}) {  // as the list closes
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, notification),
                   reinterpret_cast<LPARAM>(types));
    }
    GetDlgItemTextW(dialog, name_id, text, 256);
    seen.name += std::wstring(L" then ") + text;
    SetDlgItemTextW(dialog, name_id, L"mine");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  const std::optional<ExportDialogAnswer> answer =
      win32::MakeSystemDialogs()->ChooseExportFile(nullptr, request);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seen.title, L"Export Address Book");
  EXPECT_EQ(seen.name, L"nndbase.vcf then nndbase.csv");
  EXPECT_EQ(seen.type.rfind(L"vCard 3.0", 0), 0u);
  EXPECT_TRUE(seen.checked);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->path, dir.path() / "mine.csv");
  EXPECT_EQ(answer->type, 2u);
  EXPECT_FALSE(answer->whole_folder);
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
