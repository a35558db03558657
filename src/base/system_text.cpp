#include "base/system_text.h"

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#endif

namespace veltrana {

#if defined(_WIN32)

namespace {

// The ANSI spelling of `wide`; false when some character has none.
bool Ansi(std::wstring_view wide, std::string& text) {
  text.clear();
  if (wide.empty()) return true;
  if (GetACP() == CP_UTF8) {  // every character has a spelling
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return true;
  }
  BOOL lacking = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &lacking);
  text.resize(static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      text.data(), size, nullptr, &lacking);
  return !lacking;
}

std::wstring ShortName(const std::filesystem::path& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<wchar_t> name(size);
  const DWORD got = GetShortPathNameW(path.c_str(), name.data(), size);
  return got == 0 || got >= size ? std::wstring() : std::wstring(name.data(), got);
}

}  // namespace

std::wstring WideOfText(std::string_view text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string TextOfWide(std::wstring_view wide) {
  std::string text;
  Ansi(wide, text);
  return text;
}

std::string TextOfPath(const std::filesystem::path& path) {
  std::string text;
  if (Ansi(path.native(), text)) return text;
  std::string short_text;
  const std::wstring short_name = ShortName(path);
  if (!short_name.empty() && Ansi(short_name, short_text)) return short_text;
  return text;
}

std::filesystem::path PathOfText(std::string_view text) {
  return LongNameOf(std::filesystem::path(WideOfText(text)));
}

std::filesystem::path LongNameOf(const std::filesystem::path& path) {
  const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::vector<wchar_t> name(size);
  const DWORD got = GetLongPathNameW(path.c_str(), name.data(), size);
  return got == 0 || got >= size ? path : std::filesystem::path(std::wstring(name.data(), got));
}

#else

std::filesystem::path LongNameOf(const std::filesystem::path& path) {
  return path;
}

std::string TextOfPath(const std::filesystem::path& path) {
  return path.native();
}

std::filesystem::path PathOfText(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

#endif

}  // namespace veltrana
