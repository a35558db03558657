#include "contacts/charset.h"

#include <array>
#include <cerrno>

#include "base/case_fold.h"
#include "base/failure.h"
#include "base/nickname_file.h"
#include "contacts/utf8_text.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace veltrana {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct CharsetEntry {
  Charset charset;
  const char* name;
};

// Each set's own name first, the name the program prints; then its other
// names.
constexpr std::array<CharsetEntry, 12> kNames{{
    {Charset::kWindows1252, "windows-1252"},
    {Charset::kWindows1252, "cp1252"},
    {Charset::kWindows1252, "1252"},
    {Charset::kIso88591, "iso-8859-1"},
    {Charset::kIso88591, "iso8859-1"},
    {Charset::kIso88591, "latin1"},
    {Charset::kIso88591, "28591"},
    {Charset::kMacintosh, "macintosh"},
    {Charset::kMacintosh, "mac"},
    {Charset::kMacintosh, "10000"},
    {Charset::kUtf8, "utf-8"},
    {Charset::kUtf8, "utf8"},
}};

constexpr const char* OwnName(Charset charset) {
  for (const CharsetEntry& entry : kNames) {
    if (entry.charset == charset) return entry.name;
  }
  return nullptr;
}

static_assert(OwnName(Charset::kWindows1252) && OwnName(Charset::kIso88591) &&
                  OwnName(Charset::kMacintosh) && OwnName(Charset::kUtf8),
              "every character set has a name");

#if defined(_WIN32)

UINT CodePageOf(Charset charset) {
  switch (charset) {
    case Charset::kWindows1252: return 1252;
    case Charset::kIso88591: return 28591;
    case Charset::kMacintosh: return 10000;
    case Charset::kUtf8: return CP_UTF8;
  }
  return CP_UTF8;
}

// One character of `code_page` as UTF-8; empty when the code page does not
// define it.
std::string CharacterAsUtf8(UINT code_page, const char* bytes, int length) {
  wchar_t wide[4];
  const int units = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes, length, wide, 4);
  if (units <= 0) return {};
  // Windows-1252 leaves five bytes unassigned; the system passes them
  // through as the control characters of the same numbers, which no text
  // holds. They count as undefined, as elsewhere.
  if (code_page == 1252 && units == 1 && wide[0] >= 0x80 && wide[0] <= 0x9F) return {};
  char utf8[16];
  const int written = WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, 16, nullptr, nullptr);
  return written <= 0 ? std::string() : std::string(utf8, static_cast<std::size_t>(written));
}

// The length of the UTF-8 sequence a lead byte opens; 1 for a byte that
// opens none (it is then replaced).
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

void Convert(std::string_view bytes, Charset charset, Utf8Text& out) {
  const UINT code_page = CodePageOf(charset);
  if (charset == Charset::kUtf8) {
    for (std::size_t i = 0; i < bytes.size();) {
      const int length = SequenceLength(static_cast<unsigned char>(bytes[i]));
      const bool whole = static_cast<std::size_t>(length) <= bytes.size() - i;
      if (whole && !CharacterAsUtf8(code_page, bytes.data() + i, length).empty()) {
        out.text.append(bytes.substr(i, static_cast<std::size_t>(length)));
        i += static_cast<std::size_t>(length);
      } else {
        out.text.append(kReplacement);
        ++out.replaced;
        ++i;
      }
    }
    return;
  }
  // A single-byte code page: each of the 256 bytes is asked once.
  std::array<std::string, 256> table;
  std::array<bool, 256> known{};
  for (const char byte : bytes) {
    const auto index = static_cast<unsigned char>(byte);
    if (!known[index]) {
      table[index] = CharacterAsUtf8(code_page, &byte, 1);
      known[index] = true;
    }
    if (table[index].empty()) {
      out.text.append(kReplacement);
      ++out.replaced;
    } else {
      out.text.append(table[index]);
    }
  }
}

#else

Failure NoConverter(Charset charset) {
  return Failure(kInvalidArgument, std::string("No converter from ") + CharsetName(charset) +
                                       " to UTF-8 on this system");
}

const char* IconvName(Charset charset) {
  switch (charset) {
    case Charset::kWindows1252: return "WINDOWS-1252";
    case Charset::kIso88591: return "ISO-8859-1";
    case Charset::kMacintosh: return "MACINTOSH";
    case Charset::kUtf8: return "UTF-8";
  }
  return "UTF-8";
}

class Iconv {
 public:
  explicit Iconv(Charset charset) : handle_(iconv_open("UTF-8", IconvName(charset))) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) throw NoConverter(charset);
  }
  ~Iconv() { iconv_close(handle_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// Converts as much as iconv takes; a byte it refuses (undefined, or not a
// whole valid sequence) becomes U+FFFD and the conversion goes on after it.
void Convert(std::string_view bytes, Charset charset, Utf8Text& out) {
  const Iconv converter(charset);
  // Three bytes out for each byte in is enough for these sets; more is
  // made when a conversion asks for it.
  std::string buffer(bytes.size() * 3 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());  // iconv's interface; it does not write
  std::size_t in_left = bytes.size();
  std::size_t used = 0;
  while (in_left > 0) {
    char* out_at = buffer.data() + used;
    std::size_t out_left = buffer.size() - used;
    errno = 0;
    const std::size_t result = iconv(converter.get(), &in, &in_left, &out_at, &out_left);
    used = buffer.size() - out_left;
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      buffer.resize(buffer.size() * 2);
    } else if (errno == EILSEQ || errno == EINVAL) {
      if (buffer.size() - used < kReplacement.size()) buffer.resize(buffer.size() * 2);
      buffer.replace(used, kReplacement.size(), kReplacement);
      used += kReplacement.size();
      ++out.replaced;
      ++in;
      --in_left;
    } else {
      throw Failure(kInternalError);
    }
  }
  buffer.resize(used);
  out.text = std::move(buffer);
}

#endif

// Control characters are no text an address book can hold: all but the
// tab, the line ends and the line-break marker.
bool IsReplacedControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' &&
         c != kLineBreakMarker;
}

// Every control character that is no text becomes U+FFFD.
void ReplaceControls(Utf8Text& out) {
  std::size_t controls = 0;
  for (const char c : out.text) {
    if (IsReplacedControl(c)) ++controls;
  }
  if (controls == 0) return;
  std::string text;
  text.reserve(out.text.size() + controls * 2);
  for (const char c : out.text) {
    if (IsReplacedControl(c)) {
      text.append(kReplacement);
    } else {
      text += c;
    }
  }
  out.text = std::move(text);
  out.replaced += controls;
}

}  // namespace

std::optional<Charset> CharsetNamed(std::string_view name) {
  for (const CharsetEntry& entry : kNames) {
    if (CompareIgnoringCase(entry.name, name) == 0) return entry.charset;
  }
  return std::nullopt;
}

const char* CharsetName(Charset charset) {
  const char* name = OwnName(charset);
  return name != nullptr ? name : OwnName(Charset::kUtf8);
}

std::vector<std::string_view> CharsetNames() {
  std::vector<std::string_view> names;
  for (const CharsetEntry& entry : kNames) {
    if (std::string_view(entry.name) == OwnName(entry.charset)) names.emplace_back(entry.name);
  }
  return names;
}

Utf8Text ToUtf8(std::string_view bytes, Charset charset) {
  if (charset == Charset::kUtf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  Utf8Text out;
  Convert(bytes, charset, out);
  ReplaceControls(out);
  return out;
}

}  // namespace veltrana
