#include "cli/console_view.h"

#include <string_view>

#include "base/file_names.h"
#include "base/system_text.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace veltrana {

std::string ConsoleText(const std::string& text) {
  std::string console;
  console.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    console += text[i];
  }
  return console;
}

namespace {

void AppendEscaped(std::string& to, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  switch (byte) {
    case '\t': to += "\\t"; return;
    case '\n': to += "\\n"; return;
    case '\r': to += "\\r"; return;
    default: break;
  }
  to += "\\x";
  to += kDigits[byte >> 4];
  to += kDigits[byte & 15];
}

// The length of the well-formed UTF-8 sequence at `text[i]` that starts
// with a byte of 0xC0 or more; 0 when there is none.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || length > 4 || text.size() - i < length) return 0;
  return IsUtf8(std::string_view(text).substr(i, length)) ? length : 0;
}

// Writes a text already in the console's form.
void PrintConsoleText(std::FILE* to, const std::string& console) {
#if defined(_WIN32)
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(to);
    const std::wstring wide = WideOfText(console);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
#endif
  std::fwrite(console.data(), 1, console.size(), to);
}

}  // namespace

// On Windows the program's text is in the ANSI code page, where the bytes
// 0x80 to 0x9F are letters and signs (cp1252's euro sign, dashes, quotes):
// only the C0 controls and DEL act there.
#if defined(_WIN32)
constexpr bool kEightBitControls = false;
#else
constexpr bool kEightBitControls = true;
#endif

std::string TerminalText(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      shown += '\n';
      ++i;
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendEscaped(shown, byte);
    } else if (!kEightBitControls) {
      shown += text[i];
    } else if (byte >= 0x80 && byte < 0xA0) {
      AppendEscaped(shown, byte);  // a control, or a C1 control's byte outside UTF-8
    } else if (const std::size_t length = byte >= 0xC2 ? Utf8SequenceAt(text, i) : 0;
               length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      AppendEscaped(shown, byte);  // U+0080 to U+009F: a C1 control in UTF-8
      AppendEscaped(shown, static_cast<unsigned char>(text[i + 1]));
      ++i;
    } else if (length > 0) {
      shown.append(text, i, length);
      i += length - 1;
    } else {
      shown += text[i];  // a byte of another character set: shown as the terminal shows it
    }
  }
  return shown;
}

bool IsTerminal(std::FILE* stream) {
#if defined(_WIN32)
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
#else
  return ::isatty(::fileno(stream)) != 0;
#endif
}

ConsoleView::ConsoleView(std::string address_book, std::filesystem::path book_path,
                         std::FILE* errors, bool show_progress)
    : address_book_(std::move(address_book)),
      book_path_(std::move(book_path)),
      errors_(errors),
      show_progress_(show_progress) {}

void PrintText(std::FILE* to, const std::string& text) {
  PrintConsoleText(to, IsTerminal(to) ? TerminalText(text) : ConsoleText(text));
}

bool ShowsProgress(bool is_terminal, const char* term) {
  if (!is_terminal) return false;
#if defined(_WIN32)
  static_cast<void>(term);
  return true;  // a console window
#else
  return term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
#endif
}

// One terminal line, rewritten in place with a carriage return alone, which
// every terminal understands; blanks cover what is left of a longer line.
PumpResult ConsoleView::PumpEvents() {
  if (show_progress_) {
    // Progress is shown on a terminal only: its text is escaped there.
    std::string line = "\r" + TerminalText(status_);
    if (line.size() < progress_width_) line.append(progress_width_ - line.size(), ' ');
    progress_width_ = line.size();
    PrintConsoleText(errors_, line);
    std::fflush(errors_);
  }
  return PumpResult::kContinue;
}

void ConsoleView::FinishProgress() {
  if (progress_width_ == 0) return;
  const std::string blank = "\r" + std::string(progress_width_ - 1, ' ') + "\r";
  PrintConsoleText(errors_, blank);
  progress_width_ = 0;
}

void ConsoleView::ShowMessage(const std::string& text, MessageStyle, const std::string&) {
  FinishProgress();
  PrintText(errors_, text + "\r\n");
  std::fflush(errors_);
}

void ConsoleView::ShowFailurePlace(const FailurePlace& place) {
  FinishProgress();
  PrintText(errors_, FailurePlaceText(place) + "\r\n");
  std::fflush(errors_);
}

}  // namespace veltrana
