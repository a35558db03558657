#include "contacts/charset.h"

#include <gtest/gtest.h>

#include "contacts/utf8_text.h"

namespace veltrana {
namespace {

TEST(ToUtf8, EachCharacterSetAsItsOwnerDefinesIt) {
  const struct {
    Charset charset;
    std::string bytes;
    std::string utf8;
    std::size_t replaced;
  } cases[] = {
      {Charset::kWindows1252,
       "Gr\xFC\xDF"
       "e \x80 \x93q\x94",
       "Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D",
       0},
      {Charset::kWindows1252,
       "a\x81"
       "b\x8D\x8F\x90\x9D",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       5},
      // 0x80 to 0x9F of iso-8859-1 are C1 controls: no text.
      {Charset::kIso88591, "\xC9t\xE9 \x80\x9F", "\xC3\x89t\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD", 2},
      {Charset::kMacintosh, "\x8E\x87\x9A \xA5", "\xC3\xA9\xC3\xA1\xC3\xB6 \xE2\x80\xA2", 0},
      // Apple's mapping: the increment sign, the euro sign, the Apple logo.
      {Charset::kMacintosh, "\xC6\xDB\xF0", "\xE2\x88\x86\xE2\x82\xAC\xEF\xA3\xBF", 0},
      // UTF-8 that is no text: overlong, a surrogate, a C1 control.
      {Charset::kUtf8, "\xC0\xAF\xED\xA0\x80\xC2\x85",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 6},
      {Charset::kUtf8,
       "\xEF\xBB\xBF"
       "caf\xC3\xA9 \xE2\x82\xAC",
       "caf\xC3\xA9 \xE2\x82\xAC", 0},
      {Charset::kUtf8, "bad \xC3 and \xFF\xFE, cut \xE2\x82",
       "bad \xEF\xBF\xBD and \xEF\xBF\xBD\xEF\xBF\xBD, cut \xEF\xBF\xBD\xEF\xBF\xBD", 5},
      // The marker, tab and line ends stay; other controls are no text.
      {Charset::kWindows1252, std::string("a\x03\t\r\nb\0c\x1A", 9),
       "a\x03\t\r\nb\xEF\xBF\xBD"
       "c\xEF\xBF\xBD",
       2},
      {Charset::kWindows1252, "", "", 0},
  };
  for (const auto& c : cases) {
    const Utf8Text text = ToUtf8(c.bytes, c.charset);
    EXPECT_EQ(text.text, c.utf8) << CharsetName(c.charset) << " " << c.bytes;
    EXPECT_EQ(text.replaced, c.replaced) << CharsetName(c.charset) << " " << c.bytes;
  }
}

TEST(ToUtf8, EveryPrintableByteOfASingleByteSetGivesOneCharacter) {
  std::string all;
  for (int b = 0x20; b < 0x100; ++b) {
    if (b != 0x7F && (b < 0x80 || b >= 0xA0)) all += static_cast<char>(b);
  }
  for (const Charset charset : {Charset::kIso88591, Charset::kMacintosh, Charset::kWindows1252}) {
    const Utf8Text text = ToUtf8(all, charset);
    EXPECT_EQ(text.replaced, 0u) << CharsetName(charset);
    EXPECT_EQ(ToUtf8(text.text, Charset::kUtf8).text, text.text) << "valid UTF-8";
  }
  std::string mac_high;
  for (int b = 0x80; b < 0x100; ++b) mac_high += static_cast<char>(b);
  EXPECT_EQ(ToUtf8(mac_high, Charset::kMacintosh).replaced, 0u);
}

TEST(DetectCharset, Utf8ThenCrAloneThenTheWindowsCodePage) {
  const struct {
    std::string bytes;
    Charset charset;
  } cases[] = {
    {"alias a caf\xC3\xA9@x\r\n", Charset::kUtf8},
    {"\xEF\xBB\xBF"
     "alias a a@x\r\n",
     Charset::kUtf8},
    {"alias a caf\x8E@x\rnote a <name:\x8E>\r", Charset::kMacintosh},
    {"alias a a@x\r", Charset::kMacintosh},
    {"alias a caf\xC3\xA9@x\r", Charset::kUtf8},  // UTF-8 wins over CR alone
#if !defined(_WIN32)
    {"alias a caf\xE9@x\r\n", Charset::kWindows1252},
    {"alias a a@x\r\n", Charset::kWindows1252},
    {"alias a \xC3\xA9\xC3@x\r\n", Charset::kWindows1252},  // a cut sequence
    {"alias a \xE9\r\nb\r", Charset::kWindows1252},         // CR LF somewhere
    {"", Charset::kWindows1252},
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(DetectCharset(c.bytes), c.charset) << c.bytes;
}

TEST(CharsetNamed, KnowsTheFourSetsByTheirUsualNames) {
  EXPECT_EQ(CharsetNamed("windows-1252"), Charset::kWindows1252);
  EXPECT_EQ(CharsetNamed("CP1252"), Charset::kWindows1252);
  EXPECT_EQ(CharsetNamed("ISO-8859-1"), Charset::kIso88591);
  EXPECT_EQ(CharsetNamed("latin1"), Charset::kIso88591);
  EXPECT_EQ(CharsetNamed("Macintosh"), Charset::kMacintosh);
  EXPECT_EQ(CharsetNamed("UTF-8"), Charset::kUtf8);
  EXPECT_FALSE(CharsetNamed("utf-16").has_value());
  EXPECT_FALSE(CharsetNamed("").has_value());
}

TEST(FoldedUtf8, FoldsAsThePageFoldsTheCodePage) {
  EXPECT_EQ(FoldedUtf8("AbC \xC3\x89\xC3\x9E\xC3\x97\xC3\x9F\xC3\x80"),
            "abc \xC3\xA9\xC3\xBE\xC3\x97\xC3\x9F\xC3\xA0");
  EXPECT_EQ(FoldedUtf8("\xC4\x80\xC3"), "\xC4\x80\xC3");  // not Latin-1; a cut sequence
}

}  // namespace
}  // namespace veltrana
